#include "summary/summary_state.h"

namespace grulo {

bool SlotHasPair(const SummaryState& state, int slot, uint8_t a, uint8_t b) {
  const int length = state.DiagAttrLength;
  const int block = slot * length;
  for (int i = 0; i < length; i += 2) {
    int at = block + 1 + i;
    if (at < 0 || at + 1 >= kDiagAttrTableSize) break;
    if (state.DiagAttr[at] == a && state.DiagAttr[at + 1] == b) return true;
  }
  return false;
}

}  // namespace grulo
