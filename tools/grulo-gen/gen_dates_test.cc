// The generator's own date arithmetic, checked against the program's
// calendar: a summary is only as valid as its dates are to the checks.

#include "gen_dates.h"

#include <gtest/gtest.h>

#include <string>

#include "calendar/calendar.h"

namespace grulo {
namespace gen {
namespace {

std::string DateOf(int32_t day) {
  char text[8];
  WriteDate(day, text);
  return std::string(text, 8);
}

TEST(GenDatesTest, DaysAgreeWithTheProgramsDayNumbers) {
  const int32_t first = DayFromCivil(1880, 1, 1);
  const int32_t last = DayFromCivil(2100, 12, 31);
  const int32_t program_epoch = DayNumber("01011970");
  for (int32_t day = first; day <= last; ++day) {
    const std::string text = DateOf(day);
    ASSERT_EQ(DateIsValid(text), 0) << text;
    ASSERT_EQ(DayNumber(text) - program_epoch, day) << text;
    // The program counts weekdays from Sunday (0), the generator from Monday.
    ASSERT_EQ((WeekdayOfDay(day) + 1) % 7, WeekdayOf(text)) << text;
    int y = 0, m = 0, d = 0;
    CivilFromDay(day, &y, &m, &d);
    ASSERT_EQ(DayFromCivil(y, m, d), day);
  }
}

TEST(GenDatesTest, WeekMondaysAgreeWithTheProgramsWeekStart) {
  for (int year = 1990; year <= 2100; ++year) {
    const int weeks = YearHasWeek53(year) ? 53 : 52;
    // 28 December always lies in the last week of its year: the program says
    // which years have a week 53.
    ASSERT_EQ(WeekOfDate("2812" + std::to_string(year)), year * 100 + weeks);
    for (int week = 1; week <= weeks; ++week) {
      char week_text[6];
      WriteDigits(week, 2, week_text);
      WriteDigits(year, 4, week_text + 2);
      DateText start;
      WeekStartDate(std::string_view(week_text, 6), &start);
      const int32_t monday = IsoWeekMonday(week, year);
      ASSERT_EQ(DateOf(monday), std::string(start.data(), 8)) << week << "/" << year;
      ASSERT_EQ(WeekOfDate(DateOf(monday)), year * 100 + week);
      int w = 0, y = 0;
      IsoWeekOf(monday + 6, &w, &y);
      ASSERT_EQ(y * 100 + w, year * 100 + week);
    }
  }
}

TEST(GenDatesTest, DateTextIsWrittenAsGiven) {
  char text[8];
  WriteDateText(31, 4, 2023, text);
  EXPECT_EQ(std::string(text, 8), "31042023");
  WriteDateText(0, 13, 999, text);
  EXPECT_EQ(std::string(text, 8), "00130999");
}

}  // namespace
}  // namespace gen
}  // namespace grulo
