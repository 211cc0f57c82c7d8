#include "summary/summary_state.h"

#include <gtest/gtest.h>

#include <random>
#include <utility>
#include <vector>

namespace grulo {
namespace {

TEST(SlotHasPairTest, ScansPairsFromTheSecondByteOfTheBlock) {
  const struct {
    const char* what;
    int16_t attr_length;
    std::vector<std::pair<int, uint8_t>> bytes;  // attribute table index, value
    int slot;
    uint8_t a, b;
    bool expected;
  } cases[] = {
      {"pair at block positions 1-2", 5, {{5, 99}, {6, 0x26}, {7, 0xD2}}, 1, 0x26, 0xD2, true},
      {"pair of another slot", 5, {{5, 99}, {6, 0x26}, {7, 0xD2}}, 0, 0x26, 0xD2, false},
      {"category and first byte", 5, {{5, 99}, {6, 0x26}, {7, 0xD2}}, 1, 99, 0x26, false},
      // Blocks of 5: pairs at 1-2, 3-4 and 5-6, the last one in the next block.
      {"last pair in the next block", 5, {{15, 0x26}, {16, 0xD4}}, 2, 0x26, 0xD4, true},
      {"next block's first pair", 5, {{15, 0x26}, {16, 0xD4}}, 3, 0x26, 0xD4, false},
      // 23 blocks of 11 fill 253 bytes; slot 22's last pair is 253-254.
      {"slot 22 past the blocks", 11, {{253, 7}, {254, 8}}, 22, 7, 8, true},
      {"slot 21 stops at its pair 11-12", 11, {{253, 7}, {254, 8}}, 21, 7, 8, false},
      {"blocks of 4: pair 3-4", 4, {{91, 7}, {92, 8}}, 22, 7, 8, true},
      {"blocks of 4: no pair 5-6", 4, {{93, 7}, {94, 8}}, 22, 7, 8, false},
      {"empty blocks", 0, {}, 0, 0, 0, false},
      {"negative length", -1, {}, 5, 0, 0, false},
  };
  for (const auto& c : cases) {
    SummaryState state;
    state.DiagAttrLength = c.attr_length;
    for (auto [at, value] : c.bytes) state.DiagAttr[at] = value;
    EXPECT_EQ(SlotHasPair(state, c.slot, c.a, c.b), c.expected) << c.what;
  }
}

// The pair scan by its rule: pair i (i = 0, 2, 4, ... below the length) at
// block + 1 + i and block + 2 + i, the scan ending at the first pair that
// would not lie wholly in the table.
bool ReferencePair(const SummaryState& state, int slot, uint8_t a, uint8_t b) {
  const int block = slot * state.DiagAttrLength;
  for (int i = 0; i < state.DiagAttrLength; i += 2) {
    const int at = block + 1 + i;
    if (at < 0 || at + 2 > kDiagAttrTableSize) return false;
    if (state.DiagAttr[at] == a && state.DiagAttr[at + 1] == b) return true;
  }
  return false;
}

TEST(SlotHasPairTest, AgreesWithTheRuleForEveryLengthAndSlot) {
  std::mt19937 random(8);
  const uint8_t bytes[] = {0x26, 0xD2, 0xD4, 99};
  for (int round = 0; round < 200; ++round) {
    SummaryState state;
    for (uint8_t& byte : state.DiagAttr) byte = bytes[random() % 4];
    for (int16_t length = -2; length <= 24; ++length) {
      state.DiagAttrLength = length;
      for (int slot = -1; slot <= kDiagSlotCount; ++slot) {
        for (uint8_t a : bytes) {
          for (uint8_t b : bytes) {
            ASSERT_EQ(SlotHasPair(state, slot, a, b), ReferencePair(state, slot, a, b))
                << "length " << length << " slot " << slot;
          }
        }
      }
    }
  }
}

TEST(SlotHasPairTest, CategoryIsTheFirstByteOfTheBlock) {
  SummaryState state;
  state.DiagAttrLength = 5;
  state.DiagAttr[5] = 99;
  EXPECT_EQ(state.DiagCategory(1), 99);
  state.DiagAttrLength = -1;
  EXPECT_EQ(state.DiagCategory(5), 0);
}

}  // namespace
}  // namespace grulo
