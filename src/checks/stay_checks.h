// The field checks of identification, dates and stay: error numbers 1 to 49.
//
// Each check reads the working record and the derived values of the summary
// in progress, makes its tests in a fixed order and returns the error of the
// first test that fails, or ErrorNumber::kNone. The order of the tests matters: the first
// blocking error in list order becomes the summary's result. A check never
// changes the state.

#ifndef GRULO_CHECKS_STAY_CHECKS_H_
#define GRULO_CHECKS_STAY_CHECKS_H_

#include <cstdint>

#include "checks/error_number.h"
#include "summary/summary_state.h"

namespace grulo {

// 1: not "9F9999999".
ErrorNumber CheckEstablishmentNo(const SummaryState& state);

// 2: blank; 3: not digits after optional leading blanks.
ErrorNumber CheckStayNo(const SummaryState& state);

// 8: blank or not a digit; 9: not '1' to '8'.
ErrorNumber CheckStayKind(const SummaryState& state);

// Kinds other than '1' and '5' may leave the entry date blank. 19: blank (for
// kinds '1' and '5') or malformed; 20: not a valid date; 21: after Today;
// 22: year part, compared as text, "1990" or earlier.
ErrorNumber CheckEntryDate(const SummaryState& state);

// 10: blank; 11: malformed; 12: not a valid date; 13: after the Sunday of the
// summary's week, or no WeekStart; 14: WeekStart at least 44165 days later.
ErrorNumber CheckBirthDate(const SummaryState& state);

// 15: blank or not a digit; 16: neither '1' nor '2'.
ErrorNumber CheckSex(const SummaryState& state);

// Kinds other than '1' and '5' may leave the entry mode blank. 23: blank or
// not a digit; 24: not in "0678".
ErrorNumber CheckEntryMode(const SummaryState& state);

// 25, 26 or 27 by the entry mode; see the table in the definition.
ErrorNumber CheckProvenance(const SummaryState& state);

// A blank exit date passes. 29: too short; 30: malformed; 31: not a valid
// date; then, only when `entry_date_error` is kNone: a blank entry date ends the
// check, otherwise 32 when the exit is before the entry; 33: after Today.
ErrorNumber CheckExitDate(const SummaryState& state, ErrorNumber entry_date_error);

// Exit date and exit mode both blank pass. 34: blank or too short; 35: not a
// digit; 36: not in "06789".
ErrorNumber CheckExitMode(const SummaryState& state);

// 37, 38 or 39 by the exit mode; see the table in the definition.
ErrorNumber CheckDestination(const SummaryState& state);

// 40: blank; 41: not five digits.
ErrorNumber CheckPostCode(const SummaryState& state);

// The week text is read as numbers without a mask ('1 2008' is week 1 of
// 2008). 42: week not 1 to 53; 43: year after Today's; 44: year before 1990;
// then for kinds '1' and '5' only: 45 before the week of a correct entry
// date, 46 after the week of a correct exit date.
ErrorNumber CheckWeekNo(const SummaryState& state, ErrorNumber entry_date_error,
                    ErrorNumber exit_date_error);

// 47: a flag other than ' ', '0', '1', or no '1' at all.
ErrorNumber CheckPresenceDays(const SummaryState& state);

// 17: blank. Any unit number that is not blank passes.
ErrorNumber CheckUnitNo(const SummaryState& state);

// A blank reference date passes; it is not matched against a mask. 48: not a
// valid date; 49: the summary's week, read without any check, lies before
// the week of the reference date.
ErrorNumber CheckRefDate(const SummaryState& state);

}  // namespace grulo

#endif  // GRULO_CHECKS_STAY_CHECKS_H_
