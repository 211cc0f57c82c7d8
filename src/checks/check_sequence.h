// The entry point of the validity checks and the fixed order in which the
// field checks of one summary run.

#ifndef GRULO_CHECKS_CHECK_SEQUENCE_H_
#define GRULO_CHECKS_CHECK_SEQUENCE_H_

#include <cstdint>

#include "checks/check_observer.h"
#include "checks/error_list.h"
#include "record/group_result.h"
#include "summary/summary_state.h"

namespace grulo {

// Runs the field checks in their fixed order and adds every error they find
// to the list: identification, dates and stay (errors 1 to 49), then the
// diagnoses, scores, indicator, durations, act count and acts (50 to 82).
// The result of the entry date check is handed to the exit date and week
// checks, that of the exit date check to the week check. The numbers are
// therefore not added in increasing order (17 comes after 47, 74 to 76 after
// 79 and 80).
void RunFieldChecks(const SummaryState& state, ErrorList* list);

// The same, telling `observer` of every error found, in list order.
void RunFieldChecks(const SummaryState& state, ErrorList* list, CheckObserver& observer);

// Checks one summary whose working record, lookup results, derived values
// and Today are in place (the grouping reads the clock into Today just
// before): sets the category and number of `result` to kBlockedCategory and
// kBlockedNumber (kept unless the tree walk replaces them), runs the field
// checks into the list, which the summary's start has cleared (ClearErrors,
// once per summary), and sets the return of `result` to the first blocking
// error, which it also returns (0 when nothing blocks). That number decides
// whether the summary is blocked, for every reader of its outcome.
int16_t ValidateSummary(const SummaryState& state, ErrorList* list, GroupResult* result);

// The same, telling `observer` of every error found, in list order.
int16_t ValidateSummary(const SummaryState& state, ErrorList* list, GroupResult* result,
                        CheckObserver& observer);

}  // namespace grulo

#endif  // GRULO_CHECKS_CHECK_SEQUENCE_H_
