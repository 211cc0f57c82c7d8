#include "checks/stay_checks.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "checks/summary_testutil.h"

namespace grulo {
namespace {

namespace lf = line_field;
using E = ErrorNumber;

using testing::PreparedState;

std::string Char(char c) { return std::string(1, c); }

TEST(EntryFieldsTest, OnlyKindsOneAndFiveRequireThem) {
  for (char kind : std::string("12345678")) {
    SummaryState state = PreparedState({{lf::kEntryDate, "        "},
                                        {lf::kEntryMode, " "},
                                        {lf::kProvenance, " "},
                                        {lf::kStayKind, Char(kind)}});
    bool required = kind == '1' || kind == '5';
    SCOPED_TRACE(std::string("kind ") + kind);
    EXPECT_EQ(ToNumber(CheckEntryDate(state)), required ? 19 : 0);
    EXPECT_EQ(ToNumber(CheckEntryMode(state)), required ? 23 : 0);
    EXPECT_EQ(ToNumber(CheckProvenance(state)), 0);
  }
}

// Stay kind, mode, the value that depends on it and the error.
struct ModeRow {
  char kind, mode, value;
  int16_t expected;
};

TEST(ProvenanceTest, DependsOnEntryMode) {
  const ModeRow rows[] = {
      {'1', ' ', '9', 0},  {'5', ' ', 'A', 0},  {'3', ' ', ' ', 0},  {'3', ' ', '1', 27},
      {'1', '0', ' ', 25}, {'1', '0', '4', 0},  {'1', '0', '5', 26}, {'3', '6', '1', 0},
      {'3', '6', ' ', 25}, {'1', '7', '0', 26}, {'1', '8', ' ', 0},  {'1', '8', '5', 0},
      {'1', '8', '7', 0},  {'1', '8', '1', 26}, {'1', '8', '4', 26}, {'1', '9', ' ', 0},
      {'1', '9', '7', 0},  {'1', '9', '8', 27}, {'1', 'A', '1', 0},  {'1', 'A', 'X', 27}};
  for (const ModeRow& r : rows) {
    SummaryState state = PreparedState({{lf::kStayKind, Char(r.kind)},
                                        {lf::kEntryMode, Char(r.mode)},
                                        {lf::kProvenance, Char(r.value)}});
    EXPECT_EQ(ToNumber(CheckProvenance(state)), r.expected)
        << r.kind << " '" << r.mode << r.value << "'";
  }
}

TEST(DestinationTest, DependsOnExitMode) {
  const ModeRow rows[] = {
      {'1', ' ', '9', 0},  {'5', ' ', '1', 0},  {'2', ' ', ' ', 0},  {'2', ' ', '1', 39},
      {'1', '0', ' ', 37}, {'1', '6', '4', 0},  {'1', '7', '5', 38}, {'1', '8', ' ', 0},
      {'1', '8', '6', 0},  {'1', '8', '3', 39}, {'1', '9', ' ', 0},  {'1', '9', '1', 39},
      {'1', '5', ' ', 0},  {'1', '5', '4', 0},  {'1', '5', '5', 39}, {'1', 'A', 'B', 39}};
  for (const ModeRow& r : rows) {
    SummaryState state = PreparedState({{lf::kStayKind, Char(r.kind)},
                                        {lf::kExitMode, Char(r.mode)},
                                        {lf::kDestination, Char(r.value)}});
    EXPECT_EQ(ToNumber(CheckDestination(state)), r.expected)
        << r.kind << " '" << r.mode << r.value << "'";
  }
}

TEST(ExitModeTest, IsTestedEvenWithoutExitDate) {
  const struct {
    const char* exit_date;
    char mode;
    int16_t expected;
  } rows[] = {{"        ", ' ', 0},  {"        ", '6', 0},  {"        ", 'A', 35},
              {"        ", '5', 36}, {"20032009", ' ', 34}, {"20032009", '9', 0},
              {"XXXXXXXX", ' ', 34}};
  for (const auto& r : rows) {
    SummaryState state =
        PreparedState({{lf::kExitDate, r.exit_date}, {lf::kExitMode, Char(r.mode)}});
    EXPECT_EQ(ToNumber(CheckExitMode(state)), r.expected) << r.exit_date << " '" << r.mode << "'";
  }
}

// The entry date is judged first, as the sequence does; its result decides
// whether the exit date is compared with the entry and with today.
TEST(ExitDateTest, DependsOnTheEntryDateResult) {
  const struct {
    char kind;
    const char* entry_date;
    const char* exit_date;
    int16_t expected;
  } rows[] = {
      // A correct stay without entry date: the exit is not compared at all.
      {'2', "        ", "16062009", 0},
      // Kind '1' needs the entry date (19): the exit goes on to today.
      {'1', "        ", "16062009", 33},
      // Entry after today (21), impossible (20), too old (22): no comparison.
      {'1', "16062009", "01062009", 0},
      {'1', "30022009", "01012009", 0},
      {'1', "02031990", "01011990", 0},
      {'1', "02032009", "02032009", 0},
      {'1', "02032009", "16062009", 33},
      {'1', "02032009", "15062009", 0},
      {'1', "02032009", "        ", 0},
      {'1', "02032009", " 1042009", 0},
  };
  for (const auto& r : rows) {
    SummaryState state = PreparedState({{lf::kStayKind, Char(r.kind)},
                                        {lf::kEntryDate, r.entry_date},
                                        {lf::kExitDate, r.exit_date}});
    EXPECT_EQ(ToNumber(CheckExitDate(state, CheckEntryDate(state))), r.expected)
        << r.kind << " " << r.entry_date << " " << r.exit_date;
  }
}

TEST(WeekNoTest, ComparesWithCorrectDatesOnly) {
  const struct {
    char kind;
    const char* week_no;
    const char* entry_date;
    ErrorNumber entry_date_error;
    const char* exit_date;
    ErrorNumber exit_date_error;
    int16_t expected;
  } rows[] = {
      // 7 January 2008 lies in week 2 of 2008.
      {'1', "012008", "07012008", E::kNone, "        ", E::kNone, 45},
      {'5', "012008", "07012008", E::kNone, "        ", E::kNone, 45},
      {'1', "012008", "07012008", E::kEntryDateInvalid, "        ", E::kNone, 0},
      {'3', "012008", "07012008", E::kNone, "        ", E::kNone, 0},
      {'1', "012008", "        ", E::kNone, "        ", E::kNone, 0},
      {'1', "022008", "07012008", E::kNone, "        ", E::kNone, 0},
      // Exit on Friday 11 January 2008, week 2.
      {'1', "032008", "07012008", E::kNone, "11012008", E::kNone, 46},
      {'1', "032008", "07012008", E::kNone, "11012008", E::kExitAfterToday, 0},
      {'1', "022008", "07012008", E::kNone, "11012008", E::kNone, 0},
      // The week text is read without a mask: '1 2008' is week 1 of 2008.
      {'1', "1 2008", "31122007", E::kNone, "        ", E::kNone, 0},
      {'1', "1 2008", "07012008", E::kNone, "        ", E::kNone, 45},
      // 29 December 2008 lies in week 1 of 2009.
      {'1', "532008", "29122008", E::kNone, "        ", E::kNone, 45},
      {'1', "011990", "        ", E::kNone, "        ", E::kNone, 0},
  };
  for (const auto& r : rows) {
    SummaryState state = PreparedState({{lf::kStayKind, Char(r.kind)},
                                        {lf::kWeekNo, r.week_no},
                                        {lf::kEntryDate, r.entry_date},
                                        {lf::kExitDate, r.exit_date}});
    EXPECT_EQ(ToNumber(CheckWeekNo(state, r.entry_date_error, r.exit_date_error)), r.expected)
        << r.kind << " " << r.week_no << " " << r.entry_date << " " << r.exit_date;
  }
}

TEST(BirthDateTest, FormThenTheWeeksMonday) {
  const struct {
    const char* week_no;
    const char* birth;
    int16_t expected;
  } rows[] = {
      // '1 2008' passes the week check but gives no Monday: every birth lies
      // after the blank Monday, day -679016, but one in year 0, which lies
      // before it by less than 120 years.
      {"1 2008", "15031950", 13},
      {"1 2008", "01011900", 13},
      {"1 2008", "01010001", 13},
      {"1 2008", "01010000", 0},
      {"1 2008", "30110000", 0},
      // A sign is read as part of the number too; one leading space is allowed.
      {"+12009", "15031950", 13},
      {" 12009", "15031950", 0},
      {"542009", "31041950", 12},  // the form is judged before the week
      {"112009", "01010000", 14},
  };
  for (const auto& r : rows) {
    SummaryState state = PreparedState({{lf::kWeekNo, r.week_no}, {lf::kBirthDate, r.birth}});
    EXPECT_EQ(ToNumber(CheckBirthDate(state)), r.expected) << r.week_no << " " << r.birth;
  }
}

// A day of 1 to 3 January before the Monday of week 1 counts in week 53 of
// the year before, even when that year has only 52 weeks: Saturday
// 1 January 2011 lies after week 52 of 2010 for the week and reference date
// checks, where ISO 8601 puts it in that week.
TEST(WeekOfDateTest, EarlyJanuaryCountsInWeek53OfTheYearBefore) {
  const FieldRef kWeek = lf::kWeekNo;
  SummaryState entry = PreparedState({{kWeek, "522010"}, {lf::kEntryDate, "01012011"}});
  DateText today{};
  FormatDate(15, 6, 2011, &today);
  SetToday(&entry, today);
  EXPECT_EQ(CheckWeekNo(entry, E::kNone, E::kNone), E::kWeekBeforeEntry);
  SummaryState ref = PreparedState({{kWeek, "522010"}, {lf::kRefDate, "01012011"}});
  EXPECT_EQ(CheckRefDate(ref), E::kRefDateAfterWeek);
  SummaryState week_53 = PreparedState({{kWeek, "532010"}, {lf::kRefDate, "01012011"}});
  EXPECT_EQ(CheckRefDate(week_53), E::kNone);
}

TEST(RefDateTest, ReadsTheWeekEvenWhenItFailedItsCheck) {
  // Week 0 of 2009 reads as 200900, before week 2 of 2009.
  SummaryState week_zero = PreparedState({{lf::kWeekNo, "002009"}, {lf::kRefDate, "05012009"}});
  EXPECT_EQ(CheckRefDate(week_zero), E::kRefDateAfterWeek);
  SummaryState week_54 = PreparedState({{lf::kWeekNo, "542009"}, {lf::kRefDate, "01012010"}});
  EXPECT_EQ(CheckRefDate(week_54), E::kNone);
}

}  // namespace
}  // namespace grulo
