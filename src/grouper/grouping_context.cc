#include "grouper/grouping_context.h"

#include "checks/check_sequence.h"
#include "record/working_record.h"
#include "summary/derived_values.h"
#include "tables/act_table.h"
#include "tables/diag_table.h"

namespace grulo {
namespace {

// The checks and the walk without an observer, or with one.
void ValidateWith(const SummaryState& state, ErrorList* errors, GroupResult* result,
                  NoCheckObserver&) {
  ValidateSummary(state, errors, result);
}
void ValidateWith(const SummaryState& state, ErrorList* errors, GroupResult* result,
                  CheckObserver& checks) {
  ValidateSummary(state, errors, result, checks);
}
void WalkWith(const TableSet& tables, const SummaryState& state, TreeNode* node,
              GroupResult* result, NoWalkObserver&) {
  WalkTree(tables.tree(), state, node, result);
}
void WalkWith(const TableSet& tables, const SummaryState& state, TreeNode* node,
              GroupResult* result, WalkObserver& walk) {
  WalkTree(tables.tree(), state, node, result, walk);
}

}  // namespace

GroupingContext::GroupingContext() { FillCategoryBranch(&state_); }

// Compiled once without observers, for the batch and the library, and once
// with them, for an explanation.
template <typename Checks, typename Walk>
void GroupingContext::Group(const TableSet& tables, std::string_view line, const DateText& today,
                            GroupResult* result, ErrorList* errors, Checks& checks, Walk& walk) {
  ClearErrors(errors);
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

  ValidateWith(state_, errors, result, checks);
  CountPresenceDays(&state_);
  if (result->GroupReturn != 0) return;  // a blocking error: no walk

  SumScores(&state_);
  WalkWith(tables, state_, &current_node_, result, walk);
}

void GroupingContext::GroupSummary(const TableSet& tables, std::string_view line,
                                   const DateText& today, GroupResult* result, ErrorList* errors) {
  NoCheckObserver no_checks;
  NoWalkObserver no_walk;
  Group(tables, line, today, result, errors, no_checks, no_walk);
}

void GroupingContext::GroupSummary(const TableSet& tables, std::string_view line,
                                   const DateText& today, GroupResult* result, ErrorList* errors,
                                   CheckObserver& checks, WalkObserver& walk) {
  Group(tables, line, today, result, errors, checks, walk);
}

}  // namespace grulo
