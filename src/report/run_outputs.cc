#include "report/run_outputs.h"

#include <cstdlib>

#include "grouper/line_format.h"
#include "grouper/result_lines.h"
#include "record/group_result.h"
#include "tables/open_tables.h"
#include "text/number_text.h"
#include "tree/tree_walk.h"

namespace grulo {
namespace {

constexpr std::string_view kRecordHeader =
    "====================================Enregistrement n\xB0 ";
constexpr std::string_view kFormatLead = "   -> ";
constexpr std::string_view kGrpMarker = "M14";

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool IsTableMessage(std::string_view line) {
  return StartsWith(line, "Pb d'ouverture des tables") ||
         StartsWith(line, "Pb d'ouverture de la table") ||
         StartsWith(line, "Version des tables incompatible");
}

// The numbers of a result prefix: two, three and two characters as printf
// writes them for the usual values; a wider value leaves the rest to the
// return code.
GroupResult ParseResultDigits(std::string_view digits) {
  auto part = [digits](size_t at, size_t n) {
    return at < digits.size() ? digits.substr(at, n) : std::string_view();
  };
  GroupResult r;
  r.GroupCategory = static_cast<int16_t>(ReadNumber(part(0, 2)));
  r.GroupNumber = static_cast<int16_t>(ReadNumber(part(2, 3)));
  r.GroupReturn = static_cast<int16_t>(ReadNumber(part(5, std::string_view::npos)));
  return r;
}

}  // namespace

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r' && end < text.size()) line.remove_suffix(1);
    lines.emplace_back(line);
    start = end + 1;
  }
  return lines;
}

