#include "grouper/grouping_context.h"

#include "checks/check_sequence.h"
#include "grouper/line_format.h"
#include "record/working_record.h"
#include "summary/derived_values.h"
#include "tables/act_table.h"
#include "tables/diag_table.h"

namespace grulo {
namespace {

// The checks and the walk without an observer, or with one.
int16_t ValidateWith(const SummaryState& state, ErrorList* errors, GroupResult* result,
                     NoCheckObserver&) {
  return ValidateSummary(state, errors, result);
}
int16_t ValidateWith(const SummaryState& state, ErrorList* errors, GroupResult* result,
                     CheckObserver& checks) {
  return ValidateSummary(state, errors, result, checks);
}
int16_t WalkWith(const TableSet& tables, const SummaryState& state, TreeNode* node,
                 GroupResult* result, NoWalkObserver&) {
  return WalkTree(tables.tree(), state, node, result);
}
int16_t WalkWith(const TableSet& tables, const SummaryState& state, TreeNode* node,
                 GroupResult* result, WalkObserver& walk) {
  return WalkTree(tables.tree(), state, node, result, walk);
}

}  // namespace

GroupingContext::GroupingContext() { FillCategoryBranch(&state_); }

// Compiled once without observers, for the batch and the library, and once
// with them, for an explanation.
template <typename Checks, typename Walk>
OutcomeKind GroupingContext::Run(const TableSet& tables, std::string_view line,
                                 const DateText& today, GroupResult* result, ErrorList* errors,
                                 Checks& checks, Walk& walk) {
  *result = GroupResult();
  BuildWorkingRecord(line, &state_.Record);  // writes every character
  LookupDiags(tables.diags(), state_.Record, &state_);
  TakeActSlots(line, &state_);
  state_.ActClass.fill(0);
  for (int k = 0; k < state_.ActSlotCount; ++k) {
    LookupAct(tables.acts(), state_.ActSlot(k), k, &state_);
  }
  DeriveDates(&state_);
  // The date changes at most at midnight: its day number is worked out
  // again only then.
  if (!today_known_ || state_.Today != today) {
    SetToday(&state_, today);
    today_known_ = true;
  }

  // The first blocking error decides, here and for every reader of the
  // outcome, that the summary is blocked.
  const int16_t first_blocking = ValidateWith(state_, errors, result, checks);
  CountPresenceDays(&state_);
  if (first_blocking != 0) return OutcomeKind::kBlocked;  // no walk

  SumScores(&state_);
  return WalkWith(tables, state_, &current_node_, result, walk) == 0 ? OutcomeKind::kGrouped
                                                                     : OutcomeKind::kWalkFailed;
}

void GroupingContext::Group(const TableSet& tables, std::string_view line, const DateText& today,
                            LineOutcome* outcome) {
  NoCheckObserver no_checks;
  NoWalkObserver no_walk;
  outcome->kind =
      Run(tables, line, today, &outcome->result, &outcome->errors, no_checks, no_walk);
}

void GroupingContext::Group(const TableSet& tables, std::string_view line, const DateText& today,
                            LineOutcome* outcome, CheckObserver& checks, WalkObserver& walk) {
  outcome->kind = Run(tables, line, today, &outcome->result, &outcome->errors, checks, walk);
}

void GroupingContext::GroupLine(const TableSet& tables, std::string_view text, uint64_t length,
                                const DateText& today, LineOutcome* outcome) {
  outcome->Start(RecognizeFormat(text, length));
  if (outcome->format != LineFormat::kWellFormed) return;
  outcome->version = tables.version();
  Group(tables, text, today, outcome);
}

OutcomeKind GroupingContext::GroupSummary(const TableSet& tables, std::string_view line,
                                          const DateText& today, GroupResult* result,
                                          ErrorList* errors) {
  ClearErrors(errors);
  NoCheckObserver no_checks;
  NoWalkObserver no_walk;
  return Run(tables, line, today, result, errors, no_checks, no_walk);
}

}  // namespace grulo
