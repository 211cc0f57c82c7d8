#include "tree/node_test_words.h"

#include <string>

#include "gtest/gtest.h"
#include "record/summary_layout.h"

namespace grulo {
namespace {

constexpr int16_t kAttrLength = 5;

SummaryState BlankState() {
  SummaryState state;
  state.Record.bytes.fill(' ');
  state.DiagAttrLength = kAttrLength;
  state.PresenceCount = 4;
  return state;
}

void SetDuration(SummaryState* state, int j, const char text[5]) {
  for (int i = 0; i < kDurationLength; ++i) {
    state->Record.bytes[wr_field::kDurations.offset + kDurationLength * (j - 1) + i] = text[i];
  }
}

std::string Question(int opcode, uint16_t param1, uint16_t param2) {
  return kNodeTestWords[opcode].question(
      TreeNode{static_cast<uint16_t>(opcode), param1, param2, 1, 0});
}
std::string LookedAt(int opcode, const SummaryState& state, uint16_t param1, uint16_t param2) {
  return kNodeTestWords[opcode].looked_at(
      state, TreeNode{static_cast<uint16_t>(opcode), param1, param2, 1, 0});
}

// Every opcode of the catalogue has its function and its words: the answer
// lies within the branches the catalogue gives, the tests named alike share
// one function, and the twenty tests end at the jump.
TEST(NodeTestWordsTest, EveryTestOfTheCatalogueRunsAndIsWorded) {
  const SummaryState state = BlankState();
  for (int opcode = 0; opcode < kNodeTestCount; ++opcode) {
    const NodeTestInfo& info = kNodeTests[static_cast<size_t>(opcode)];
    for (uint16_t param : {0, 1, 255}) {
      const TreeNode node{static_cast<uint16_t>(opcode), param, param, 1, 0};
      const int16_t branch = kNodeTestTable[static_cast<size_t>(opcode)](state, node);
      if (info.max_branch >= 0) {
        EXPECT_GE(branch, 0) << info.name;
        EXPECT_LE(branch, info.max_branch) << info.name;
      }
      EXPECT_FALSE(FindNodeTestWords(opcode)->question(node).empty()) << info.name;
    }
    EXPECT_EQ(kNodeTestTable[static_cast<size_t>(opcode)] == kNodeTestTable[4],
              info.name == "BranchZero")
        << opcode;
  }
  EXPECT_EQ(kNodeTests[16].name, "FirstDailyDurationAtLeast");
  EXPECT_EQ(FindNodeTest(19)->name, "Jump");
  EXPECT_NE(FindNodeTestWords(19), nullptr);
  EXPECT_EQ(FindNodeTestWords(20), nullptr);
  EXPECT_EQ(FindNodeTestWords(-1), nullptr);
}

TEST(NodeTestWordsTest, QuestionsWriteTheParametersOut) {
  const struct {
    int opcode;
    uint16_t p1, p2;
    const char* expected;
  } rows[] = {
      {0, 1, 2, "is the age in years below 258?"},
      {3, 0, 7, "is there an act of class 7?"},
      {5, 12, 2, "does the table entry of some diagnosis hold the pair (12, 2)?"},
      {9, 30, 99, "does the reference date lie 0 to 30 days before the Monday of the week?"},
      {10, 3, 2, "is duration 3 at least 120 (60 x 2)?"},
      {11, 0, 1, "is some duration from 1 to 8 at least 60 (60 x 1)?"},
      {11, 4, 1, "is some duration from 1 to 8 other than duration 4 at least 60 (60 x 1)?"},
      {15, 6, 2,
       "which of durations 2 and 3 is the first at least 120 (60 x 2) (its number; 0 when none "
       "is)?"},
      {15, 0x83, 1,
       "which of durations 1, 2 and 8 is the first at least 60 (60 x 1) (its number; 0 when "
       "none is)?"},
      {17, 3, 0, "are there fewer than 3 presence days?"},
      {19, 255, 255, "none: jump -1 nodes past the base node"},
      {7, 1, 1, "none: always branch 0"},
  };
  for (const auto& r : rows) EXPECT_EQ(Question(r.opcode, r.p1, r.p2), r.expected) << r.opcode;
}

TEST(NodeTestWordsTest, LookedAtGivesTheValuesTheTestRead) {
  SummaryState state = BlankState();
  state.AgeInYears = -1;
  EXPECT_EQ(LookedAt(0, state, 0, 18), "age in years unknown (-1)");
  state.AgeInYears = 67;
  EXPECT_EQ(LookedAt(0, state, 0, 18), "age in years 67");

  state.DiagAttr[0] = 11;
  state.DiagAttr[kAttrLength] = 99;
  EXPECT_EQ(LookedAt(1, state, 0, 0), "categories of diagnoses 1 to 3: 11, 99, 0");

  // The pair (12, 2) in the entries of slots 1 and 4: diagnoses 2 and 5.
  for (int slot : {1, 4}) {
    state.DiagAttr[slot * kAttrLength + 1] = 12;
    state.DiagAttr[slot * kAttrLength + 2] = 2;
  }
  EXPECT_EQ(LookedAt(18, state, 12, 2), "diagnoses whose table entry holds the pair: 2, 5");
  EXPECT_EQ(LookedAt(5, state, 12, 1), "diagnoses whose table entry holds the pair: none");

  SetDuration(&state, 3, " 150");
  EXPECT_EQ(LookedAt(10, state, 3, 2), "duration 3 = 150");
  EXPECT_EQ(LookedAt(13, state, 3, 37), "duration 3 = 150, 37 per presence day; presence days 4");
  EXPECT_EQ(LookedAt(10, state, 13, 2), "duration 13 does not exist (reads as 0)");
  EXPECT_EQ(LookedAt(15, state, 6, 1), "duration 2 = 0; duration 3 = 150");

  state.ActSlotCount = 2;
  state.ActClass[0] = 3;
  state.ActClass[1] = 7;
  EXPECT_EQ(LookedAt(3, state, 0, 7), "classes of the acts: 3, 7");
  state.ActSlotCount = 0;
  EXPECT_EQ(LookedAt(3, state, 0, 7), "no act");

  state.RefDelay = -1;
  EXPECT_NE(LookedAt(9, state, 30, 0).find("unknown"), std::string::npos);
  EXPECT_EQ(LookedAt(19, state, 1, 2), "");
}

}  // namespace
}  // namespace grulo
