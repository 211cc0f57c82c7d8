#include "tree/node_tests.h"

#include <string_view>
#include <utility>
#include <vector>

#include "gtest/gtest.h"
#include "record/summary_layout.h"

namespace grulo {
namespace {

constexpr int16_t kAttrLength = 5;  // two pairs per block, the third reaching the next block

SummaryState BlankState() {
  SummaryState state;
  state.Record.bytes.fill(' ');
  state.DiagAttrLength = kAttrLength;
  state.PresenceCount = 4;
  for (auto [category, branch] : {std::pair{11, 0}, {12, 1}, {30, 9}, {40, 10}, {99, 13}}) {
    state.CategoryBranch[category] = static_cast<int16_t>(branch);
  }
  return state;
}

void SetPair(SummaryState* state, int slot, int pair, uint8_t a, uint8_t b) {
  state->DiagAttr[slot * kAttrLength + 1 + 2 * pair] = a;
  state->DiagAttr[slot * kAttrLength + 2 + 2 * pair] = b;
}

int16_t RunNodeTest(int opcode, const SummaryState& state, uint16_t param1, uint16_t param2) {
  TreeNode node{static_cast<uint16_t>(opcode), param1, param2, 1, 0};
  return kNodeTestTable[opcode](state, node);
}

TEST(NodeTestsTest, CompareADerivedNumberWithTheParameters) {
  const struct {
    const char* what;
    int opcode;
    int16_t value;  // age, score sum, delay, presence count and indicator digit
    uint16_t p1, p2;
    int16_t expected;
  } cases[] = {
      {"unknown age below K = 0", 0, -1, 0, 0, 1},
      {"known age not below 0", 0, 40, 0, 0, 0},
      {"age equal to K", 0, 40, 0, 40, 0},
      {"K = 301", 0, 300, 1, 45, 1},
      {"K = 300", 0, 300, 1, 44, 0},
      {"score sum equal to K", 6, 10, 0, 10, 1},
      {"score sum above K", 6, 10, 0, 9, 0},
      {"score sum, K = 256", 6, 300, 1, 0, 0},
      {"delay 0 within 0", 9, 0, 0, 0, 1},
      {"delay -1 never within", 9, -1, 255, 0, 0},
      {"delay equal to Param1", 9, 5, 5, 0, 1},
      {"delay ignores Param2", 9, 5, 0, 255, 0},
      {"presence below", 17, 4, 5, 0, 1},
      {"presence equal", 17, 4, 4, 0, 0},
      {"presence ignores Param2", 17, 4, 0, 255, 0},
      {"branch zero 4", 4, 9, 255, 255, 0},
      {"branch zero 7", 7, 9, 255, 255, 0},
      {"branch zero 12", 12, 9, 255, 255, 0},
      {"indicator 1", 8, 1, 0, 0, 1},
      {"indicator 2", 8, 2, 0, 0, 0},
      {"jump 258", 19, 0, 1, 2, 258},
      {"jump wraps", 19, 0, 128, 0, -32768},
      {"jump -1", 19, 0, 255, 255, -1},
  };
  for (const auto& c : cases) {
    SummaryState state = BlankState();
    state.AgeInYears = state.ScoreSum = state.RefDelay = state.PresenceCount = c.value;
    state.Record.bytes[wr_field::kIndicator.offset] = static_cast<char>('0' + c.value);
    EXPECT_EQ(RunNodeTest(c.opcode, state, c.p1, c.p2), c.expected) << c.what;
  }
}

TEST(NodeTestsTest, FirstCategoryBranchTakesTheFirstUsableCategory) {
  const struct {
    uint8_t c0, c1, c2;
    int16_t expected;
  } cases[] = {{0, 99, 0, 13}, {99, 30, 11, 9},  {19, 30, 11, 0}, {12, 30, 40, 1},
               {0, 12, 40, 1}, {99, 99, 40, 10}, {0, 0, 99, 13},  {0, 0, 12, 1}};
  for (const auto& c : cases) {
    SummaryState state = BlankState();
    state.DiagAttr[0] = c.c0;
    state.DiagAttr[kAttrLength] = c.c1;
    state.DiagAttr[2 * kAttrLength] = c.c2;
    EXPECT_EQ(RunNodeTest(1, state, 0, 0), c.expected) << +c.c0 << "," << +c.c1 << "," << +c.c2;
  }
}

TEST(NodeTestsTest, FirstDiagBlankPairScansSlotOneForABlankFirstDiag) {
  const struct {
    std::string_view diag0;
    int pair_slot, pair;
    int16_t expected;
  } cases[] = {{"      ", 1, 1, 1}, {"ZAIGU ", 1, 0, 1}, {"ZAIGUX", 1, 0, 0}, {" ZAIGU", 1, 0, 0},
               {"A41   ", 1, 0, 0}, {"      ", 0, 1, 0}, {"      ", 2, 1, 0}};
  for (const auto& c : cases) {
    SummaryState state = BlankState();
    c.diag0.copy(state.Record.bytes.data() + wr_field::kDiagOffset, kDiagCodeLength);
    SetPair(&state, c.pair_slot, c.pair, 7, 9);
    EXPECT_EQ(RunNodeTest(2, state, 7, 9), c.expected)
        << "'" << c.diag0 << "' slot " << c.pair_slot;
  }
}

TEST(NodeTestsTest, PairTestsCountMatchingSlots) {
  const struct {
    std::vector<std::pair<int, int>> at;  // (slot, pair) holding (7, 9)
    int16_t any, two;
  } cases[] = {{{}, 0, 0},        {{{4, 0}}, 1, 0},          {{{4, 0}, {4, 1}}, 1, 0},
               {{{22, 1}}, 1, 0}, {{{0, 0}, {22, 1}}, 1, 1}, {{{4, 1}, {6, 0}}, 1, 1}};
  for (const auto& c : cases) {
    SummaryState state = BlankState();
    for (auto [slot, pair] : c.at) SetPair(&state, slot, pair, 7, 9);
    SetPair(&state, 10, 0, 9, 7);  // the reversed pair never counts
    EXPECT_EQ(RunNodeTest(5, state, 7, 9), c.any) << c.at.size();
    EXPECT_EQ(RunNodeTest(18, state, 7, 9), c.two) << c.at.size();
  }
}

TEST(NodeTestsTest, ActClassPresentLooksAtTheActsTaken) {
  const struct {
    int16_t act_count;
    uint16_t p1, p2;
    int16_t expected;
  } cases[] = {{3, 0, 5, 1}, {3, 0, 7, 1}, {3, 0, 0, 1},  {0, 0, 0, 0},
               {3, 1, 7, 0}, {2, 0, 7, 0}, {-1, 0, 5, 0}, {3, 0, 6, 0}};
  for (const auto& c : cases) {
    SummaryState state = BlankState();
    state.ActClass = {5, 0, 7, 6};  // classes of acts 0 to 3; act 3 is never taken here
    state.ActSlotCount = c.act_count;
    EXPECT_EQ(RunNodeTest(3, state, c.p1, c.p2), c.expected)
        << c.act_count << " acts, K " << c.p1 * 256 + c.p2;
  }
}

TEST(NodeTestsTest, DurationTests) {
  const struct {
    const char* what;
    int opcode;
    uint16_t p1, p2;
    int16_t presence;
    std::vector<std::pair<int, std::string_view>> durations;
    int16_t expected;
  } cases[] = {
      {"90 >= 60", 10, 1, 1, 4, {{1, "  90"}}, 1},
      {"90 < 120", 10, 1, 2, 4, {{1, "  90"}}, 0},
      {"duration 12", 10, 12, 166, 4, {{12, "9999"}}, 1},
      {"leading plus reads 0", 10, 1, 1, 4, {{1, "+600"}}, 0},
      {"Param1 13 reads 0", 10, 13, 1, 4, {{12, "9999"}}, 0},
      {"150 / 4 = 37", 13, 1, 37, 4, {{1, " 150"}}, 1},
      {"150 / 4 < 38", 13, 1, 38, 4, {{1, "150 "}}, 0},
      {"-3 / 4 truncates to 0", 13, 1, 0, 4, {{1, "  -3"}}, 1},
      {"daily, no presence", 13, 1, 0, 0, {{1, "9999"}}, 0},
      {"other: only the one left out", 11, 3, 1, 4, {{3, "  60"}}, 0},
      {"other: 9 to 12 ignored", 11, 0, 1, 4, {{9, "9999"}, {12, "9999"}}, 0},
      {"other: Param1 200 leaves none out", 11, 200, 1, 4, {{8, "  60"}}, 1},
      {"other daily: only the one left out", 14, 3, 15, 4, {{3, "  60"}}, 0},
      {"other daily: 63 / 4 < 16", 14, 1, 16, 4, {{3, "  63"}}, 0},
      {"other daily, no presence", 14, 0, 0, 0, {{3, "  60"}}, 0},
      {"first: empty mask", 15, 0, 1, 4, {{1, "9999"}}, 0},
      {"first: mask 6, both", 15, 6, 1, 4, {{2, "  60"}, {3, "  60"}}, 2},
      {"first: mask 6, third", 15, 6, 1, 4, {{1, "  60"}, {3, "  60"}}, 3},
      {"first daily: mask 6", 16, 6, 15, 4, {{1, "  60"}, {3, "  60"}}, 3},
      {"first daily, no presence", 16, 255, 0, 0, {{1, "  60"}}, 0},
  };
  for (const auto& c : cases) {
    SummaryState state = BlankState();
    state.PresenceCount = c.presence;
    state.Record.bytes[wr_field::kActCount.offset] = '9';  // right behind duration 12
    state.Record.bytes[wr_field::kActCount.offset + 1] = '9';
    for (auto [j, text] : c.durations) {
      text.copy(state.Record.bytes.data() + wr_field::kDurations.offset + 4 * (j - 1), 4);
    }
    EXPECT_EQ(RunNodeTest(c.opcode, state, c.p1, c.p2), c.expected) << c.what;
  }
}

}  // namespace
}  // namespace grulo
