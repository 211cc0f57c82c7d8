// Dates for the faults of the summary generator: day texts that name no day,
// letters put into a date, days far in the future, and the earliest entry day
// that a valid summary may have.

#ifndef GRULO_TOOLS_GRULO_GEN_FAULT_DATES_H_
#define GRULO_TOOLS_GRULO_GEN_FAULT_DATES_H_

#include <cstdint>

#include "gen_random.h"

namespace grulo {
namespace gen {

// 2 January 1991: an entry in 1990 or earlier gives error 22.
int32_t EarliestEntryDay();

// A day of a far future year (2090 to 2099), after any plausible day of a run.
int32_t FarFutureDay(Random* rng);

// The year of a day number of gen_dates.h.
int YearOf(int32_t day);

// Writes the 8 characters of a date text that names no day, in the given
// year: 30 February, 31 April, day 0, month 13...
void WriteImpossibleDate(Random* rng, int year, char* out);

// Breaks the form of the 8 characters of a given date: a letter for a digit.
void PutLetterInDate(Random* rng, char* date);

}  // namespace gen
}  // namespace grulo

#endif  // GRULO_TOOLS_GRULO_GEN_FAULT_DATES_H_
