#include "calendar/calendar.h"

#include <cstdio>

#include "text/number_text.h"

namespace grulo {
namespace {

constexpr int16_t kDaysInMonth[2][12] = {
    {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
    {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};
constexpr int16_t kDaysBeforeMonth[2][12] = {
    {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334},
    {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335}};
constexpr int16_t kDaysThroughMonth[2][12] = {
    {31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365},
    {31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366}};
constexpr int16_t kMonthKey[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
// Indexed by the weekday of 1 January, Sunday to Saturday.
constexpr int16_t kWeekNumberBias[7] = {6, 7, 8, 9, 10, 4, 5};
constexpr int16_t kMondayShift[7] = {+1, 0, -1, -2, -3, +3, +2};

bool ValidMonth(int month) { return month >= 1 && month <= 12; }

// Writes n, 0 to 99, as two digits.
void PutTwoDigits(int n, char* out) {
  out[0] = static_cast<char>('0' + n / 10);
  out[1] = static_cast<char>('0' + n % 10);
}

int16_t DaysInMonth(bool leap, int month) { return kDaysInMonth[leap][month - 1]; }

// Days of the year before the first of the month. Month 0 occurs only for the
// blank date, whose year 0 is a leap year; it reads the December value of the
// common-year row, which makes the blank date come out as day -679016.
int32_t DaysBeforeMonth(bool leap, int month) {
  if (ValidMonth(month)) return kDaysBeforeMonth[leap][month - 1];
  if (month == 0) return kDaysBeforeMonth[0][11];
  return 0;
}

// 1 January of the year, as the text "0101%d" would give it: the year is
// read back from characters 4-7 only, so a year of five characters or more
// keeps its first four.
SplitDateResult FirstOfJanuary(int32_t year) {
  if (year >= -999 && year <= 9999) {
    return SplitDateResult{1, 1, static_cast<int16_t>(year)};
  }
  char text[16] = {};
  std::snprintf(text, sizeof text, "0101%d", static_cast<int>(year));
  return SplitDate(std::string_view(text, 8));
}

int16_t WeekdayOfSplit(SplitDateResult s) {
  int16_t y = s.month < 3 ? static_cast<int16_t>(s.year - 1) : s.year;
  int key = ValidMonth(s.month) ? kMonthKey[s.month - 1] : 0;
  int w = (y + y / 4 - y / 100 + y / 400 + key + s.day) % 7;
  if (w < 0) w += 7;
  return static_cast<int16_t>(w);
}

int32_t DayNumberOfSplit(SplitDateResult s) {
  int32_t y = s.year;
  return s.day + DaysBeforeMonth(IsLeapYear(y), s.month) + (y - 1860) * 365 + (y - 1) / 4 -
         (y - 1) / 100 + (y - 1) / 400 - 450;
}

}  // namespace

bool IsLeapYear(int32_t year) {
  // Three years in four are settled by the first test.
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

SplitDateResult calendar_internal::SplitAnyDate(std::string_view date) {
  auto piece = [date](size_t from, size_t n) -> int16_t {
    if (from >= date.size()) return 0;
    return static_cast<int16_t>(ReadNumber(date.substr(from, n)));
  };
  return SplitDateResult{piece(0, 2), piece(2, 2), piece(4, 4)};
}

SplitWeekResult calendar_internal::SplitAnyWeek(std::string_view week) {
  return SplitWeekResult{ReadNumber(week.substr(0, 2)),
                         week.size() > 2 ? ReadNumber(week.substr(2, 4)) : 0};
}

int16_t DateIsValid(std::string_view date) { return DateIsValid(SplitDate(date)); }

int16_t DateIsValid(const SplitDateResult& date) {
  if (!ValidMonth(date.month) || date.day < 1) return 1;
  if (date.day > DaysInMonth(IsLeapYear(date.year), date.month)) return 1;
  return 0;
}

int32_t DayNumber(std::string_view date) { return DayNumberOfSplit(SplitDate(date)); }

int32_t DayNumber(const SplitDateResult& date) { return DayNumberOfSplit(date); }

int16_t WeekdayOf(std::string_view date) { return WeekdayOfSplit(SplitDate(date)); }

int32_t WeekOfDate(std::string_view date) { return WeekOfDate(SplitDate(date)); }

int32_t WeekOfDate(const SplitDateResult& s) {
  SplitDateResult jan1 = FirstOfJanuary(s.year);
  int16_t w = WeekdayOfSplit(jan1);
  // The days from 1 January to the date. In the same year (every year of
  // four characters or fewer) the years' terms of the two day numbers
  // cancel out.
  int32_t days_since_jan1;
  if (jan1.year == s.year) {
    days_since_jan1 = s.day + DaysBeforeMonth(IsLeapYear(s.year), s.month) - 1;
  } else {
    days_since_jan1 = DayNumberOfSplit(s) - DayNumberOfSplit(jan1);
  }
  int32_t days = days_since_jan1 + kWeekNumberBias[w];
  int32_t week = days / 7;
  int32_t y = s.year;
  if (week == 0) return (y - 1) * 100 + 53;
  if (week == 53) {
    int16_t next = WeekdayOfSplit(FirstOfJanuary(y + 1));
    if (next >= 1 && next <= 4) return (y + 1) * 100 + 1;
    return y * 100 + 53;
  }
  return y * 100 + week;
}

void WeekStartDate(std::string_view week, DateText* out) {
  const SplitWeekResult split = SplitWeek(week);
  int32_t w = split.week;
  int32_t year = split.year;
  bool leap = IsLeapYear(year);
  int32_t a = 7 * w - 6;
  int month = 1;
  while (month < 12 && kDaysThroughMonth[leap][month - 1] < a) ++month;
  if (month > 1) a -= kDaysThroughMonth[leap][month - 2];

  a += kMondayShift[WeekdayOfSplit(FirstOfJanuary(year))];
  if (a <= 0) {
    if (--month == 0) {
      month = 12;
      --year;
    }
    a += DaysInMonth(IsLeapYear(year), month);
  }
  if (a > DaysInMonth(IsLeapYear(year), month)) {
    a -= DaysInMonth(IsLeapYear(year), month);
    if (++month == 13) {
      month = 1;
      ++year;
    }
  }
  FormatDate(a, month, year, out);
}

int16_t AgeBetween(std::string_view later, std::string_view earlier) {
  return AgeBetween(SplitDate(later), SplitDate(earlier));
}

int16_t AgeBetween(const SplitDateResult& later, const SplitDateResult& earlier) {
  int age = later.year - earlier.year;
  if (later.month < earlier.month || (later.month == earlier.month && later.day < earlier.day)) {
    --age;
  }
  return static_cast<int16_t>(age);
}

int16_t WeekNoIsPlausible(std::string_view week) {
  const SplitWeekResult split = SplitWeek(week);
  if (split.week < 1 || split.week > 53) return 42;
  if (split.year < 1990) return 44;
  return 0;
}

void FormatDate(int day, int month, int year, DateText* out) {
  if (!ValidMonth(month)) month = 13;
  if (day >= 0 && day <= 99 && year >= 0 && year <= 9999) {
    char* p = out->data();
    PutTwoDigits(day, p);
    PutTwoDigits(month, p + 2);
    PutTwoDigits(year / 100, p + 4);
    PutTwoDigits(year % 100, p + 6);
    p[8] = '\0';
    return;
  }
  char text[48];
  std::snprintf(text, sizeof text, "%02d%02d%04d", day, month, year);
  for (int i = 0; i < 8; ++i) (*out)[i] = text[i];
  (*out)[8] = '\0';
}

}  // namespace grulo
