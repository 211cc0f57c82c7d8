#include "calendar/calendar.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "text/number_text.h"

namespace grulo {
namespace {

namespace chr = std::chrono;

std::string DateOf(const chr::year_month_day& ymd) {
  char text[16];
  std::snprintf(text, sizeof text, "%02u%02u%04d", static_cast<unsigned>(ymd.day()),
                static_cast<unsigned>(ymd.month()), static_cast<int>(ymd.year()));
  return text;
}

// The Monday of ISO week 1 of a year: the Monday of the week of 4 January.
chr::sys_days IsoWeekOneMonday(int year) {
  chr::sys_days jan4 = chr::sys_days{chr::year{year} / chr::January / 4};
  return jan4 - chr::days{chr::weekday{jan4}.iso_encoding() - 1};
}

// ISO 8601 week-numbering year x 100 + ISO week, computed independently.
int IsoWeekKey(chr::sys_days day) {
  int iso_weekday = static_cast<int>(chr::weekday{day}.iso_encoding());  // 1 Monday .. 7 Sunday
  chr::sys_days thursday = day - chr::days{iso_weekday - 1} + chr::days{3};
  chr::year iso_year = chr::year_month_day{thursday}.year();
  chr::sys_days jan1 = chr::sys_days{iso_year / chr::January / 1};
  int week = static_cast<int>((thursday - jan1).count()) / 7 + 1;
  return static_cast<int>(iso_year) * 100 + week;
}

TEST(CalendarTest, AgreesWithChronoForEveryDateFrom1900To2100) {
  const chr::sys_days first = chr::sys_days{chr::year{1900} / chr::January / 1};
  const chr::sys_days last = chr::sys_days{chr::year{2100} / chr::December / 31};
  const int32_t first_number = DayNumber("01011900");
  int deviations = 0;
  for (chr::sys_days day = first; day <= last; day += chr::days{1}) {
    chr::year_month_day ymd{day};
    std::string text = DateOf(ymd);
    ASSERT_EQ(DateIsValid(text), 0) << text;
    ASSERT_EQ(DayNumber(text) - first_number, (day - first).count()) << text;
    ASSERT_EQ(WeekdayOf(text), static_cast<int>(chr::weekday{day}.c_encoding())) << text;
    // The one deviation from ISO: a date before the Monday of week 1 of its
    // year always gets week 53 of the previous year.
    int year = static_cast<int>(ymd.year());
    bool before_week_one = day < IsoWeekOneMonday(year);
    ASSERT_EQ(WeekOfDate(text), before_week_one ? (year - 1) * 100 + 53 : IsoWeekKey(day))
        << text;
    deviations += before_week_one && IsoWeekKey(day) % 100 != 53;
  }
  EXPECT_GT(deviations, 0);
}

TEST(CalendarTest, WeekStartIsMondayOfIsoWeekOnePlusWholeWeeks) {
  for (int year = 1990; year <= 2100; ++year) {
    for (int week = 1; week <= 53; ++week) {
      char text[24];  // room for any two ints, as the compiler counts
      std::snprintf(text, sizeof text, "%02d%04d", week, year);
      DateText out{};
      WeekStartDate(text, &out);
      chr::year_month_day expected{IsoWeekOneMonday(year) + chr::days{7 * (week - 1)}};
      ASSERT_EQ(std::string(DateView(out)), DateOf(expected)) << text;
      ASSERT_EQ(out[8], '\0');
    }
  }
  // Weeks no plausible text holds still give a terminated text.
  for (const char* week : {"002009", "992009", "-52009", "  0000", "540001"}) {
    DateText out{};
    WeekStartDate(week, &out);
    EXPECT_EQ(out[8], '\0') << week;
  }
}

TEST(CalendarTest, DateValidity) {
  const std::pair<const char*, int16_t> cases[] = {
      {"29021900", 1}, {"29022001", 1}, {"31042009", 1}, {"00012009", 1}, {"32012009", 1},
      {"01132009", 1}, {"01002009", 1}, {"01010000", 0}, {" 5 32009", 0}, {"        ", 1},
      {"0101-001", 0},  // a negative year is still a date
      {"3112 999", 0}, {"AB012009", 1}, {"-1012009", 1}, {"+1012009", 0},
  };
  for (auto [date, expected] : cases) EXPECT_EQ(DateIsValid(date), expected) << date;
}

TEST(CalendarTest, DayNumbersStartAfter1859) {
  EXPECT_EQ(DayNumber("01011860"), 1);
  EXPECT_EQ(DayNumber("31121859"), 0);
  EXPECT_EQ(DayNumber("15062009"), 54588);
  EXPECT_EQ(DayNumber("        "), -679016);
}

TEST(CalendarTest, WeekdayStaysInRangeForNegativeYears) {
  for (int year = -999; year <= 0; ++year) {
    char text[16];
    std::snprintf(text, sizeof text, "0101%4d", year);
    int16_t w = WeekdayOf(std::string_view(text, 8));
    ASSERT_GE(w, 0) << text;
    ASSERT_LE(w, 6) << text;
    WeekOfDate(std::string_view(text, 8));  // indexes its tables with that weekday
  }
}

// The week of a date counts the days since 1 January of its year; within the
// year that is day of the month plus the days before the month, less one,
// which must agree with the difference of the two day numbers for every
// split date, months and days out of range included.
TEST(CalendarTest, WeekOfDateCountsTheDaysAsTheDayNumbersDo) {
  constexpr int kBias[7] = {6, 7, 8, 9, 10, 4, 5};  // by the weekday of 1 January
  for (int year : {-999, -401, -1, 0, 1, 1899, 1900, 1999, 2000, 2004, 2011, 2026, 9999}) {
    char jan1_text[16];
    std::snprintf(jan1_text, sizeof jan1_text, "0101%4d", year);
    const int weekday = WeekdayOf(std::string_view(jan1_text, 8));
    const int32_t jan1 = DayNumber(SplitDateResult{1, 1, static_cast<int16_t>(year)});
    for (int month = -1; month <= 14; ++month) {
      for (int day = -3; day <= 40; ++day) {
        const SplitDateResult date{static_cast<int16_t>(day), static_cast<int16_t>(month),
                                   static_cast<int16_t>(year)};
        const int32_t week = (DayNumber(date) - jan1 + kBias[weekday]) / 7;
        const int32_t got = WeekOfDate(date);
        if (week == 0) {
          ASSERT_EQ(got, (year - 1) * 100 + 53) << day << "/" << month << "/" << year;
        } else if (week == 53) {  // week 53 or week 1 of the next year
          ASSERT_TRUE(got == year * 100 + 53 || got == (year + 1) * 100 + 1) << got;
        } else {  // weeks out of range included
          ASSERT_EQ(got, year * 100 + week) << day << "/" << month << "/" << year;
        }
      }
    }
  }
}

TEST(CalendarTest, AgesPlausibleWeeksAndLeapYears) {
  EXPECT_EQ(AgeBetween("28022001", "29022000"), 0);
  EXPECT_EQ(AgeBetween("01032001", "29022000"), 1);
  EXPECT_EQ(AgeBetween("15062009", "15062000"), 9);
  EXPECT_EQ(AgeBetween("14062009", "15062000"), 8);
  const std::pair<const char*, int16_t> weeks[] = {{"532009", 0},  {"542009", 42}, {"002009", 42},
                                                   {"011989", 44}, {"011990", 0},  {"1 2008", 0},
                                                   {"      ", 42}};
  for (auto [week, expected] : weeks) EXPECT_EQ(WeekNoIsPlausible(week), expected) << week;
  for (int year : {0, -4, -400}) EXPECT_TRUE(IsLeapYear(year)) << year;
  EXPECT_FALSE(IsLeapYear(-100));
}

// Texts of 0 to 9 characters, mostly digits, now and then a blank, a sign,
// a letter, white space or a NUL byte: the pieces of a date read each way.
std::vector<std::string> MostlyDigitTexts() {
  std::mt19937 random(31);
  const std::string others("  +-A\t\0\xB0", 8);
  std::vector<std::string> texts;
  for (int i = 0; i < 200000; ++i) {
    std::string text;
    const size_t length = random() % 10;
    const unsigned odds = 2 + random() % 30;  // one odd byte in `odds`, about
    for (size_t p = 0; p < length; ++p) {
      text += random() % odds == 0 ? others[random() % others.size()]
                                   : static_cast<char>('0' + random() % 10);
    }
    texts.push_back(text);
  }
  return texts;
}

// The number of text[from, from + n), as much of it as the text holds.
int32_t Piece(const std::string& text, size_t from, size_t n) {
  return from >= text.size() ? 0 : ReadNumber(std::string_view(text).substr(from, n));
}

TEST(CalendarTest, SplittingReadsEachPieceAsANumber) {
  for (const std::string& text : MostlyDigitTexts()) {
    const SplitDateResult date = SplitDate(text);
    ASSERT_EQ(date.day, Piece(text, 0, 2)) << '"' << text << '"';
    ASSERT_EQ(date.month, Piece(text, 2, 2)) << '"' << text << '"';
    ASSERT_EQ(date.year, Piece(text, 4, 4)) << '"' << text << '"';
    const SplitWeekResult week = SplitWeek(text);
    ASSERT_EQ(week.week, Piece(text, 0, 2)) << '"' << text << '"';
    ASSERT_EQ(week.year, Piece(text, 2, 4)) << '"' << text << '"';
  }
}

TEST(CalendarTest, FormatDateWritesWhatPrintfWrites) {
  for (int day : {-10, -1, 0, 1, 9, 10, 31, 99, 100, 12345}) {
    for (int month : {1, 9, 10, 12}) {
      for (int year : {-1000, -999, -1, 0, 7, 99, 1990, 2009, 9999, 10000, 123456}) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "%02d%02d%04d", day, month, year);
        DateText out{};
        FormatDate(day, month, year, &out);
        ASSERT_EQ(std::string(DateView(out)), std::string(expected).substr(0, 8))
            << day << " " << month << " " << year;
        ASSERT_EQ(out[8], '\0');
      }
    }
  }
  // An unknown month is written as 13.
  DateText out{};
  FormatDate(5, 0, 2009, &out);
  EXPECT_EQ(std::string(DateView(out)), "05132009");
}

}  // namespace
}  // namespace grulo
