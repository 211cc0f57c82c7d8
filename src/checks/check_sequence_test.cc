#include "checks/check_sequence.h"

#include <algorithm>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "checks/summary_testutil.h"

namespace grulo {
namespace {

using testing::ErrorsOf;
using testing::kTestToday;
using testing::PrepareState;
using testing::SetDiagAttr;
using testing::ValidSummaryLine;

constexpr FieldRef DiagField(int slot) {
  return {line_field::kDiagOffset + line_field::kDiagStride * slot, kDiagCodeLength};
}
constexpr FieldRef DurationField(int j) {
  return {line_field::kDurations.offset + kDurationLength * (j - 1), kDurationLength};
}
constexpr FieldRef ActField(int k) {
  return {line_field::kActsOffset + kActCodeLength * k, kActCodeLength};
}

struct Edit {
  FieldRef field;
  std::string value;
};

// A change of what the diagnosis lookup stored for a slot.
struct SlotEdit {
  int slot;
  std::vector<uint8_t> attr;  // the block from its category on; empty: unchanged
  int position_bits = -1;     // -1: unchanged
};

struct Row {
  std::string name;
  std::vector<Edit> edits;
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
      {"EstablishmentNoBlank", {{lf::kEstablishmentNo, "         "}}, {1}},
      {"EstablishmentNoLowerB", {{lf::kEstablishmentNo, "2b1234567"}}, {}},
      {"StayNoBlank", {{lf::kStayNo, "       "}}, {2}},
      {"StayNoInnerBlank", {{lf::kStayNo, "12 4567"}}, {3}},
      {"StayNoTrailingBlank", {{lf::kStayNo, "123456 "}}, {3}},
      {"StayNoLeadingBlanks", {{lf::kStayNo, "   1234"}}, {}},
      {"StayKindBlank", {{lf::kStayKind, " "}}, {8}},
      {"StayKindLetter", {{lf::kStayKind, "A"}}, {8}},
      {"StayKindNine", {{lf::kStayKind, "9"}}, {9}},
      {"StayKindZero", {{lf::kStayKind, "0"}}, {9}},
      {"BirthDateBlank", {{lf::kBirthDate, "        "}}, {10}},
      {"BirthDateInnerBlank", {{lf::kBirthDate, "1503 950"}}, {11}},
      {"BirthDateTooShort", {{lf::kBirthDate, "  031950"}}, {11}},
      {"BirthDateLeadingBlank", {{lf::kBirthDate, " 5031950"}}, {}},
      {"BirthDateImpossible", {{lf::kBirthDate, "29021950"}}, {12}},
      {"BirthOnMondayAfterWeek", {{lf::kBirthDate, "16032009"}}, {13}},
      {"BirthOnSundayOfWeek", {{lf::kBirthDate, "15032009"}}, {}},
      {"Birth44165DaysBeforeWeek", {{lf::kBirthDate, "07041888"}}, {14}},
      {"Birth44164DaysBeforeWeek", {{lf::kBirthDate, "08041888"}}, {}},
      {"SexBlank", {{lf::kSex, " "}}, {15}},
      {"SexLetter", {{lf::kSex, "M"}}, {15}},
      {"SexThree", {{lf::kSex, "3"}}, {16}},
      {"UnitNoBlank", {{lf::kUnitNo, "    "}}, {17}},
      {"UnitNoNotDigits", {{lf::kUnitNo, " B 2"}}, {}},
      {"EntryDateBlankForKindOne", {{lf::kEntryDate, "        "}}, {19}},
      {"EntryDateInnerBlank", {{lf::kEntryDate, "0203 009"}}, {19}},
      {"EntryDateImpossible", {{lf::kEntryDate, "30022009"}}, {20}},
      // Exit before entry and week before entry are not judged then.
      {"EntryDateAfterToday", {{lf::kEntryDate, "16062009"}}, {21}},
      {"EntryYear1990", {{lf::kEntryDate, "02031990"}}, {22}},
      {"EntryYear1991", {{lf::kEntryDate, "01011991"}}, {}},
      {"EntryYear990", {{lf::kEntryDate, "01010990"}}, {22}},
      {"EntryModeBlankForKindOne", {{lf::kEntryMode, " "}}, {23}},
      {"EntryModeLetter", {{lf::kEntryMode, "A"}}, {23}},
      {"EntryModeFive", {{lf::kEntryMode, "5"}}, {24}},
      {"ProvenanceBlankAfterMode6", {{lf::kProvenance, " "}}, {25}},
      {"ProvenanceFiveAfterMode6", {{lf::kProvenance, "5"}}, {26}},
      {"ProvenanceOneAfterMode8", {{lf::kEntryMode, "8"}, {lf::kProvenance, "1"}}, {26}},
      {"ProvenanceWithoutModeKind3",
       {{lf::kStayKind, "3"}, {lf::kEntryMode, " "}, {lf::kProvenance, "1"}},
       {27}},
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
      {"DestinationAfterMode9", {{lf::kExitMode, "9"}, {lf::kDestination, "2"}}, {39}},
      {"DestinationWithoutExitKind3",
       {{lf::kStayKind, "3"}, {lf::kExitDate, "        "}, {lf::kExitMode, " "},
        {lf::kDestination, "2"}},
       {39}},
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
      {"PresenceFlagTwo", {{lf::kPresenceDays, "1112000"}}, {47}},
      {"PresenceFlagTwoAfterADay", {{lf::kPresenceDays, "0010002"}}, {47}},
      {"OnePresenceAmongBlanks", {{lf::kPresenceDays, "  1    "}}, {}},
      {"RefDateImpossible", {{lf::kRefDate, "31022008"}}, {48}},
      {"RefDateAfterWeek", {{lf::kRefDate, "16032009"}}, {49}},
      {"RefDateBlank", {{lf::kRefDate, "        "}}, {}},
      {"RefDateWithBlanksInside", {{lf::kRefDate, "1 1 2009"}}, {}},
      {"Diag0Blank", {{DiagField(0), "      "}}, {50}},
      {"Diag0Malformed", {{DiagField(0), "Z5    "}}, {50}},
      {"Diag0NotInTable", {}, {50}, {{0, {0}}}},
      {"Diag0NotZ", {{DiagField(0), "A00   "}}, {51}},
      {"Diag0FirstPair", {}, {51}, {{0, {99, 38, 210}}}},
      {"Diag0SecondPair", {}, {52}, {{0, {99, 0, 0, 38, 212}}}},
      {"Diag0SecondPairOutsideCategory99", {}, {}, {{0, {12, 38, 212}}}},
      {"Diag0NotAllowedFirst", {}, {53}, {{0, {}, 0x3F}}},
      {"Diag0AllowedByBit6", {}, {}, {{0, {}, 0x40}}},
      {"Diag1Blank", {{DiagField(1), "      "}}, {54}},
      {"Diag1LetterV", {{DiagField(1), "V101  "}}, {55}},
      {"Diag1LowerU", {{DiagField(1), "u50   "}}, {55}},
      {"Diag1ZAfterPlaceholder", {{DiagField(0), "ZAIGU "}, {DiagField(1), "Z51   "}}, {56}},
      {"Diag1EqualsDiag0", {{DiagField(1), "Z501  "}}, {57}},
      {"Diag1Malformed", {{DiagField(1), "I1    "}}, {58}},
      {"Diag1NotInTable", {}, {58}, {{1, {0}}}},
      {"Diag1FirstPair", {}, {59}, {{1, {99, 38, 210}}}},
      {"Diag1SecondPair", {}, {60}, {{1, {99, 38, 212}}}},
      {"Diag1NotAllowedSecond", {}, {61}, {{1, {}, 0xCF}}},
      {"Diag2LetterR", {{DiagField(2), "R10   "}}, {63}},
      {"Diag2EqualsDiag1", {{DiagField(2), "I10   "}}, {64}},
      {"Diag2EqualsNonZDiag0", {{DiagField(0), "A00   "}, {DiagField(2), "A00   "}}, {51, 64}},
      {"Diag2EqualsZDiag0GetsLetterError", {{DiagField(2), "Z501  "}}, {63}},
      {"Diag2Malformed", {{DiagField(2), "E1 9  "}}, {65}},
      {"Diag2NotInTable", {}, {65}, {{2, {0}}}},
      {"Diag2FirstPair", {}, {66}, {{2, {99, 38, 210}}}},
      {"Diag2SecondPair", {}, {67}, {{2, {99, 38, 212}}}},
      {"Diag2NotAllowedThird", {}, {68}, {{2, {}, 0xF3}}},
      {"Diag2Blank", {{DiagField(2), "      "}}, {}},
      {"AssociatedMalformed", {{DiagField(3), "J4    "}}, {70}},
      {"AssociatedLastSlotNotInTable", {{DiagField(22), "A01   "}}, {70}, {{22, {0}}}},
      {"AssociatedFirstPair", {}, {71}, {{4, {99, 38, 210}}}},
      {"AssociatedSecondPair", {}, {72}, {{4, {99, 38, 212}}}},
      {"AssociatedNotAllowed", {}, {73}, {{3, {}, 0xFC}}},
      {"AssociatedLetterZ", {{DiagField(5), "Z99   "}}, {}},
      {"ActCountBlank", {{lf::kActCount, "  "}}, {74}},
      {"ActCountTrailingBlank", {{lf::kActCount, "2 "}}, {75}},
      {"ActCountLetter", {{lf::kActCount, "A1"}}, {75}},
      {.name = "ElevenActs", .edits = {}, .expected = {76}, .act_count = 11},
      {.name = "TenActs", .edits = {}, .expected = {}, .act_count = 10},
      {"ScoresFiveAndSix", {{lf::kScores, "123456"}}, {77, 77}},
      {"ScoresAllZero", {{lf::kScores, "000000"}}, {77, 77, 77, 77, 77, 77}},
      {"IndicatorThree", {{lf::kIndicator, "3"}}, {78}},
      {"DurationBlank", {{DurationField(1), "    "}}, {79}},
      {"DurationInnerBlank", {{DurationField(3), "9 0 "}}, {80}},
      {"DurationLetter", {{DurationField(12), "12A "}}, {80}},
      {"ActMalformed", {{ActField(1), "ABC12345"}}, {81}},
      {.name = "ActNotInTable", .edits = {}, .expected = {82}, .unknown_act = 0},
      {.name = "BlankActNotLookedUp",
       .edits = {{ActField(0), "        "}},
       .expected = {},
       .unknown_act = 0},
  };
}

std::vector<int16_t> RunRow(const Row& row) {
  std::string line = ValidSummaryLine(row.act_count);
  for (const Edit& edit : row.edits) testing::SetField(&line, edit.field, edit.value);
  SummaryState state;
  PrepareState(line, &state);
  for (const SlotEdit& edit : row.slots) {
    if (!edit.attr.empty()) {
      std::copy(edit.attr.begin(), edit.attr.end(),
                state.DiagAttr.begin() + edit.slot * state.DiagAttrLength);
    }
    if (edit.position_bits >= 0) {
      state.DiagPositionBits[edit.slot] = static_cast<uint8_t>(edit.position_bits);
    }
  }
  if (row.unknown_act >= 0) state.ActClass[row.unknown_act] = 0;

  FixedClock clock(kTestToday);
  ErrorList list;
  int16_t group_return = -1, group_category = -1, group_number = -1;
  int16_t first = ValidateSummary(state, clock, &list, &group_return, &group_category,
                                  &group_number);
  std::vector<int16_t> errors = ErrorsOf(list);

  int16_t expected_first = 0;
  for (int16_t number : row.expected) {
    if (!IsNonBlocking(number)) {
      expected_first = number;
      break;
    }
  }
  EXPECT_EQ(first, expected_first);
  EXPECT_EQ(group_return, expected_first);
  EXPECT_EQ(group_category, 90);
  EXPECT_EQ(group_number, 900);
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

// The numbers that some check can produce: 1 to 82 except the reserved ones.
std::set<int16_t> ProducibleNumbers() {
  std::set<int16_t> numbers;
  for (int16_t n = 1; n <= 82; ++n) numbers.insert(n);
  for (int16_t n : {4, 5, 6, 7, 18, 28, 62, 69}) numbers.erase(n);
  return numbers;
}

TEST(OneChangeRowsTest, CoverEveryProducibleNumber) {
  std::set<int16_t> seen;
  for (const Row& row : OneChangeRows()) seen.insert(row.expected.begin(), row.expected.end());
  EXPECT_EQ(seen, ProducibleNumbers());
}

Row Combined(std::string name, std::vector<Edit> edits, std::vector<int16_t> expected) {
  return Row{std::move(name), std::move(edits), std::move(expected)};
}

TEST(RunFieldChecksTest, UnitNoComesAfterPresenceDays) {
  Row row = Combined("", {{lf::kUnitNo, "    "}, {lf::kPresenceDays, "0000000"}}, {47, 17});
  EXPECT_EQ(RunRow(row), row.expected);
}

TEST(RunFieldChecksTest, ErrorsComeInSequenceOrderNotNumberOrder) {
  Row row = Combined("",
                     {{lf::kEstablishmentNo, "         "},
                      {lf::kUnitNo, "    "},
                      {lf::kPresenceDays, "       "},
                      {lf::kActCount, "  "},
                      {DurationField(2), "    "},
                      {lf::kIndicator, "0"},
                      {lf::kScores, "512341"},
                      {lf::kEntryDate, "02031985"},
                      {lf::kBirthDate, "01012010"}},
                     {1, 22, 13, 47, 17, 77, 78, 79, 74});
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

TEST(ValidateSummaryTest, NonBlockingErrorsOnlyReturnZeroAndKeep90And900) {
  std::string line = ValidSummaryLine();
  testing::SetField(&line, lf::kUnitNo, "    ");
  testing::SetField(&line, lf::kPostCode, "ABCDE");
  SummaryState state;
  PrepareState(line, &state);
  FixedClock clock(kTestToday);
  ErrorList list;
  int16_t group_return = 5, group_category = 0, group_number = 0;
  EXPECT_EQ(ValidateSummary(state, clock, &list, &group_return, &group_category, &group_number),
            0);
  EXPECT_EQ(group_return, 0);
  EXPECT_EQ(group_category, 90);
  EXPECT_EQ(group_number, 900);
  EXPECT_EQ(ErrorsOf(list), (std::vector<int16_t>{41, 17}));
}

TEST(ValidateSummaryTest, ZeroesTheEntriesButKeepsTheCount) {
  std::string line = ValidSummaryLine();
  SummaryState state;
  PrepareState(line, &state);
  FixedClock clock(kTestToday);
  ErrorList list;
  list.entries.fill(13);
  list.ErrorCount = 2;
  int16_t group_return = 0, group_category = 0, group_number = 0;
  EXPECT_EQ(ValidateSummary(state, clock, &list, &group_return, &group_category, &group_number),
            0);
  EXPECT_EQ(list.ErrorCount, 2);
  for (int16_t entry : list.entries) EXPECT_EQ(entry, 0);
}

TEST(ValidateSummaryTest, ReadsTodayAgainForEverySummary) {
  // Entry on 16 June 2009: after today until the clock passes midnight.
  std::string line = ValidSummaryLine();
  testing::SetField(&line, lf::kEntryDate, "16062009");
  testing::SetField(&line, lf::kExitDate, "        ");
  testing::SetField(&line, lf::kExitMode, " ");
  testing::SetField(&line, lf::kDestination, " ");
  testing::SetField(&line, lf::kWeekNo, "252009");
  SummaryState state;
  PrepareState(line, &state);
  FixedClock clock(CivilDate{2009, 6, 15});
  ErrorList list;
  int16_t group_return = 0, group_category = 0, group_number = 0;

  ValidateSummary(state, clock, &list, &group_return, &group_category, &group_number);
  EXPECT_EQ(std::string(DateView(state.Today)), "15062009");
  EXPECT_EQ(ErrorsOf(list), (std::vector<int16_t>{21}));

  clock.Set(CivilDate{2009, 6, 16});
  ClearErrors(&list);
  ValidateSummary(state, clock, &list, &group_return, &group_category, &group_number);
  EXPECT_EQ(std::string(DateView(state.Today)), "16062009");
  EXPECT_EQ(ErrorsOf(list), (std::vector<int16_t>{}));
}

TEST(ValidateSummaryTest, WeekOfNextYearBlocksUntilNewYear) {
  std::string line = ValidSummaryLine();
  testing::SetField(&line, lf::kWeekNo, "012010");
  testing::SetField(&line, lf::kStayKind, "3");
  SummaryState state;
  PrepareState(line, &state);
  FixedClock clock(CivilDate{2009, 12, 31});
  ErrorList list;
  int16_t group_return = 0, group_category = 0, group_number = 0;
  EXPECT_EQ(ValidateSummary(state, clock, &list, &group_return, &group_category, &group_number),
            43);
  clock.Set(CivilDate{2010, 1, 1});
  ClearErrors(&list);
  EXPECT_EQ(ValidateSummary(state, clock, &list, &group_return, &group_category, &group_number),
            0);
}

}  // namespace
}  // namespace grulo
