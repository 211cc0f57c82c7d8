// Calendar arithmetic on the fixed-width date texts of the system.
//
// A date text is eight characters DDMMYYYY, a week text six characters WWYYYY.
// The calendar is the Gregorian one applied to every year (no switch-over),
// weeks run Monday to Sunday and are numbered by the ISO 8601 rule with one
// deviation (see WeekOfDate). Every piece of a text is read as ReadNumber
// reads it (leading white space, optional sign, digits), limited to the
// piece's own characters, so '0101-001' is 1 January of the year -1.

#ifndef GRULO_CALENDAR_CALENDAR_H_
#define GRULO_CALENDAR_CALENDAR_H_

#include <array>
#include <cstdint>
#include <string_view>

#include "text/number_text.h"

namespace grulo {

// A produced date: eight digits and a NUL.
using DateText = std::array<char, 9>;

inline std::string_view DateView(const DateText& date) {
  return std::string_view(date.data(), 8);
}

struct SplitDateResult {
  int16_t day;
  int16_t month;
  int16_t year;
};

// Year divisible by 4 and not by 100, or by 400; year 0 is a leap year.
bool IsLeapYear(int32_t year);

// Day from characters 0-1, month from 2-3, year from 4-7. Reads at most eight
// characters; a shorter text ends where it ends. (Inline: the checks split
// several dates of every summary; the usual eight digits are read directly.)
inline SplitDateResult SplitDate(std::string_view date);

struct SplitWeekResult {
  int32_t week;
  int32_t year;
};

// Week from characters 0-1 and year from 2-5 of a week text WWYYYY, each read
// as a number. Reads at most six characters; a shorter text ends where it
// ends. (Inline, as SplitDate.)
inline SplitWeekResult SplitWeek(std::string_view week);

// The operations below that take a date text split it with SplitDate; each
// has a twin that takes the split date, for a caller that asks several
// questions of one date.

// 0 when the date is valid, 1 when the month is not 1 to 12 or the day is not
// within the month. No test is made on the year.
int16_t DateIsValid(std::string_view date);
int16_t DateIsValid(const SplitDateResult& date);

// Day number with 1 January 1860 as day 1 (truncating divisions), for a valid
// date. The blank date (day, month and year 0) gives -679016.
int32_t DayNumber(std::string_view date);
int32_t DayNumber(const SplitDateResult& date);

// Weekday by Sakamoto's formula with truncating divisions, 0 Sunday to
// 6 Saturday. For years where the formula's remainder is negative, 7 is added
// so that the weekday always lies in 0 to 6.
int16_t WeekdayOf(std::string_view date);

// Year x 100 + week of a valid date: the ISO 8601 week, except that a date
// before the Monday of week 1 always gets week 53 of the previous year
// (1 January 2011 gives 201053 where ISO says 201052).
int32_t WeekOfDate(std::string_view date);
int32_t WeekOfDate(const SplitDateResult& date);

// Writes the date of the Monday of the week WWYYYY: the Monday of ISO week 1
// of YYYY plus 7 x (WW - 1) days (532010 gives 03012011). Meant for weeks
// 1 to 53 of years from 1990 on; other values still give some date text.
void WeekStartDate(std::string_view week, DateText* out);

// Whole years from the earlier to the later date: the difference of the
// years, less one when the later month and day come before the earlier ones.
// Someone born on 29 February is one year older on 1 March.
int16_t AgeBetween(std::string_view later, std::string_view earlier);
int16_t AgeBetween(const SplitDateResult& later, const SplitDateResult& earlier);

// 42 when the week part (characters 0-1) is not 1 to 53, else 44 when the
// year part (characters 2-5) is below 1990, else 0.
int16_t WeekNoIsPlausible(std::string_view week);

// Writes day, month and year as "%02d%02d%04d" followed by a NUL. A month
// outside 1 to 12 is written as 13, the value of a clock text whose month
// name is not recognised.
void FormatDate(int day, int month, int year, DateText* out);

// Implementation details.

namespace calendar_internal {

// SplitDate and SplitWeek of any text, piece by piece.
SplitDateResult SplitAnyDate(std::string_view date);
SplitWeekResult SplitAnyWeek(std::string_view week);

// True when the first n characters of the text, which has them, are digits.
inline bool LeadingDigits(const char* p, int n) {
  bool digits = true;
  for (int i = 0; i < n; ++i) digits = digits && IsDigit(p[i]);
  return digits;
}

inline int16_t TwoDigits(const char* p) { return static_cast<int16_t>((p[0] - '0') * 10 + (p[1] - '0')); }

}  // namespace calendar_internal

inline SplitDateResult SplitDate(std::string_view date) {
  using calendar_internal::TwoDigits;
  const char* p = date.data();
  // Each piece of eight digits is its decimal value, as the piecewise
  // reading finds it.
  if (date.size() >= 8 && EightDigits(p)) {
    return SplitDateResult{TwoDigits(p), TwoDigits(p + 2),
                           static_cast<int16_t>(TwoDigits(p + 4) * 100 + TwoDigits(p + 6))};
  }
  return calendar_internal::SplitAnyDate(date);
}

inline SplitWeekResult SplitWeek(std::string_view week) {
  using calendar_internal::TwoDigits;
  const char* p = week.data();
  if (week.size() >= 6 && calendar_internal::LeadingDigits(p, 6)) {
    return SplitWeekResult{TwoDigits(p), TwoDigits(p + 2) * 100 + TwoDigits(p + 4)};
  }
  return calendar_internal::SplitAnyWeek(week);
}

}  // namespace grulo

#endif  // GRULO_CALENDAR_CALENDAR_H_
