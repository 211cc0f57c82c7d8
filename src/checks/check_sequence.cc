#include "checks/check_sequence.h"

#include <algorithm>

#include "checks/code_checks.h"
#include "checks/stay_checks.h"
#include "record/summary_layout.h"

namespace grulo {
namespace {

// The index of a single field in its catalogue entry.
constexpr int kSingleField = 0;
constexpr int kFirstAssociatedSlot = 3;

template <typename Observer>
void Add(ErrorList* list, Observer& observer, ErrorNumber result, int index = kSingleField) {
  if (result != ErrorNumber::kNone) {
    AddError(list, result);
    observer.OnError(result, index);
  }
}

// The sequence, compiled once per kind of observer: the batch's empty one
// leaves exactly the checks and the list.
template <typename Observer>
void RunChecks(const SummaryState& state, ErrorList* list, Observer& observer) {
  Add(list, observer, CheckEstablishmentNo(state));
  Add(list, observer, CheckStayNo(state));
  Add(list, observer, CheckStayKind(state));
  const ErrorNumber entry_date_error = CheckEntryDate(state);
  Add(list, observer, entry_date_error);
  Add(list, observer, CheckBirthDate(state));
  Add(list, observer, CheckSex(state));
  Add(list, observer, CheckEntryMode(state));
  Add(list, observer, CheckProvenance(state));
  const ErrorNumber exit_date_error = CheckExitDate(state, entry_date_error);
  Add(list, observer, exit_date_error);
  Add(list, observer, CheckExitMode(state));
  Add(list, observer, CheckDestination(state));
  Add(list, observer, CheckPostCode(state));
  Add(list, observer, CheckWeekNo(state, entry_date_error, exit_date_error));
  Add(list, observer, CheckPresenceDays(state));
  Add(list, observer, CheckUnitNo(state));
  Add(list, observer, CheckRefDate(state));

  Add(list, observer, CheckDiag0(state));
  Add(list, observer, CheckDiag1(state));
  Add(list, observer, CheckDiag2(state));
  for (int slot = kFirstAssociatedSlot; slot < kDiagSlotCount; ++slot) {
    if (IsBlankSlot(state.Record.Diag(slot))) continue;  // passes: the call spared
    Add(list, observer, CheckAssociatedDiag(state, slot), slot - kFirstAssociatedSlot);
  }
  // The score check adds its errors itself, one per wrong score.
  const int16_t before_scores = list->ErrorCount;
  CheckScores(state, list);
  for (int16_t i = before_scores; i < list->ErrorCount; ++i) {
    observer.OnError(ErrorNumber::kScoreBad, kWholeRun);
  }
  Add(list, observer, CheckIndicator(state));
  for (int j = 1; j <= kDurationCount; ++j) {
    Add(list, observer, CheckDuration(state.Record.Duration(j)), j - 1);
  }
  Add(list, observer, CheckActCount(state));
  const int taken = std::clamp<int>(state.ActSlotCount, 0, kMaxActSlots);
  for (int k = 0; k < taken; ++k) {
    Add(list, observer, CheckAct(state, k), k);
  }
}

template <typename Observer>
int16_t Validate(const SummaryState& state, ErrorList* list, GroupResult* result,
                 Observer& observer) {
  result->GroupCategory = kBlockedCategory;
  result->GroupNumber = kBlockedNumber;
  RunChecks(state, list, observer);
  result->GroupReturn = FirstBlockingError(*list);
  return result->GroupReturn;
}

}  // namespace

void RunFieldChecks(const SummaryState& state, ErrorList* list) {
  NoCheckObserver none;
  RunChecks(state, list, none);
}

void RunFieldChecks(const SummaryState& state, ErrorList* list, CheckObserver& observer) {
  RunChecks(state, list, observer);
}

int16_t ValidateSummary(const SummaryState& state, ErrorList* list, GroupResult* result) {
  NoCheckObserver none;
  return Validate(state, list, result, none);
}

int16_t ValidateSummary(const SummaryState& state, ErrorList* list, GroupResult* result,
                        CheckObserver& observer) {
  return Validate(state, list, result, observer);
}

}  // namespace grulo
