#include "calendar/calendar.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace grulo {
namespace {

namespace chr = std::chrono;

std::string DateOf(const chr::year_month_day& ymd) {
  char text[16];
  std::snprintf(text, sizeof text, "%02u%02u%04d", static_cast<unsigned>(ymd.day()),
                static_cast<unsigned>(ymd.month()), static_cast<int>(ymd.year()));
  return text;
}

// ISO 8601 week-numbering year x 100 + ISO week, computed independently.
int IsoWeekKey(chr::sys_days day) {
  chr::weekday wd{day};
  int iso_weekday = static_cast<int>(wd.iso_encoding());  // 1 Monday .. 7 Sunday
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

    int iso = IsoWeekKey(day);
    int ours = WeekOfDate(text);
    if (ours != iso) {
      // The one deviation: a date before the Monday of week 1 of its year
      // always gets week 53 of the previous year.
      int year = static_cast<int>(ymd.year());
      ASSERT_EQ(iso / 100, year - 1) << text;
      ASSERT_EQ(ours, (year - 1) * 100 + 53) << text;
      ++deviations;
    }
  }
  EXPECT_GT(deviations, 0);
}

TEST(CalendarTest, WeekStartIsMondayOfIsoWeekOneplusWholeWeeks) {
  for (int year = 1990; year <= 2100; ++year) {
    chr::sys_days jan4 = chr::sys_days{chr::year{year} / chr::January / 4};
    int jan4_iso = static_cast<int>(chr::weekday{jan4}.iso_encoding());
    chr::sys_days week1_monday = jan4 - chr::days{jan4_iso - 1};
    for (int week = 1; week <= 53; ++week) {
      char text[16];
      std::snprintf(text, sizeof text, "%02d%04d", week, year);
      DateText out{};
      WeekStartDate(text, &out);
      chr::year_month_day expected{week1_monday + chr::days{7 * (week - 1)}};
      ASSERT_EQ(std::string(DateView(out)), DateOf(expected)) << text;
      ASSERT_EQ(out[8], '\0');
    }
  }
}

TEST(CalendarTest, DateValidity) {
  struct Case {
    const char* date;
    int16_t expected;
  } cases[] = {
      {"29022000", 0}, {"29022004", 0}, {"29021900", 1}, {"29022001", 1},
      {"31042009", 1}, {"00012009", 1}, {"32012009", 1}, {"01132009", 1},
      {"01002009", 1}, {"01010000", 0}, {" 5 32009", 0}, {"        ", 1},
      {"0101-001", 0},  // a negative year is still a date
      {"3112 999", 0}, {"AB012009", 1}, {"-1012009", 1}, {"+1012009", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(DateIsValid(c.date), c.expected) << c.date;
}

TEST(CalendarTest, SplitReadsEachPieceOnItsOwn) {
  SplitDateResult s = SplitDate(" 5 32009");
  EXPECT_EQ(s.day, 5);
  EXPECT_EQ(s.month, 3);
  EXPECT_EQ(s.year, 2009);
  s = SplitDate("0101-001");
  EXPECT_EQ(s.year, -1);
  s = SplitDate("1 2 3 4 ");
  EXPECT_EQ(s.day, 1);
  EXPECT_EQ(s.month, 2);
  EXPECT_EQ(s.year, 3);
}

TEST(CalendarTest, DayNumbers) {
  EXPECT_EQ(DayNumber("01011860"), 1);
  EXPECT_EQ(DayNumber("31121859"), 0);
  EXPECT_EQ(DayNumber("01012000"), 51135);
  EXPECT_EQ(DayNumber("01012009"), 54423);
  EXPECT_EQ(DayNumber("15062009"), 54588);
  EXPECT_EQ(DayNumber("        "), -679016);
}

TEST(CalendarTest, Weekdays) {
  EXPECT_EQ(WeekdayOf("01012009"), 4);
  EXPECT_EQ(WeekdayOf("04012010"), 1);
  EXPECT_EQ(WeekdayOf("29022000"), 2);
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

TEST(CalendarTest, WeeksOfDates) {
  struct Case {
    const char* date;
    int32_t week;
  } cases[] = {
      {"29122008", 200901}, {"31122008", 200901}, {"01012010", 200953},
      {"03012010", 200953}, {"04012010", 201001}, {"01012011", 201053},
      {"02012011", 201053}, {"03012011", 201101}, {"01012016", 201553},
      {"01012017", 201653}, {"02012017", 201701}, {"31122012", 201301},
  };
  for (const Case& c : cases) EXPECT_EQ(WeekOfDate(c.date), c.week) << c.date;
}

TEST(CalendarTest, WeekStartDates) {
  struct Case {
    const char* week;
    const char* monday;
  } cases[] = {
      {"012009", "29122008"}, {"012010", "04012010"}, {"532009", "28122009"},
      {"532010", "03012011"}, {"522010", "27122010"}, {"012004", "29122003"},
      {"532004", "27122004"},
  };
  for (const Case& c : cases) {
    DateText out{};
    WeekStartDate(c.week, &out);
    EXPECT_EQ(std::string(DateView(out)), c.monday) << c.week;
  }
}

TEST(CalendarTest, WeekStartDateStaysDefinedForOddWeeks) {
  for (const char* week : {"002009", "992009", "-52009", "  0000", "540001"}) {
    DateText out{};
    WeekStartDate(week, &out);
    EXPECT_EQ(out[8], '\0') << week;
  }
}

TEST(CalendarTest, Ages) {
  EXPECT_EQ(AgeBetween("28022001", "29022000"), 0);
  EXPECT_EQ(AgeBetween("01032001", "29022000"), 1);
  EXPECT_EQ(AgeBetween("15062009", "15062000"), 9);
  EXPECT_EQ(AgeBetween("14062009", "15062000"), 8);
}

TEST(CalendarTest, WeekPlausibility) {
  EXPECT_EQ(WeekNoIsPlausible("532009"), 0);
  EXPECT_EQ(WeekNoIsPlausible("542009"), 42);
  EXPECT_EQ(WeekNoIsPlausible("002009"), 42);
  EXPECT_EQ(WeekNoIsPlausible("011989"), 44);
  EXPECT_EQ(WeekNoIsPlausible("011990"), 0);
  EXPECT_EQ(WeekNoIsPlausible("1 2008"), 0);
  EXPECT_EQ(WeekNoIsPlausible("      "), 42);
}

TEST(CalendarTest, LeapYears) {
  EXPECT_TRUE(IsLeapYear(0));
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_FALSE(IsLeapYear(1900));
  EXPECT_TRUE(IsLeapYear(-4));
  EXPECT_FALSE(IsLeapYear(-100));
  EXPECT_TRUE(IsLeapYear(-400));
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
}

TEST(CalendarTest, FormatDateWritesMonthThirteenWhenUnknown) {
  DateText out{};
  FormatDate(5, 3, 2009, &out);
  EXPECT_EQ(std::string(DateView(out)), "05032009");
  FormatDate(5, 0, 2009, &out);
  EXPECT_EQ(std::string(DateView(out)), "05132009");
}

}  // namespace
}  // namespace grulo
