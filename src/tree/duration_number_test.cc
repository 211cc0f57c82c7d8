// The duration tests of the tree with a duration number that names no
// duration (0, or above 12): the duration reads 0, so only a threshold of 0
// is reached.

#include <gtest/gtest.h>

#include <cstdint>

#include "record/summary_layout.h"
#include "tree/node_tests.h"
#include "tree/tree_walk.h"

namespace grulo {
namespace {

TEST(DurationNumberTest, ANumberThatNamesNoDurationReadsZero) {
  constexpr uint8_t kDurationAtLeast = 10;
  constexpr uint8_t kDailyDurationAtLeast = 13;
  SummaryState state;
  state.Record.bytes.fill(' ');
  // Every duration at 9999 minutes: any real duration reaches any threshold.
  for (int j = 0; j < kDurationCount; ++j) {
    for (int i = 0; i < kDurationLength; ++i) {
      state.Record.bytes[static_cast<size_t>(wr_field::kDurations.offset + 4 * j + i)] = '9';
    }
  }
  state.PresenceCount = 1;
  const struct {
    uint8_t opcode;
    uint8_t number;
    uint8_t threshold;
    int16_t want;
  } kCases[] = {
      {kDurationAtLeast, 1, 100, 1},       {kDurationAtLeast, 0, 1, 0},
      {kDurationAtLeast, 0, 0, 1},         {kDurationAtLeast, 13, 1, 0},
      {kDailyDurationAtLeast, 0, 1, 0},    {kDailyDurationAtLeast, 0, 0, 1},
      {kDailyDurationAtLeast, 255, 1, 0},  {kDailyDurationAtLeast, 12, 255, 1},
  };
  for (const auto& c : kCases) {
    TreeNode node;
    node.Opcode = c.opcode;
    node.Param1 = c.number;
    node.Param2 = c.threshold;
    EXPECT_EQ(kNodeTestTable[c.opcode](state, node), c.want)
        << int{c.opcode} << " " << int{c.number} << " " << int{c.threshold};
  }
}

}  // namespace
}  // namespace grulo
