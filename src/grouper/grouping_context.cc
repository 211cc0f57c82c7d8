#include "grouper/grouping_context.h"

#include "checks/check_sequence.h"
#include "record/working_record.h"
#include "summary/derived_values.h"
#include "tables/act_table.h"
#include "tables/diag_table.h"

namespace grulo {

GroupingContext::GroupingContext() { FillCategoryBranch(&state_); }

void GroupingContext::GroupSummary(const TableSet& tables, std::string_view line,
                                   const DateText& today, GroupResult* result,
                                   ErrorList* errors) {
  ClearErrors(errors);
  *result = GroupResult();
  BuildWorkingRecord(line, &state_.Record);  // writes every character
  for (int i = 0; i < kDiagSlotCount; ++i) {
    LookupDiag(tables.diags(), state_.Record.Diag(i), i, &state_);
  }
  TakeActSlots(line, &state_);
  state_.ActClass.fill(0);
  for (int k = 0; k < state_.ActSlotCount; ++k) {
    LookupAct(tables.acts(), state_.ActSlot(k), k, &state_);
  }
  DeriveDates(&state_);
  state_.Today = today;

  ValidateSummary(state_, errors, result);
  CountPresenceDays(&state_);
  if (result->GroupReturn != 0) return;  // a blocking error: no walk

  SumScores(&state_);
  WalkTree(tables.tree(), state_, &current_node_, result);
}

}  // namespace grulo
