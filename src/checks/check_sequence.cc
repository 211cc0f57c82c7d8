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

int16_t ValidateSummary(SummaryState& state, Clock& clock, ErrorList* list, int16_t* group_return,
                        int16_t* group_category, int16_t* group_number) {
  *group_category = 90;
  *group_number = 900;
  list->entries.fill(0);
  TodayDate(clock, &state.Today);
  RunFieldChecks(state, list);
  *group_return = FirstBlockingError(*list);
  return *group_return;
}

}  // namespace grulo
