// Dates for the summary generator: days counted from 1 January 1970 in the
// Gregorian calendar, ISO 8601 weeks, and the DDMMYYYY text of a summary.

#ifndef GRULO_TOOLS_GRULO_GEN_GEN_DATES_H_
#define GRULO_TOOLS_GRULO_GEN_GEN_DATES_H_

#include <cstdint>

namespace grulo {
namespace gen {

// Day 0 is 1 January 1970; earlier days are negative.
int32_t DayFromCivil(int year, int month, int day);
void CivilFromDay(int32_t days, int* year, int* month, int* day);

// 0 for Monday to 6 for Sunday.
int WeekdayOfDay(int32_t days);

// True when the ISO year has a week 53 (1 January a Thursday, or a Wednesday
// in a leap year).
bool YearHasWeek53(int year);

// The Monday of ISO week `week` of `year` (week 1 holds the year's first
// Thursday); the week is not checked.
int32_t IsoWeekMonday(int week, int year);

// The ISO week and week-numbering year of a day.
void IsoWeekOf(int32_t days, int* week, int* year);

// Writes the 8 characters DDMMYYYY of a day (years 0 to 9999).
void WriteDate(int32_t days, char* out);

// Writes the 8 characters DDMMYYYY of the given numbers, as they are, even
// when they name no date (day 31 of April...). Each number is written
// modulo its width.
void WriteDateText(int day, int month, int year, char* out);

// Writes `value` modulo 10^width as `width` digits, zero-padded.
void WriteDigits(int value, int width, char* out);

}  // namespace gen
}  // namespace grulo

#endif  // GRULO_TOOLS_GRULO_GEN_GEN_DATES_H_
