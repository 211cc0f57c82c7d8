// What the checks and the node tests read about the summary in progress: the
// working record, the values derived from it, the current date and the
// results of the diagnosis and act lookups. The grouping pipeline fills one
// instance anew for every summary; the checks and node tests only read it.

#ifndef GRULO_SUMMARY_SUMMARY_STATE_H_
#define GRULO_SUMMARY_SUMMARY_STATE_H_

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

#include "calendar/calendar.h"
#include "record/summary_layout.h"
#include "record/working_record.h"

namespace grulo {

inline constexpr int kDiagAttrTableSize = 256;
inline constexpr int kActClassTableSize = 256;

struct SummaryState {
  WorkingRecord Record;

  // The current local date, read again for every summary before the checks,
  // and its day number (see SetToday).
  DateText Today{};
  int32_t TodayDay = 0;

  // Derived values.
  std::array<int16_t, 256> CategoryBranch{};  // branch number of each category
  DateText WeekStart{};     // Monday of the summary's week, or 8 blanks
  int32_t WeekStartDay = 0;  // the day number of the WeekStart text
  int16_t AgeInYears = -1;  // -1: not computed
  int16_t RefDelay = -1;    // -1, or 0 to 999 days
  int16_t PresenceCount = 0;
  int16_t ScoreSum = 0;
  int16_t ActSlotCount = 0;  // acts taken into account, at most 10
  std::array<std::array<char, kActCodeLength>, kMaxActSlots> ActSlots{};

  // Results of the diagnosis lookups: one byte of position flags per slot,
  // and the attribute blocks of the 23 slots back to back, DiagAttrLength
  // bytes each (slot k at k x DiagAttrLength), the rest of the table 0.
  std::array<uint8_t, kDiagSlotCount> DiagPositionBits{};
  std::array<uint8_t, kDiagAttrTableSize> DiagAttr{};
  int16_t DiagAttrLength = 0;  // of the diagnosis table that filled DiagAttr

  // Class of each act slot; 0 when the act was not found or not looked up.
  std::array<uint8_t, kActClassTableSize> ActClass{};

  // The category of a slot: the first byte of its attribute block.
  uint8_t DiagCategory(int slot) const {
    int at = slot * DiagAttrLength;
    return (at >= 0 && at < kDiagAttrTableSize) ? DiagAttr[at] : 0;
  }
  std::string_view ActSlot(int k) const {
    return std::string_view(ActSlots[k].data(), kActCodeLength);
  }
};

// Sets Today and its day number.
inline void SetToday(SummaryState* state, const DateText& today) {
  state->Today = today;
  state->TodayDay = DayNumber(DateView(today));
}

// The pair scan of a diagnosis slot: true when the attribute table holds the
// bytes (a, b) at positions B + 1 + i and B + 2 + i for some even i below
// DiagAttrLength, B being the start of the slot's block. The last pair
// compared may reach one or two bytes into the next slot's block (or into the
// zero bytes after the last block): that is part of the rule. (Inline: the
// checks and the tree ask it for most summaries, with constant pairs.)
inline bool SlotHasPair(const SummaryState& state, int slot, uint8_t a, uint8_t b) {
  const int length = state.DiagAttrLength;
  // Pairs begin at the block's second byte and every second byte after it,
  // below the block's length from there, as long as both bytes of the pair
  // lie in the table.
  const int first = slot * length + 1;
  if (first < 0) return false;
  const int end = std::min(first + length, kDiagAttrTableSize - 1);
  const uint8_t* attr = state.DiagAttr.data();
  for (int at = first; at < end; at += 2) {
    if (attr[at] == a && attr[at + 1] == b) return true;
  }
  return false;
}

}  // namespace grulo

#endif  // GRULO_SUMMARY_SUMMARY_STATE_H_
