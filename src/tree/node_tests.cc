#include "tree/node_tests.h"

#include <string_view>

#include "record/field_mask.h"
#include "record/summary_layout.h"
#include "text/number_text.h"

namespace grulo {
namespace {

// Durations that the "other" and "first" tests look at: 1 to 8.
constexpr int kScannedDurations = 8;
constexpr int kMinutesPerHour = 60;

int32_t Threshold(const TreeNode& node) {
  return int32_t{node.Param1} * 256 + int32_t{node.Param2};
}

// Duration number j (1 to 12), read afresh from its 4 characters; 0 for a
// number that names no duration.
int32_t DurationValue(const SummaryState& state, int j) {
  if (j < 1 || j > kDurationCount) return 0;
  return ParseCount(state.Record.Duration(j));
}

bool DurationReaches(const SummaryState& state, int j, const TreeNode& node) {
  return DurationValue(state, j) >= kMinutesPerHour * int32_t{node.Param2};
}

// A day without presence gives no daily duration: the test answers no.
bool DailyDurationReaches(const SummaryState& state, int j, const TreeNode& node) {
  if (state.PresenceCount == 0) return false;
  int32_t per_day = DurationValue(state, j) / int32_t{state.PresenceCount};
  return per_day >= int32_t{node.Param2};
}

using DurationRule = bool (*)(const SummaryState&, int, const TreeNode&);

int16_t AnyOtherDuration(const SummaryState& state, const TreeNode& node, DurationRule reaches) {
  for (int j = 1; j <= kScannedDurations; ++j) {
    if (j != node.Param1 && reaches(state, j, node)) return 1;
  }
  return 0;
}

int16_t FirstMaskedDuration(const SummaryState& state, const TreeNode& node, DurationRule reaches) {
  for (int j = 1; j <= kScannedDurations; ++j) {
    if ((node.Param1 & (1u << (j - 1))) != 0 && reaches(state, j, node)) {
      return static_cast<int16_t>(j);
    }
  }
  return 0;
}

uint8_t ByteOf(uint16_t param) { return static_cast<uint8_t>(param); }

constexpr uint8_t kNoCategory = 0;
constexpr uint8_t kUnusedCategory = 99;

}  // namespace

int16_t AgeBelow(const SummaryState& state, const TreeNode& node) {
  return int32_t{state.AgeInYears} < Threshold(node) ? 1 : 0;
}

int16_t FirstCategoryBranch(const SummaryState& state, const TreeNode&) {
  uint8_t c0 = state.DiagCategory(0);
  uint8_t c1 = state.DiagCategory(1);
  uint8_t c2 = state.DiagCategory(2);
  uint8_t category;
  if (c0 != kNoCategory && c0 != kUnusedCategory) {
    category = c0;
  } else if (c1 != kNoCategory && c1 != kUnusedCategory) {
    category = c1;
  } else if (c2 != kNoCategory) {
    category = c2;
  } else {
    category = kUnusedCategory;
  }
  return state.CategoryBranch[category];
}

int16_t FirstDiagBlankPair(const SummaryState& state, const TreeNode& node) {
  std::string_view first = state.Record.Diag(0);
  if (first != "      " && first != "ZAIGU ") return 0;
  return SlotHasPair(state, 1, ByteOf(node.Param1), ByteOf(node.Param2)) ? 1 : 0;
}

int16_t ActClassPresent(const SummaryState& state, const TreeNode& node) {
  const int32_t k = Threshold(node);
  const int count = state.ActSlotCount < kMaxActSlots ? state.ActSlotCount : kMaxActSlots;
  for (int slot = 0; slot < count; ++slot) {
    if (int32_t{state.ActClass[slot]} == k) return 1;
  }
  return 0;
}

int16_t BranchZero(const SummaryState&, const TreeNode&) { return 0; }

int16_t PairInAnyDiag(const SummaryState& state, const TreeNode& node) {
  for (int slot = 0; slot < kDiagSlotCount; ++slot) {
    if (SlotHasPair(state, slot, ByteOf(node.Param1), ByteOf(node.Param2))) return 1;
  }
  return 0;
}

int16_t ScoreSumAtMost(const SummaryState& state, const TreeNode& node) {
  return int32_t{state.ScoreSum} <= Threshold(node) ? 1 : 0;
}

int16_t IndicatorIsOne(const SummaryState& state, const TreeNode&) {
  return state.Record.Field(wr_field::kIndicator)[0] == '1' ? 1 : 0;
}

int16_t RefDelayWithin(const SummaryState& state, const TreeNode& node) {
  const int16_t limit = static_cast<int16_t>(node.Param1);
  return (state.RefDelay >= 0 && state.RefDelay <= limit) ? 1 : 0;
}

int16_t DurationAtLeast(const SummaryState& state, const TreeNode& node) {
  return DurationReaches(state, node.Param1, node) ? 1 : 0;
}

int16_t OtherDurationAtLeast(const SummaryState& state, const TreeNode& node) {
  return AnyOtherDuration(state, node, DurationReaches);
}

int16_t DailyDurationAtLeast(const SummaryState& state, const TreeNode& node) {
  return DailyDurationReaches(state, node.Param1, node) ? 1 : 0;
}

int16_t OtherDailyDurationAtLeast(const SummaryState& state, const TreeNode& node) {
  return AnyOtherDuration(state, node, DailyDurationReaches);
}

int16_t FirstDurationAtLeast(const SummaryState& state, const TreeNode& node) {
  return FirstMaskedDuration(state, node, DurationReaches);
}

int16_t FirstDailyDurationAtLeast(const SummaryState& state, const TreeNode& node) {
  return FirstMaskedDuration(state, node, DailyDurationReaches);
}

int16_t PresenceBelow(const SummaryState& state, const TreeNode& node) {
  return state.PresenceCount < static_cast<int16_t>(node.Param1) ? 1 : 0;
}

int16_t PairInTwoDiags(const SummaryState& state, const TreeNode& node) {
  int matching_slots = 0;
  for (int slot = 0; slot < kDiagSlotCount; ++slot) {
    if (SlotHasPair(state, slot, ByteOf(node.Param1), ByteOf(node.Param2)) &&
        ++matching_slots == 2) {
      return 1;
    }
  }
  return 0;
}

int16_t Jump(const SummaryState&, const TreeNode& node) {
  // K wraps into the signed 16-bit range: 32768 and above read negative.
  return static_cast<int16_t>(static_cast<uint16_t>(Threshold(node)));
}

}  // namespace grulo
