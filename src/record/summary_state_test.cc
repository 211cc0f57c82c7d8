#include "record/summary_state.h"

#include <gtest/gtest.h>

namespace grulo {
namespace {

TEST(SlotHasPairTest, ScansPairsFromTheSecondByteOfTheBlock) {
  SummaryState state;
  state.DiagAttrLength = 5;
  // Slot 1's block: category 99, then 26 D2 at positions 1-2.
  state.DiagAttr[5] = 99;
  state.DiagAttr[6] = 0x26;
  state.DiagAttr[7] = 0xD2;
  EXPECT_TRUE(SlotHasPair(state, 1, 0x26, 0xD2));
  EXPECT_FALSE(SlotHasPair(state, 0, 0x26, 0xD2));
  EXPECT_EQ(state.DiagCategory(1), 99);
  // The category and the first attribute byte never form a pair.
  EXPECT_FALSE(SlotHasPair(state, 1, 99, 0x26));
}

TEST(SlotHasPairTest, LastPairReachesIntoTheNextBlock) {
  SummaryState state;
  state.DiagAttrLength = 5;  // pairs at block positions 1-2, 3-4, 5-6
  // Slot 3's block starts at 15; slot 2's last pair is bytes 15 and 16.
  state.DiagAttr[15] = 0x26;
  state.DiagAttr[16] = 0xD4;
  EXPECT_TRUE(SlotHasPair(state, 2, 0x26, 0xD4));
  EXPECT_FALSE(SlotHasPair(state, 3, 0x26, 0xD4));
}

TEST(SlotHasPairTest, SlotTwentyTwoReadsTheZeroBytesAfterTheBlocks) {
  SummaryState state;
  state.DiagAttrLength = 11;
  // 23 blocks of 11 bytes fill 253 bytes; slot 22's last pair is 253-254.
  EXPECT_TRUE(SlotHasPair(state, 22, 0, 0));
  state.DiagAttr[253] = 1;
  EXPECT_FALSE(SlotHasPair(state, 22, 0, 0) && state.DiagAttr[243] != 0);
  state.DiagAttrLength = 4;  // pairs at 1-2 and 3-4 only
  state.DiagAttr[88 + 1] = 7;
  state.DiagAttr[88 + 2] = 8;
  EXPECT_TRUE(SlotHasPair(state, 22, 7, 8));
}

TEST(SlotHasPairTest, EmptyBlocksCompareNothing) {
  SummaryState state;
  state.DiagAttrLength = 0;
  EXPECT_FALSE(SlotHasPair(state, 0, 0, 0));
  state.DiagAttrLength = -1;
  EXPECT_FALSE(SlotHasPair(state, 5, 0, 0));
  EXPECT_EQ(state.DiagCategory(5), 0);
}

}  // namespace
}  // namespace grulo
