#include "checks/stay_checks.h"

#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "checks/summary_testutil.h"

namespace grulo {
namespace {

namespace lf = line_field;

using Edits = std::vector<std::pair<FieldRef, std::string>>;

// The valid summary with some fields changed, prepared as for the checks
// (today is 15 June 2009).
SummaryState StateWith(const Edits& edits) {
  std::string line = testing::ValidSummaryLine();
  for (const auto& [field, value] : edits) testing::SetField(&line, field, value);
  SummaryState state;
  testing::PrepareState(line, &state);
  return state;
}

TEST(EntryFieldsTest, OnlyKindsOneAndFiveRequireThem) {
  const Edits blank_entry = {{lf::kEntryDate, "        "},
                             {lf::kEntryMode, " "},
                             {lf::kProvenance, " "}};
  for (char kind : std::string("12345678")) {
    Edits edits = blank_entry;
    edits.push_back({lf::kStayKind, std::string(1, kind)});
    SummaryState state = StateWith(edits);
    bool required = kind == '1' || kind == '5';
    SCOPED_TRACE(std::string("kind ") + kind);
    EXPECT_EQ(CheckEntryDate(state), required ? 19 : 0);
    EXPECT_EQ(CheckEntryMode(state), required ? 23 : 0);
    EXPECT_EQ(CheckProvenance(state), 0);
  }
}

struct ModeRow {
  char kind;
  char mode;
  char value;
  int16_t expected;
};

class ProvenanceTest : public ::testing::TestWithParam<ModeRow> {};

TEST_P(ProvenanceTest, DependsOnEntryMode) {
  const ModeRow& row = GetParam();
  SummaryState state = StateWith({{lf::kStayKind, std::string(1, row.kind)},
                                  {lf::kEntryMode, std::string(1, row.mode)},
                                  {lf::kProvenance, std::string(1, row.value)}});
  EXPECT_EQ(CheckProvenance(state), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ProvenanceTest,
    ::testing::Values(ModeRow{'1', ' ', '9', 0}, ModeRow{'5', ' ', 'A', 0},
                      ModeRow{'3', ' ', ' ', 0}, ModeRow{'3', ' ', '1', 27},
                      ModeRow{'1', '0', ' ', 25}, ModeRow{'1', '0', '4', 0},
                      ModeRow{'1', '0', '5', 26}, ModeRow{'3', '6', '1', 0},
                      ModeRow{'3', '6', ' ', 25}, ModeRow{'1', '7', '0', 26},
                      ModeRow{'1', '8', ' ', 0}, ModeRow{'1', '8', '5', 0},
                      ModeRow{'1', '8', '7', 0}, ModeRow{'1', '8', '1', 26},
                      ModeRow{'1', '8', '4', 26}, ModeRow{'1', '9', ' ', 0},
                      ModeRow{'1', '9', '7', 0}, ModeRow{'1', '9', '8', 27},
                      ModeRow{'1', 'A', '1', 0}, ModeRow{'1', 'A', 'X', 27}));

class DestinationTest : public ::testing::TestWithParam<ModeRow> {};

TEST_P(DestinationTest, DependsOnExitMode) {
  const ModeRow& row = GetParam();
  SummaryState state = StateWith({{lf::kStayKind, std::string(1, row.kind)},
                                  {lf::kExitMode, std::string(1, row.mode)},
                                  {lf::kDestination, std::string(1, row.value)}});
  EXPECT_EQ(CheckDestination(state), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, DestinationTest,
    ::testing::Values(ModeRow{'1', ' ', '9', 0}, ModeRow{'5', ' ', '1', 0},
                      ModeRow{'2', ' ', ' ', 0}, ModeRow{'2', ' ', '1', 39},
                      ModeRow{'1', '0', ' ', 37}, ModeRow{'1', '6', '4', 0},
                      ModeRow{'1', '7', '5', 38}, ModeRow{'1', '8', ' ', 0},
                      ModeRow{'1', '8', '6', 0}, ModeRow{'1', '8', '3', 39},
                      ModeRow{'1', '9', ' ', 0}, ModeRow{'1', '9', '1', 39},
                      ModeRow{'1', '5', ' ', 0}, ModeRow{'1', '5', '4', 0},
                      ModeRow{'1', '5', '5', 39}, ModeRow{'1', 'A', 'B', 39}));

struct ExitModeRow {
  std::string exit_date;
  char mode;
  int16_t expected;
};

class ExitModeTest : public ::testing::TestWithParam<ExitModeRow> {};

TEST_P(ExitModeTest, IsTestedEvenWithoutExitDate) {
  const ExitModeRow& row = GetParam();
  SummaryState state =
      StateWith({{lf::kExitDate, row.exit_date}, {lf::kExitMode, std::string(1, row.mode)}});
  EXPECT_EQ(CheckExitMode(state), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    ExitDates, ExitModeTest,
    ::testing::Values(ExitModeRow{"        ", ' ', 0}, ExitModeRow{"        ", '6', 0},
                      ExitModeRow{"        ", 'A', 35}, ExitModeRow{"        ", '5', 36},
                      ExitModeRow{"20032009", ' ', 34}, ExitModeRow{"20032009", '9', 0},
                      ExitModeRow{"XXXXXXXX", ' ', 34}));

struct ExitDateRow {
  char kind;
  std::string entry_date;
  std::string exit_date;
  int16_t expected;
};

class ExitDateTest : public ::testing::TestWithParam<ExitDateRow> {};

// The entry date is judged first, as the sequence does; its result decides
// whether the exit date is compared with the entry and with today.
TEST_P(ExitDateTest, DependsOnTheEntryDateResult) {
  const ExitDateRow& row = GetParam();
  SummaryState state = StateWith({{lf::kStayKind, std::string(1, row.kind)},
                                  {lf::kEntryDate, row.entry_date},
                                  {lf::kExitDate, row.exit_date}});
  EXPECT_EQ(CheckExitDate(state, CheckEntryDate(state)), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    EntryResults, ExitDateTest,
    ::testing::Values(
        // A correct stay without entry date: the exit is not compared at all.
        ExitDateRow{'2', "        ", "16062009", 0},
        // Kind '1' needs the entry date (19): the exit goes on to today.
        ExitDateRow{'1', "        ", "16062009", 33},
        // Entry after today (21): no comparison of exit and entry.
        ExitDateRow{'1', "16062009", "01062009", 0},
        ExitDateRow{'1', "30022009", "01012009", 0},
        ExitDateRow{'1', "02031990", "01011990", 0},
        ExitDateRow{'1', "02032009", "01032009", 32},
        ExitDateRow{'1', "02032009", "02032009", 0},
        ExitDateRow{'1', "02032009", "16062009", 33},
        ExitDateRow{'1', "02032009", "15062009", 0},
        ExitDateRow{'1', "02032009", "        ", 0},
        ExitDateRow{'1', "02032009", " 1042009", 0},
        ExitDateRow{'1', "02032009", "      09", 29},
        ExitDateRow{'1', "02032009", "0104200A", 30},
        ExitDateRow{'1', "02032009", "29022009", 31}));

struct WeekRow {
  char kind;
  std::string week_no;
  std::string entry_date;
  int16_t entry_date_error;
  std::string exit_date;
  int16_t exit_date_error;
  int16_t expected;
};

class WeekNoTest : public ::testing::TestWithParam<WeekRow> {};

TEST_P(WeekNoTest, ComparesWithCorrectDatesOnly) {
  const WeekRow& row = GetParam();
  SummaryState state = StateWith({{lf::kStayKind, std::string(1, row.kind)},
                                  {lf::kWeekNo, row.week_no},
                                  {lf::kEntryDate, row.entry_date},
                                  {lf::kExitDate, row.exit_date}});
  EXPECT_EQ(CheckWeekNo(state, row.entry_date_error, row.exit_date_error), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Weeks, WeekNoTest,
    ::testing::Values(
        // 7 January 2008 lies in week 2 of 2008.
        WeekRow{'1', "012008", "07012008", 0, "        ", 0, 45},
        WeekRow{'5', "012008", "07012008", 0, "        ", 0, 45},
        WeekRow{'1', "012008", "07012008", 20, "        ", 0, 0},
        WeekRow{'3', "012008", "07012008", 0, "        ", 0, 0},
        WeekRow{'1', "012008", "        ", 0, "        ", 0, 0},
        WeekRow{'1', "022008", "07012008", 0, "        ", 0, 0},
        // Exit on Friday 11 January 2008, week 2.
        WeekRow{'1', "032008", "07012008", 0, "11012008", 0, 46},
        WeekRow{'1', "032008", "07012008", 0, "11012008", 33, 0},
        WeekRow{'1', "022008", "07012008", 0, "11012008", 0, 0},
        // The week text is read without a mask: '1 2008' is week 1 of 2008.
        WeekRow{'1', "1 2008", "31122007", 0, "        ", 0, 0},
        WeekRow{'1', "1 2008", "07012008", 0, "        ", 0, 45},
        // 29 December 2008 lies in week 1 of 2009.
        WeekRow{'1', "532008", "29122008", 0, "        ", 0, 45},
        WeekRow{'1', "542008", "07012008", 0, "        ", 0, 42},
        WeekRow{'1', "002008", "07012008", 0, "        ", 0, 42},
        WeekRow{'1', "012100", "07012008", 0, "        ", 0, 43},
        WeekRow{'1', "011989", "07012008", 0, "        ", 0, 44},
        WeekRow{'1', "011990", "        ", 0, "        ", 0, 0}));

TEST(BirthDateTest, WeekWithoutMondayMakesEveryBirthLieAfterIt) {
  // '1 2008' passes the week check but gives no Monday.
  for (const char* birth : {"15031950", "01011900", "01010001"}) {
    SummaryState state = StateWith({{lf::kWeekNo, "1 2008"}, {lf::kBirthDate, birth}});
    ASSERT_EQ(std::string(DateView(state.WeekStart)), "        ");
    EXPECT_EQ(CheckBirthDate(state), 13) << birth;
  }
}

TEST(BirthDateTest, BlankWeekStartReadsAsADayNumber) {
  // The blank Monday is day -679016; a birth in year 0 lies before it, by
  // less than 120 years.
  for (const char* birth : {"01010000", "30110000"}) {
    SummaryState state = StateWith({{lf::kWeekNo, "1 2008"}, {lf::kBirthDate, birth}});
    EXPECT_EQ(CheckBirthDate(state), 0) << birth;
  }
}

TEST(BirthDateTest, FormIsJudgedBeforeTheWeek) {
  SummaryState state = StateWith({{lf::kWeekNo, "542009"}, {lf::kBirthDate, "31041950"}});
  EXPECT_EQ(CheckBirthDate(state), 12);
}

TEST(BirthDateTest, YearZeroIsTooOld) {
  SummaryState state = StateWith({{lf::kBirthDate, "01010000"}});
  EXPECT_EQ(CheckBirthDate(state), 14);
}

TEST(RefDateTest, ReadsTheWeekEvenWhenItFailedItsCheck) {
  // Week 0 of 2009 reads as 200900, before week 2 of 2009.
  SummaryState state = StateWith({{lf::kWeekNo, "002009"}, {lf::kRefDate, "05012009"}});
  EXPECT_EQ(CheckRefDate(state), 49);
  state = StateWith({{lf::kWeekNo, "542009"}, {lf::kRefDate, "01012010"}});
  EXPECT_EQ(CheckRefDate(state), 0);
}

}  // namespace
}  // namespace grulo
