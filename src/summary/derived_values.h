// The values derived from a summary before its checks and its tree walk: the
// branch number of each diagnosis category, the act codes taken into account,
// the Monday of the summary's week with the age and the reference delay
// measured to it, the number of presence days and the sum of the first scores.
// Each operation fills its values in the summary state; the grouping pipeline
// calls them in its fixed order.

#ifndef GRULO_SUMMARY_DERIVED_VALUES_H_
#define GRULO_SUMMARY_DERIVED_VALUES_H_

#include <string_view>

#include "summary/summary_state.h"

namespace grulo {

// Sets the 256 entries of CategoryBranch: categories 11 to 18 give 0 to 7,
// 20, 30, 40, 50 and 60 give 8 to 12, 99 gives 13, every other category 0.
void FillCategoryBranch(SummaryState* state);

// Sets ActSlotCount from the act count of the working record (read with
// ParseCount, at most 10) and copies that many 8-character act codes from the
// line, which holds them from offset 343 on. An act that the line does not
// hold in full (never the case for a well-formed line) is taken as blanks.
void TakeActSlots(std::string_view line, SummaryState* state);

// Sets WeekStart, AgeInYears and RefDelay from the working record. A week
// number that fails "999999" (leading blanks allowed, 5 characters at least)
// or is not plausible leaves WeekStart blank and both numbers at -1; a birth
// or reference date that fails "Z9Z99999" or is not a valid date leaves its
// number at -1. RefDelay is the number of days from the reference date to
// WeekStart, folded: above 999 gives 999, -6 to -1 (a date later in the same
// week) gives 0, -7 or less (a date after the week) gives -1.
void DeriveDates(SummaryState* state);

// Sets PresenceCount: the number of '1' among the seven presence flags.
void CountPresenceDays(SummaryState* state);

// Sets ScoreSum: the sum of the first four score characters, each taken as
// its character code minus that of '0'.
void SumScores(SummaryState* state);

}  // namespace grulo

#endif  // GRULO_SUMMARY_DERIVED_VALUES_H_
