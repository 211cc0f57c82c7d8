#include "checks/check_sequence.h"

#include <algorithm>

#include "checks/code_checks.h"
#include "checks/stay_checks.h"
#include "record/summary_layout.h"

namespace grulo {
namespace {

void Add(ErrorList* list, ErrorNumber result) {
  if (result != ErrorNumber::kNone) AddError(list, result);
}

}  // namespace

void RunFieldChecks(const SummaryState& state, ErrorList* list) {
  Add(list, CheckEstablishmentNo(state));
  Add(list, CheckStayNo(state));
  Add(list, CheckStayKind(state));
  const ErrorNumber entry_date_error = CheckEntryDate(state);
  Add(list, entry_date_error);
  Add(list, CheckBirthDate(state));
  Add(list, CheckSex(state));
  Add(list, CheckEntryMode(state));
  Add(list, CheckProvenance(state));
  const ErrorNumber exit_date_error = CheckExitDate(state, entry_date_error);
  Add(list, exit_date_error);
  Add(list, CheckExitMode(state));
  Add(list, CheckDestination(state));
  Add(list, CheckPostCode(state));
  Add(list, CheckWeekNo(state, entry_date_error, exit_date_error));
  Add(list, CheckPresenceDays(state));
  Add(list, CheckUnitNo(state));
  Add(list, CheckRefDate(state));

  Add(list, CheckDiag0(state));
  Add(list, CheckDiag1(state));
  Add(list, CheckDiag2(state));
  for (int slot = 3; slot < kDiagSlotCount; ++slot) {
    Add(list, CheckAssociatedDiag(state, slot));
  }
  CheckScores(state, list);
  Add(list, CheckIndicator(state));
  for (int j = 1; j <= kDurationCount; ++j) {
    Add(list, CheckDuration(state.Record.Duration(j)));
  }
  Add(list, CheckActCount(state));
  const int taken = std::clamp<int>(state.ActSlotCount, 0, kMaxActSlots);
  for (int k = 0; k < taken; ++k) {
    Add(list, CheckAct(state, k));
  }
}

int16_t ValidateSummary(const SummaryState& state, ErrorList* list, GroupResult* result) {
  result->GroupCategory = kBlockedCategory;
  result->GroupNumber = kBlockedNumber;
  list->entries.fill(0);
  RunFieldChecks(state, list);
  result->GroupReturn = FirstBlockingError(*list);
  return result->GroupReturn;
}

}  // namespace grulo
