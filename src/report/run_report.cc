#include "report/run_report.h"

#include <algorithm>
#include <cstddef>

#include "checks/error_catalogue.h"
#include "checks/error_list.h"
#include "grouper/line_format.h"
#include "grouper/result_lines.h"
#include "record/summary_layout.h"

namespace grulo {
namespace {

// The name of the field of an error number; empty when the catalogue does
// not know the number.
std::string_view FieldOf(int16_t number) {
  const ErrorInfo* info = FindErrorInfo(number);
  return info == nullptr ? std::string_view() : info->field.name;
}

}  // namespace

void RunReport::Note(LinesOfKind* kind, int64_t line_number) {
  ++kind->count;
  if (kind->first_lines.size() < kLinesKept) kind->first_lines.push_back(line_number);
}

RunReport::EstablishmentCount& RunReport::EstablishmentOf(std::string_view text) {
  const std::string_view number = FieldText(text, line_field::kEstablishmentNo);
  // A week's file is most often one establishment's: the last one found
  // is tried first (a map's elements stay where they are).
  if (last_establishment_ != nullptr && last_establishment_->first == number) {
    return last_establishment_->second;
  }
  auto known = establishments_.find(number);
  if (known == establishments_.end()) {
    if (establishments_.size() >= kEstablishmentsKept) return other_establishments_;
    known = establishments_.emplace(std::string(number), EstablishmentCount()).first;
  }
  last_establishment_ = &*known;
  return known->second;
}

void RunReport::CountWeek(std::string_view text) {
  const std::string_view week = FieldText(text, line_field::kWeekNo);
  if (last_week_ != nullptr && last_week_->first == week) {
    ++last_week_->second;
    return;
  }
  auto known = weeks_.find(week);
  if (known == weeks_.end()) {
    if (weeks_.size() >= kWeeksKept) {
      ++other_weeks_;
      return;
    }
    known = weeks_.emplace(std::string(week), 0).first;
  }
  ++known->second;
  last_week_ = &*known;
}

void RunReport::OnLine(int64_t line_number, std::string_view text, uint64_t,
                       const LineOutcome& outcome) {
  counters_.Count(outcome);
  EstablishmentCount& establishment = EstablishmentOf(text);
  ++establishment.lines;
  if (outcome.format != LineFormat::kWellFormed) {
    ++establishment.format_problems;
    Note(&format_problems_[outcome.format], line_number);
    return;
  }
  CountWeek(text);
  if (!outcome.blocked()) {
    // One version or two in a run: found without making a text.
    const std::string_view version = VersionView(outcome.version);
    auto known = std::find_if(versions_.begin(), versions_.end(),
                              [version](const auto& seen) { return seen.first == version; });
    if (known == versions_.end()) known = versions_.insert(known, {std::string(version), 0});
    ++known->second;
  }
  if (outcome.kind == OutcomeKind::kTableProblem) {
    TableProblem problem;
    problem.status = outcome.result.GroupReturn;
    if (outcome.table_problem != nullptr) problem = *outcome.table_problem;
    TableProblemCount& count = table_problems_[{problem.table, problem.status}];
    if (count.lines.count == 0) {
      ResultLineBuffer buffer;
      std::string_view message = TableProblemLine(problem, &buffer);
      if (!message.empty() && message.back() == '\n') message.remove_suffix(1);
      count.message = std::string(message);
      count.reason = problem.reason.message();
    }
    Note(&count.lines, line_number);
    ++establishment.not_grouped;
    return;
  }

  ++checked_;
  std::vector<int16_t> blocking, non_blocking;
  // The entries in list order, zeros skipped, as the .err lists are written
  // (those from ErrorCount on hold 0 in every list the checks fill).
  const auto& entries = outcome.errors.entries;
  const size_t listed = static_cast<size_t>(std::clamp<int>(outcome.errors.ErrorCount, 0,
                                                            kErrorListSize));
  for (size_t i = 0; i < listed; ++i) {
    const int16_t number = entries[i];
    if (number == 0) continue;
    (IsNonBlocking(number) ? non_blocking : blocking).push_back(number);
    ErrorCount& count = errors_[number];
    ++count.occurrences;
    const auto before = entries.begin() + static_cast<std::ptrdiff_t>(i);
    if (std::find(entries.begin(), before, number) == before) ++count.summaries;
    const std::string_view field = FieldOf(number);
    ErrorCount& by_field = error_fields_[field];
    ++by_field.occurrences;
    if (std::none_of(entries.begin(), before,
                     [field](int16_t earlier) { return earlier != 0 && FieldOf(earlier) == field; })) {
      ++by_field.summaries;
    }
  }
  if (outcome.blocked()) {
    ++establishment.blocked;
    ++first_blocking_[outcome.result.GroupReturn];
    if (rejected_.size() < kRejectedKept) {
      RejectedSummary r;
      r.line_number = line_number;
      r.stay_no = std::string(FieldText(text, line_field::kStayNo));
      r.week_no = std::string(FieldText(text, line_field::kWeekNo));
      r.unit_no = std::string(FieldText(text, line_field::kUnitNo));
      r.blocking = std::move(blocking);
      r.non_blocking = std::move(non_blocking);
      rejected_.push_back(std::move(r));
    }
    return;
  }
  ++walked_;
  if (outcome.kind == OutcomeKind::kWalkFailed) {
    Note(&failed_walks_[outcome.result.GroupReturn], line_number);
    ++establishment.not_grouped;
    return;
  }
  ++establishment.grouped;
  ++grouped_;
  if (!non_blocking.empty()) ++grouped_with_errors_;
  GroupCount& group = groups_[{outcome.result.GroupCategory, outcome.result.GroupNumber}];
  ++group.count;
  ++group.by_return[outcome.result.GroupReturn];
}

void RunReport::OnEnd(const RunCounters&, const TableSession*) { complete_ = true; }

}  // namespace grulo
