#include "report/run_report.h"

#include <algorithm>
#include <set>

#include "grouper/line_format.h"
#include "record/summary_layout.h"
#include "tree/tree_walk.h"

namespace grulo {

void RunReport::Note(LinesOfKind* kind, int64_t line_number) {
  ++kind->count;
  if (kind->first_lines.size() < kLinesKept) kind->first_lines.push_back(line_number);
}

void RunReport::CountGrpLine(std::string_view version) {
  ++grp_lines_;
  ++versions_[std::string(version)];
}

void RunReport::AddFormatProblem(int64_t line_number, LineFormat format, std::string_view,
                                 uint64_t) {
  ++counters_.NbLus;
  ++counters_.NbErrForm;
  Note(&format_problems_[format], line_number);
}

void RunReport::AddSummary(int64_t line_number, std::string_view text, std::string_view version,
                           const GroupResult& result, const ErrorList& errors) {
  std::vector<int16_t> blocking, non_blocking;
  for (int16_t number : errors.entries) {
    if (number == 0) continue;
    (IsNonBlocking(number) ? non_blocking : blocking).push_back(number);
  }
  AddSummary(line_number, text, version, result, blocking, non_blocking);
}

void RunReport::AddSummary(int64_t line_number, std::string_view text, std::string_view version,
                           const GroupResult& result, std::span<const int16_t> blocking,
                           std::span<const int16_t> non_blocking) {
  ++counters_.NbLus;
  std::set<int16_t> seen;
  for (std::span<const int16_t> list : {blocking, non_blocking}) {
    for (int16_t number : list) {
      ErrorCount& count = errors_[number];
      ++count.occurrences;
      if (seen.insert(number).second) ++count.summaries;
    }
  }
  if (!blocking.empty()) {
    ++counters_.NbErrBloq;
    if (rejected_.size() < kRejectedKept) {
      RejectedSummary r;
      r.line_number = line_number;
      r.stay_no = std::string(FieldText(text, line_field::kStayNo));
      r.week_no = std::string(FieldText(text, line_field::kWeekNo));
      r.unit_no = std::string(FieldText(text, line_field::kUnitNo));
      r.blocking.assign(blocking.begin(), blocking.end());
      r.non_blocking.assign(non_blocking.begin(), non_blocking.end());
      rejected_.push_back(std::move(r));
    }
    return;
  }
  if (!non_blocking.empty()) ++counters_.NbErrNonBloq;
  CountGrpLine(version);
  if (result.GroupCategory == kWalkFailedCategory && result.GroupNumber == kWalkFailedNumber) {
    Note(&failed_walks_[result.GroupReturn], line_number);
    return;
  }
  ++grouped_;
  if (!non_blocking.empty()) ++grouped_with_errors_;
  GroupCount& group = groups_[{result.GroupCategory, result.GroupNumber}];
  ++group.count;
  ++group.by_return[result.GroupReturn];
}

void RunReport::AddTableProblem(int64_t line_number, std::string_view version, int16_t,
                                std::string_view message) {
  ++counters_.NbLus;
  CountGrpLine(version);
  Note(&table_problems_[std::string(message)], line_number);
}

}  // namespace grulo
