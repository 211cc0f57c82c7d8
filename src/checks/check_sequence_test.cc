#include "checks/check_sequence.h"

#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "checks/error_catalogue.h"
#include "checks/summary_testutil.h"

namespace grulo {
namespace {

using testing::ActField;
using testing::DiagField;
using testing::DurationField;
using testing::ErrorsOf;
using testing::kTestToday;
using testing::PrepareState;
using testing::ValidSummaryLine;

// A change of what the diagnosis lookup stored for a slot.
struct SlotEdit {
  int slot;
  std::vector<uint8_t> attr;  // the block from its category on; empty: unchanged
  int position_bits = -1;     // -1: unchanged
};

struct Row {
  std::string name;
  testing::FieldEdits edits;
  std::vector<int16_t> expected;
  std::vector<SlotEdit> slots = {};
  int unknown_act = -1;  // act slot whose lookup found nothing
  int act_count = 2;
};

void PrintTo(const Row& row, std::ostream* os) { *os << row.name; }

namespace lf = line_field;

// Each row starts from the valid summary, changes what it names and gives
// the whole error list in the order it must come out.
std::vector<Row> OneChangeRows() {
  return {
      {.name = "ValidSummaryHasNoError", .edits = {}, .expected = {}},
      {"EstablishmentNoWithC", {{lf::kEstablishmentNo, "2C1234567"}}, {1}},
      {"EstablishmentNoLowerB", {{lf::kEstablishmentNo, "2b1234567"}}, {}},
      {"StayNoBlank", {{lf::kStayNo, "       "}}, {2}},
      {"StayNoTrailingBlank", {{lf::kStayNo, "123456 "}}, {3}},
      {"StayNoLeadingBlanks", {{lf::kStayNo, "   1234"}}, {}},
      {"StayKindLetter", {{lf::kStayKind, "A"}}, {8}},
      {"StayKindNine", {{lf::kStayKind, "9"}}, {9}},
      {"StayKindZero", {{lf::kStayKind, "0"}}, {9}},
      {"BirthDateBlank", {{lf::kBirthDate, "        "}}, {10}},
      {"BirthDateTooShort", {{lf::kBirthDate, "  031950"}}, {11}},
      {"BirthDateLeadingBlank", {{lf::kBirthDate, " 5031950"}}, {}},
      {"BirthDateImpossible", {{lf::kBirthDate, "29021950"}}, {12}},
      {"BirthOnMondayAfterWeek", {{lf::kBirthDate, "16032009"}}, {13}},
      {"BirthOnSundayOfWeek", {{lf::kBirthDate, "15032009"}}, {}},
      {"Birth44165DaysBeforeWeek", {{lf::kBirthDate, "07041888"}}, {14}},
      {"Birth44164DaysBeforeWeek", {{lf::kBirthDate, "08041888"}}, {}},
      {"SexLetter", {{lf::kSex, "M"}}, {15}},
      {"SexThree", {{lf::kSex, "3"}}, {16}},
      {"UnitNoBlank", {{lf::kUnitNo, "    "}}, {17}},
      {"UnitNoNotDigits", {{lf::kUnitNo, " B 2"}}, {}},
      {"EntryDateInnerBlank", {{lf::kEntryDate, "0203 009"}}, {19}},
      {"EntryDateImpossible", {{lf::kEntryDate, "30022009"}}, {20}},
      // Exit before entry and week before entry are not judged then.
      {"EntryDateAfterToday", {{lf::kEntryDate, "16062009"}}, {21}},
      {"EntryYear1990", {{lf::kEntryDate, "02031990"}}, {22}},
      {"EntryYear1991", {{lf::kEntryDate, "01011991"}}, {}},
      {"EntryYear990", {{lf::kEntryDate, "01010990"}}, {22}},
      {"EntryModeLetter", {{lf::kEntryMode, "A"}}, {23}},
      {"EntryModeFive", {{lf::kEntryMode, "5"}}, {24}},
      {"ProvenanceBlankAfterMode6", {{lf::kProvenance, " "}}, {25}},
      {"ProvenanceFiveAfterMode6", {{lf::kProvenance, "5"}}, {26}},
      {"ProvenanceEightAfterMode9", {{lf::kEntryMode, "9"}, {lf::kProvenance, "8"}}, {24, 27}},
      {"ExitDateTooShort", {{lf::kExitDate, "  032009"}}, {29}},
      {"ExitDateInnerBlank", {{lf::kExitDate, "2003 009"}}, {30}},
      {"ExitDateImpossible", {{lf::kExitDate, "32032009"}}, {31}},
      // The week after the week of exit is not judged then.
      {"ExitBeforeEntry", {{lf::kExitDate, "01032009"}}, {32}},
      {"ExitAfterToday", {{lf::kExitDate, "16062009"}}, {33}},
      {"ExitModeBlankWithExitDate", {{lf::kExitMode, " "}}, {34}},
      {"ExitModeLetter", {{lf::kExitMode, "A"}}, {35}},
      {"ExitModeFive", {{lf::kExitMode, "5"}}, {36}},
      {"DestinationBlankAfterMode7", {{lf::kDestination, " "}}, {37}},
      {"DestinationFiveAfterMode7", {{lf::kDestination, "5"}}, {38}},
      {"DestinationThreeAfterMode8", {{lf::kExitMode, "8"}, {lf::kDestination, "3"}}, {39}},
      {"PostCodeBlank", {{lf::kPostCode, "     "}}, {40}},
      {"PostCodeTrailingBlank", {{lf::kPostCode, "7501 "}}, {41}},
      // A week that gives no Monday makes every birth date lie after it.
      {"Week54", {{lf::kWeekNo, "542009"}}, {13, 42}},
      {"Week00", {{lf::kWeekNo, "002009"}}, {13, 42, 49}},
      {"WeekOfNextYear", {{lf::kWeekNo, "112010"}}, {43}},
      {"WeekOf1989", {{lf::kWeekNo, "111989"}}, {13, 44, 49}},
      {"WeekBeforeEntryWeek", {{lf::kWeekNo, "092009"}}, {45}},
      {"WeekAfterExitWeek", {{lf::kWeekNo, "132009"}}, {46}},
      {"NoPresenceDay", {{lf::kPresenceDays, "0000000"}}, {47}},
      {"PresenceFlagTwoAfterADay", {{lf::kPresenceDays, "0010002"}}, {47}},
      {"OnePresenceAmongBlanks", {{lf::kPresenceDays, "  1    "}}, {}},
      {"RefDateImpossible", {{lf::kRefDate, "31022008"}}, {48}},
      {"RefDateAfterWeek", {{lf::kRefDate, "16032009"}}, {49}},
      {"RefDateBlank", {{lf::kRefDate, "        "}}, {}},
      {"RefDateWithBlanksInside", {{lf::kRefDate, "1 1 2009"}}, {}},
      // The layout is never checked: 1 January of year 0.
      {"RefDateWithLettersForYear", {{lf::kRefDate, "0101ABCD"}}, {}},
      {"Diag0Blank", {{DiagField(0), "      "}}, {50}},
      {"Diag0NotInTable", {}, {50}, {{0, {0}}}},
      {"Diag0NotZ", {{DiagField(0), "A00   "}}, {51}},
      {"Diag0FirstPair", {}, {51}, {{0, {99, 38, 210}}}},
      {"Diag0SecondPair", {}, {52}, {{0, {99, 0, 0, 38, 212}}}},
      {"Diag0NotAllowedFirst", {}, {53}, {{0, {}, 0x3F}}},
      {"Diag0AllowedByBit6", {}, {}, {{0, {}, 0x40}}},
      {"Diag1Blank", {{DiagField(1), "      "}}, {54}},
      {"Diag1LetterV", {{DiagField(1), "V101  "}}, {55}},
      {"Diag1ZAfterPlaceholder", {{DiagField(0), "ZAIGU "}, {DiagField(1), "Z51   "}}, {56}},
      {"Diag1EqualsDiag0", {{DiagField(1), "Z501  "}}, {57}},
      {"Diag1Malformed", {{DiagField(1), "I1    "}}, {58}},
      {"Diag1FirstPair", {}, {59}, {{1, {99, 38, 210}}}},
      {"Diag1SecondPair", {}, {60}, {{1, {99, 38, 212}}}},
      {"Diag1NotAllowedSecond", {}, {61}, {{1, {}, 0xCF}}},
      {"Diag2LetterR", {{DiagField(2), "R10   "}}, {63}},
      {"Diag2EqualsDiag1", {{DiagField(2), "I10   "}}, {64}},
      {"Diag2EqualsNonZDiag0", {{DiagField(0), "A00   "}, {DiagField(2), "A00   "}}, {51, 64}},
      {"Diag2EqualsZDiag0GetsLetterError", {{DiagField(2), "Z501  "}}, {63}},
      {"Diag2Malformed", {{DiagField(2), "E1 9  "}}, {65}},
      {"Diag2FirstPair", {}, {66}, {{2, {99, 38, 210}}}},
      {"Diag2SecondPair", {}, {67}, {{2, {99, 38, 212}}}},
      {"Diag2NotAllowedThird", {}, {68}, {{2, {}, 0xF3}}},
      {"Diag2Blank", {{DiagField(2), "      "}}, {}},
      {"AssociatedLastSlotNotInTable", {{DiagField(22), "A01   "}}, {70}, {{22, {0}}}},
      {"AssociatedFirstPair", {}, {71}, {{4, {99, 38, 210}}}},
      {"AssociatedSecondPair", {}, {72}, {{4, {99, 38, 212}}}},
      {"AssociatedNotAllowed", {}, {73}, {{3, {}, 0xFC}}},
      {"AssociatedLetterZ", {{DiagField(5), "Z99   "}}, {}},
      {"ActCountBlank", {{lf::kActCount, "  "}}, {74}},
      {"ActCountTrailingBlank", {{lf::kActCount, "2 "}}, {75}},
      {.name = "ElevenActs", .edits = {}, .expected = {76}, .act_count = 11},
      {"ScoresFiveAndSix", {{lf::kScores, "123456"}}, {77, 77}},
      {"IndicatorThree", {{lf::kIndicator, "3"}}, {78}},
      {"DurationBlank", {{DurationField(1), "    "}}, {79}},
      {"DurationLetter", {{DurationField(12), "12A "}}, {80}},
      {"ActMalformed", {{ActField(1), "ABC12345"}}, {81}},
      {.name = "ActNotInTable", .edits = {}, .expected = {82}, .unknown_act = 0},
  };
}

// Runs the whole validation on the date the clock gives, as the pipeline
// does; checks what it leaves in the group result.
std::vector<int16_t> Validate(SummaryState& state, Clock& clock, int16_t* first = nullptr) {
  DateText today{};
  TodayDate(clock, &today);
  SetToday(&state, today);
  ErrorList list;
  GroupResult result{-1, -1, -1};
  int16_t returned = ValidateSummary(state, &list, &result);
  EXPECT_EQ(result.GroupReturn, returned);
  EXPECT_EQ(result.GroupCategory, 90);
  EXPECT_EQ(result.GroupNumber, 900);
  if (first != nullptr) *first = returned;
  return ErrorsOf(list);
}

// The first blocking number of a list, 0 when there is none.
int16_t FirstBlocking(const std::vector<int16_t>& numbers) {
  for (int16_t number : numbers) {
    if (!IsNonBlocking(number)) return number;
  }
  return 0;
}

std::vector<int16_t> RunRow(const Row& row) {
  SummaryState state = testing::PreparedState(row.edits, row.act_count);
  for (const SlotEdit& edit : row.slots) {
    testing::SetDiagLookup(&state, edit.slot, edit.attr, edit.position_bits);
  }
  if (row.unknown_act >= 0) state.ActClass[row.unknown_act] = 0;
  FixedClock clock(kTestToday);
  int16_t first = -1;
  std::vector<int16_t> errors = Validate(state, clock, &first);
  EXPECT_EQ(first, FirstBlocking(row.expected));
  return errors;
}

class OneChangeTest : public ::testing::TestWithParam<Row> {};

TEST_P(OneChangeTest, GivesExactlyTheListedErrors) {
  EXPECT_EQ(RunRow(GetParam()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Summary, OneChangeTest, ::testing::ValuesIn(OneChangeRows()),
                         [](const ::testing::TestParamInfo<Row>& info) {
                           return info.param.name;
                         });

TEST(OneChangeRowsTest, CoverEveryProducibleNumber) {
  std::set<int16_t> seen, producible;
  for (const Row& row : OneChangeRows()) seen.insert(row.expected.begin(), row.expected.end());
  for (const ErrorInfo& info : ErrorCatalogue()) {
    if (info.produced) producible.insert(ToNumber(info.number));
  }
  EXPECT_EQ(seen, producible);
}

TEST(RunFieldChecksTest, ErrorsComeInSequenceOrderNotNumberOrder) {
  Row row{"",
          {{lf::kEstablishmentNo, "         "}, {lf::kUnitNo, "    "},
           {lf::kPresenceDays, "       "}, {lf::kActCount, "  "}, {DurationField(2), "    "},
           {lf::kIndicator, "0"}, {lf::kScores, "512341"}, {lf::kEntryDate, "02031985"},
           {lf::kBirthDate, "01012010"}},
          {1, 22, 13, 47, 17, 77, 78, 79, 74}};
  EXPECT_EQ(RunRow(row), row.expected);
}

TEST(RunFieldChecksTest, EveryStepRunsWhateverTheEarlierOnesFound) {
  std::string line(kSummaryBaseLength, ' ');
  SummaryState state;
  PrepareState(line, &state);
  ErrorList list;
  RunFieldChecks(state, &list);
  // Blank everywhere: kind blank, so entry and exit fields may be missing.
  std::vector<int16_t> expected = {1, 2, 8, 10, 15, 40, 42, 47, 17, 50, 54,
                                   77, 77, 77, 77, 77, 77, 78};
  for (int j = 0; j < kDurationCount; ++j) expected.push_back(79);
  expected.push_back(74);
  EXPECT_EQ(ErrorsOf(list), expected);
}

// The date checks judge against the Today of the state, which the pipeline
// reads from the clock anew for every summary.
TEST(ValidateSummaryTest, JudgesAgainstTheTodayOfTheState) {
  const struct {
    const char* name;
    testing::FieldEdits edits;
    CivilDate before, after;  // the day before and at midnight
    std::vector<int16_t> errors_before;
  } cases[] = {
      // Entry on 16 June 2009: after today until the clock passes midnight.
      {"entry after today",
       {{lf::kEntryDate, "16062009"}, {lf::kExitDate, "        "}, {lf::kExitMode, " "},
        {lf::kDestination, " "}, {lf::kWeekNo, "252009"}},
       {2009, 6, 15}, {2009, 6, 16}, {21}},
      {"week of next year", {{lf::kWeekNo, "012010"}, {lf::kStayKind, "3"}}, {2009, 12, 31},
       {2010, 1, 1}, {43}},
  };
  for (const auto& c : cases) {
    SummaryState state = testing::PreparedState(c.edits);
    FixedClock clock(c.before);
    EXPECT_EQ(Validate(state, clock), c.errors_before) << c.name;
    clock.Set(c.after);
    EXPECT_EQ(Validate(state, clock), std::vector<int16_t>{}) << c.name;
  }
}

// Records what the check sequence tells an observer.
struct CheckRecorder final : CheckObserver {
  std::vector<std::pair<int16_t, int>> seen;  // number, field index
  void OnError(ErrorNumber number, int index) override {
    seen.emplace_back(ToNumber(number), index);
  }
};

TEST(CheckObserverTest, IsToldEveryErrorOfTheListInListOrder) {
  for (const Row& row : OneChangeRows()) {
    SummaryState state = testing::PreparedState(row.edits, row.act_count);
    for (const SlotEdit& edit : row.slots) {
      testing::SetDiagLookup(&state, edit.slot, edit.attr, edit.position_bits);
    }
    if (row.unknown_act >= 0) state.ActClass[row.unknown_act] = 0;
    ErrorList plain, observed;
    GroupResult plain_result, observed_result;
    CheckRecorder recorder;
    ValidateSummary(state, &plain, &plain_result);
    ValidateSummary(state, &observed, &observed_result, recorder);
    EXPECT_EQ(ErrorsOf(observed), ErrorsOf(plain)) << row.name;
    EXPECT_EQ(observed_result.GroupReturn, plain_result.GroupReturn) << row.name;
    std::vector<int16_t> told;
    for (const auto& [number, index] : recorder.seen) told.push_back(number);
    EXPECT_EQ(told, ErrorsOf(plain)) << row.name;
  }
}

TEST(CheckObserverTest, NamesThePlaceOfTheFieldInItsRun) {
  SummaryState state = testing::PreparedState({{lf::kUnitNo, "    "},
                                               {DiagField(7), "1234  "},
                                               {lf::kScores, "512345"},
                                               {DurationField(3), "    "},
                                               {ActField(1), "ABC12345"}});
  ErrorList list;
  CheckRecorder recorder;
  RunFieldChecks(state, &list, recorder);
  const std::vector<std::pair<int16_t, int>> expected = {
      {17, 0}, {70, 4}, {77, kWholeRun}, {77, kWholeRun}, {79, 2}, {81, 1}};
  EXPECT_EQ(recorder.seen, expected);
  // The index points at the field the catalogue names for the number.
  EXPECT_EQ(FindErrorInfo(int16_t{70})->field.At(4).offset, DiagField(7).offset);
  EXPECT_EQ(FindErrorInfo(int16_t{79})->field.At(2).offset, DurationField(3).offset);
  EXPECT_EQ(FindErrorInfo(int16_t{81})->field.At(1).offset, ActField(1).offset);
}

}  // namespace
}  // namespace grulo
