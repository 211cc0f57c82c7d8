#include "tables/code_hash.h"

namespace grulo {

CodeHash::CodeHash(size_t count) : capacity_(count) {
  size_t slot_count = 16;
  int shift = 60;
  while (slot_count < 2 * count) {
    slot_count *= 2;
    --shift;
  }
  slots_.assign(slot_count, 0);
  shift_ = shift;
}

bool CodeHash::Insert(uint64_t key, uint16_t value) {
  if (key >= kKeyLimit || size_ == capacity_) return false;
  const uint64_t stored = (key + 1) << 16;
  size_t i = FirstSlot(key);
  for (; slots_[i] != 0; i = (i + 1) & (slots_.size() - 1)) {
    if ((slots_[i] & ~uint64_t{0xFFFF}) == stored) return false;
  }
  slots_[i] = stored | value;
  ++size_;
  return true;
}

}  // namespace grulo