std::vector<int16_t> ParseErrorList(std::string_view text) {
  std::vector<int16_t> numbers;
  while (!text.empty()) {
    const size_t comma = text.find(',');
    std::string_view number = text.substr(0, comma);
    if (!number.empty()) numbers.push_back(static_cast<int16_t>(ReadNumber(number)));
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  return numbers;
}

RunOutputsReader::RunOutputsReader(std::string_view grp_text, std::string_view err_text)
    : grp_lines_(SplitLines(grp_text)) {
  Entry* entry = nullptr;
  for (const std::string& line : SplitLines(err_text)) {
    if (StartsWith(line, kRecordHeader)) {
      const int64_t number = ReadNumber(std::string_view(line).substr(kRecordHeader.size()));
      entry = &entries_[number];
    } else if (IsTableMessage(line)) {
      table_messages_.push_back(line);
    } else if (entry != nullptr && StartsWith(line, kBlockingListLead)) {
      entry->has_lists = true;
      entry->blocking = ParseErrorList(std::string_view(line).substr(kBlockingListLead.size()));
    } else if (entry != nullptr && StartsWith(line, kNonBlockingListLead)) {
      entry->non_blocking =
          ParseErrorList(std::string_view(line).substr(kNonBlockingListLead.size()));
    } else if (entry != nullptr && StartsWith(line, kFormatLead)) {
      entry->format_line = line;
    }
  }
}

void RunOutputsReader::AddInputLine(std::string_view text, uint64_t length, RunReport* report) {
  const int64_t number = ++line_number_;
  LineOutcome outcome;
  outcome.Start(RecognizeFormat(text, length));
  auto entry_at = entries_.find(number);
  const Entry* entry = entry_at == entries_.end() ? nullptr : &entry_at->second;
  if (outcome.format != LineFormat::kWellFormed) {
    if (entry == nullptr || entry->format_line.empty()) {
      mismatches_.push_back("line " + std::to_string(number) +
                            " is not a summary, but the .err file has no format problem for it");
    }
    report->OnLine(number, text, length, outcome);
    return;
  }
  static const std::vector<int16_t> kNone;
  const std::vector<int16_t>& blocking = entry != nullptr ? entry->blocking : kNone;
  const std::vector<int16_t>& non_blocking = entry != nullptr ? entry->non_blocking : kNone;
  for (const std::vector<int16_t>* list : {&blocking, &non_blocking}) {
    for (int16_t error : *list) AddError(&outcome.errors, error);
  }
  if (!blocking.empty()) {
    outcome.kind = OutcomeKind::kBlocked;
    outcome.result = GroupResult{90, 900, blocking.front()};
    report->OnLine(number, text, length, outcome);
    return;
  }
  if (next_grp_ >= grp_lines_.size()) {
    mismatches_.push_back("line " + std::to_string(number) +
                          " has no blocking error, but the .grp file has no line left for it");
    return;
  }
  std::string_view grp = grp_lines_[next_grp_++];
  const size_t prefix_size = grp.size() >= text.size() ? grp.size() - text.size() : 0;
  std::string_view prefix = grp.substr(0, prefix_size);
  if (grp.substr(prefix_size) != text || prefix.size() < 2 + kGrpMarker.size() ||
      prefix.substr(prefix.size() - kGrpMarker.size()) != kGrpMarker) {
    mismatches_.push_back(".grp line " + std::to_string(next_grp_) + " is not that of line " +
                          std::to_string(number) + " of the input");
    return;
  }
  // "%2.2s": the version right-aligned in two places.
  std::string_view shown = prefix.substr(0, 2);
  while (!shown.empty() && shown.front() == ' ') shown.remove_prefix(1);
  for (size_t i = 0; i < shown.size(); ++i) outcome.version[i] = shown[i];
  // The numbers stand in fixed columns only when each fits its width and
  // none is negative: otherwise their digits run together, and the group
  // cannot be told from the line.
  const std::string_view digits = prefix.substr(2, prefix.size() - 2 - kGrpMarker.size());
  bool plain = digits.size() == 7;
  for (char c : digits) plain = plain && IsDigit(c);
  if (!plain) {
    mismatches_.push_back(".grp line " + std::to_string(next_grp_) +
                          " has numbers wider than their columns: its group cannot be read "
                          "back from the file (grulo --report or grulo report can tell it)");
    return;
  }
  outcome.result = ParseResultDigits(digits);
  const GroupResult& result = outcome.result;
  const bool table_problem =
      blocking.empty() && non_blocking.empty() && result.GroupCategory == kTableProblemCategory &&
      result.GroupNumber == kTableProblemNumber &&
      (result.GroupReturn == kTableCannotOpen || result.GroupReturn == kTableVersionsDiffer) &&
      next_table_message_ < table_messages_.size();
  TableProblem problem;
  if (table_problem) {
    const std::string& message = table_messages_[next_table_message_++];
    problem.status = result.GroupReturn;
    problem.table = message.find("arbre") != std::string::npos ? TableRole::kTree
                    : message.find("ctes") != std::string::npos ? TableRole::kActs
                                                                 : TableRole::kDiags;
    outcome.kind = OutcomeKind::kTableProblem;
    outcome.table_problem = &problem;
  } else if (result.GroupCategory == kWalkFailedCategory &&
             result.GroupNumber == kWalkFailedNumber) {
    outcome.kind = OutcomeKind::kWalkFailed;
  }
  report->OnLine(number, text, length, outcome);
}

std::vector<std::string> RunOutputsReader::Mismatches() const {
  std::vector<std::string> all = mismatches_;
  if (next_grp_ < grp_lines_.size()) {
    all.push_back("the .grp file has " + std::to_string(grp_lines_.size() - next_grp_) +
                  " more lines than the input gives");
  }
  if (next_table_message_ < table_messages_.size()) {
    all.push_back("the .err file has " +
                  std::to_string(table_messages_.size() - next_table_message_) +
                  " table messages that no summary of the .grp file matches");
  }
  if (!entries_.empty() && entries_.rbegin()->first > line_number_) {
    all.push_back("the .err file has an entry for line " +
                  std::to_string(entries_.rbegin()->first) + ", but the input has " +
                  std::to_string(line_number_) + " lines");
  }
  return all;
}

}  // namespace grulo
