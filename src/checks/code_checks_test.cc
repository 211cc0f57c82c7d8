#include "checks/code_checks.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "checks/check_sequence.h"
#include "checks/summary_testutil.h"

namespace grulo {
namespace {

using testing::PreparedState;

// The valid summary with the first four diagnosis slots replaced (an empty
// string keeps the slot), prepared as for the checks.
SummaryState StateWithDiags(const std::vector<std::string>& codes) {
  testing::FieldEdits edits;
  for (int slot = 0; slot < static_cast<int>(codes.size()); ++slot) {
    if (!codes[slot].empty()) edits.push_back({testing::DiagField(slot), codes[slot]});
  }
  return PreparedState(edits);
}

// The check of a slot: 0, 1, 2, or an associated slot.
ErrorNumber CheckSlot(const SummaryState& state, int slot) {
  return slot == 0 ? CheckDiag0(state)
       : slot == 1 ? CheckDiag1(state)
       : slot == 2 ? CheckDiag2(state)
                   : CheckAssociatedDiag(state, slot);
}

struct SlotRow {
  const char* name;
  std::vector<std::string> codes;  // slots 0 to 3; "" keeps the valid code
  int slot;                        // the slot judged
  std::vector<uint8_t> attr;       // its attribute block; empty: as prepared
  int position_bits;               // its position flags
  int16_t expected;
};

void PrintTo(const SlotRow& row, std::ostream* os) { *os << row.name; }

class DiagSlotTest : public ::testing::TestWithParam<SlotRow> {};

TEST_P(DiagSlotTest, GivesTheSlotsError) {
  const SlotRow& row = GetParam();
  SummaryState state = StateWithDiags(row.codes);
  testing::SetDiagLookup(&state, row.slot, row.attr, row.position_bits);
  EXPECT_EQ(ToNumber(CheckSlot(state, row.slot)), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, DiagSlotTest,
    ::testing::Values(
        // The placeholder in each slot.
        SlotRow{"PlaceholderFirstIgnoresTable", {"ZAIGU "}, 0, {99, 38, 210}, 0, 0},
        SlotRow{"PlaceholderFirstUnknown", {"ZAIGU "}, 0, {0}, 0, 0},
        SlotRow{"PlaceholderSecondKnown", {"", "ZAIGU "}, 1, {}, 255, 0},
        SlotRow{"PlaceholderSecondUnknown", {"", "ZAIGU "}, 1, {0}, 255, 58},
        SlotRow{"PlaceholderTwice", {"ZAIGU ", "ZAIGU "}, 1, {}, 255, 56},
        SlotRow{"PlaceholderThird", {"", "", "ZAIGU "}, 2, {}, 255, 63},
        SlotRow{"PlaceholderAssociated", {"", "", "", "ZAIGU "}, 3, {}, 255, 0},
        SlotRow{"PlaceholderAssociatedUnknown", {"", "", "", "ZAIGU "}, 3, {0}, 255, 70},
        SlotRow{"PlaceholderAssociatedPosition", {"", "", "", "ZAIGU "}, 3, {}, 0xFC, 73},
        SlotRow{"LowerPlaceholderIsMalformed", {"zaigu "}, 0, {}, 255, 50},
        // First letters are judged in upper case.
        SlotRow{"LowerZFirst", {"z501  "}, 0, {}, 255, 0},
        SlotRow{"LowerAFirst", {"a00   "}, 0, {}, 255, 51},
        SlotRow{"LowerUSecond", {"", "u50   "}, 1, {}, 255, 55},
        SlotRow{"LowerYSecond", {"", "y50   "}, 1, {}, 255, 55},
        SlotRow{"LowerZSecondAfterPlaceholder", {"ZAIGU ", "z51   "}, 1, {}, 255, 56},
        SlotRow{"LowerCopyOfFirstIsNoRepeat", {"Z501  ", "z501  "}, 1, {}, 255, 0},
        SlotRow{"LowerRThird", {"", "", "r10   "}, 2, {}, 255, 63},
        SlotRow{"QThirdPasses", {"", "", "Q10   "}, 2, {}, 255, 0},
        SlotRow{"HighByteFirstLetter", {"\xC9" "10   "}, 0, {}, 255, 50},
        // Both pairs in one block: the first pair wins.
        SlotRow{"BothPairsFirst", {}, 0, {99, 38, 212, 38, 210}, 255, 51},
        SlotRow{"BothPairsSecond", {}, 1, {99, 38, 212, 38, 210}, 255, 59},
        SlotRow{"BothPairsThird", {}, 2, {99, 38, 212, 38, 210}, 255, 66},
        SlotRow{"BothPairsAssociated", {}, 3, {99, 38, 212, 38, 210}, 255, 71},
        SlotRow{"PairsOutsideCategory99", {}, 1, {98, 38, 210}, 255, 0},
        SlotRow{"Category99WithoutPairs", {}, 2, {99, 38, 211}, 255, 0},
        SlotRow{"PairBeforePosition", {}, 3, {99, 38, 212}, 0, 72},
        // Position flags: any bit of the slot's pair, or 255.
        SlotRow{"FirstByBit7", {}, 0, {}, 0x80, 0},
        SlotRow{"SecondByBit4", {}, 1, {}, 0x10, 0},
        SlotRow{"ThirdByBit2", {}, 2, {}, 0x04, 0},
        SlotRow{"AssociatedByBit0", {}, 3, {}, 0x01, 0},
        // Form before letter, letter before table.
        SlotRow{"MalformedSecondBeforeLetter", {"", "V1    "}, 1, {}, 255, 58},
        SlotRow{"LetterSecondBeforeTable", {"", "W10   "}, 1, {0}, 255, 55},
        SlotRow{"RepeatBeforeTable", {"", "Z501  "}, 1, {0}, 255, 57},
        SlotRow{"RepeatThirdBeforeTable", {"", "", "I10   "}, 2, {0}, 255, 64},
        SlotRow{"PlusSignsInCode", {"", "", "", "A01+1 "}, 3, {}, 255, 0},
        SlotRow{"TrailingPlusSignsAreBlanks", {"", "", "", "A01+++"}, 3, {}, 255, 0},
        SlotRow{"PlusInPlaceOfADigit", {"", "", "", "A0+1  "}, 3, {}, 255, 70}),
    [](const ::testing::TestParamInfo<SlotRow>& info) { return info.param.name; });

TEST(ScoresTest, AddsOneErrorPerBadScore) {
  const std::pair<const char*, size_t> rows[] = {
      {"123412", 0}, {"123456", 2}, {"000000", 6}, {"4321 1", 1}, {"      ", 6}};
  for (const auto& [scores, count] : rows) {
    SummaryState state = PreparedState({{line_field::kScores, scores}});
    ErrorList list;
    AddError(&list, 1);
    CheckScores(state, &list);
    std::vector<int16_t> expected(1, 1);
    expected.insert(expected.end(), count, 77);
    EXPECT_EQ(testing::ErrorsOf(list), expected) << scores;
  }
}

TEST(DurationTest, MayBeJustifiedEitherWayButNotSplit) {
  const std::pair<const char*, int16_t> rows[] = {
      {"    ", 79}, {" 90 ", 0},  {"9 0 ", 80}, {"  12", 0},  {"12  ", 0},
      {"1 2 ", 80}, {"-1  ", 80}, {"0000", 0},  {"12.5", 80}, {"\xB9   ", 80},
      {"   7", 0},  {" 1 2", 80}, {"1  2", 80}, {"+123", 80}, {" -12", 80}, {"12 3", 80}};
  for (const auto& [field, expected] : rows) {
    EXPECT_EQ(ToNumber(CheckDuration(field)), expected) << field;
  }
}

// The quick pass of the usual durations agrees with the mask on every field
// of four characters drawn from blanks, digits and others, and on shorter
// and longer ones.
TEST(DurationTest, QuickPassAgreesWithTheMask) {
  const char kAlphabet[] = {' ', '0', '7', 'x', '+', '\xB9', '\0'};
  std::string field(4, ' ');
  for (char a : kAlphabet) {
    for (char b : kAlphabet) {
      for (char c : kAlphabet) {
        for (char d : kAlphabet) {
          field = {a, b, c, d};
          for (size_t length = 0; length <= 4; ++length) {
            const std::string_view piece(field.data(), length);
            ASSERT_EQ(CheckDuration(piece), code_checks_internal::CheckDurationByMask(piece))
                << "'" << piece << "'";
          }
        }
      }
    }
  }
  EXPECT_EQ(CheckDuration("00012"), code_checks_internal::CheckDurationByMask("00012"));
}

TEST(ActCountTest, RightJustifiedAndAtMostTen) {
  const std::pair<const char*, int16_t> rows[] = {
      {"11", 76}, {" 3", 0}, {"3 ", 75}, {"A1", 75}, {"10", 0}, {"  ", 74}, {" 0", 0}, {"+3", 75}};
  for (const auto& [count, expected] : rows) {
    SummaryState state = PreparedState({{line_field::kActCount, count}});
    EXPECT_EQ(ToNumber(CheckActCount(state)), expected) << count;
  }
}

TEST(ActTest, FormThenTable) {
  struct {
    const char* code;
    uint8_t act_class;
    int16_t expected;
  } rows[] = {{"        ", 0, 0},  {"ABC12345", 1, 81}, {"ABCD123 ", 1, 81},
              {"abcd1234", 1, 0},  {"ABCD1234", 0, 82}, {"ABC12345", 0, 81},
              {" BCD1234", 1, 81}, {"ABCD1234", 7, 0}};
  for (const auto& row : rows) {
    SummaryState state = PreparedState({{testing::ActField(1), row.code}});
    state.ActClass[1] = row.act_class;
    EXPECT_EQ(ToNumber(CheckAct(state, 1)), row.expected) << row.code;
  }
}

TEST(ActTest, OnlyTheActsTakenInAreChecked) {
  SummaryState state;
  testing::PrepareState(testing::ValidSummaryLine(3), &state);
  state.ActClass.fill(0);
  EXPECT_EQ(ToNumber(CheckAct(state, 2)), 82);
  EXPECT_EQ(ToNumber(CheckAct(state, 3)), 0);
  EXPECT_EQ(ToNumber(CheckAct(state, -1)), 0);

  // Whatever the count says, no more than ten act slots are read.
  testing::PrepareState(testing::ValidSummaryLine(10), &state);
  state.ActClass.fill(0);
  for (int16_t count : {int16_t{-4}, int16_t{0}, int16_t{11}, int16_t{32767}}) {
    state.ActSlotCount = count;
    ErrorList list;
    RunFieldChecks(state, &list);
    int acts = 0;
    for (int16_t number : testing::ErrorsOf(list)) acts += number == 82;
    EXPECT_EQ(acts, count > 0 ? 10 : 0) << count;
  }
}

TEST(AssociatedDiagTest, SlotsOutsideTheListGiveNothing) {
  SummaryState state = StateWithDiags({});
  for (int slot : {-1, 0, 1, 2, 23, 1000}) EXPECT_EQ(ToNumber(CheckAssociatedDiag(state, slot)), 0);
}

TEST(AssociatedDiagTest, EachSlotAddsItsOwnError) {
  testing::FieldEdits edits;
  for (int slot = 3; slot < kDiagSlotCount; ++slot) {
    edits.push_back({testing::DiagField(slot), "A1    "});
  }
  SummaryState state = PreparedState(edits);
  ErrorList list;
  RunFieldChecks(state, &list);
  EXPECT_EQ(testing::ErrorsOf(list), std::vector<int16_t>(kAssociatedDiagCount, 70));
}

}  // namespace
}  // namespace grulo
