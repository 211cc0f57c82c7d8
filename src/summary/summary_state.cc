#include "summary/summary_state.h"

#include <algorithm>

namespace grulo {

bool SlotHasPair(const SummaryState& state, int slot, uint8_t a, uint8_t b) {
  const int length = state.DiagAttrLength;
  // Pairs begin at the block's second byte and every second byte after it,
  // below the block's length from there, as long as both bytes of the pair
  // lie in the table.
  const int first = slot * length + 1;
  if (first < 0) return false;
  const int end = std::min(first + length, kDiagAttrTableSize - 1);
  for (int at = first; at < end; at += 2) {
    if (state.DiagAttr[at] == a && state.DiagAttr[at + 1] == b) return true;
  }
  return false;
}

}  // namespace grulo
