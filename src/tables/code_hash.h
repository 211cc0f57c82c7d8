// The codes of a table's index in a hash table, built once when the table is
// opened: a lookup takes one probe as a rule, where the file's index walks a
// range of entries whose length varies from prefix to prefix (a branch that
// goes one way or the other at random, summary after summary).

#ifndef GRULO_TABLES_CODE_HASH_H_
#define GRULO_TABLES_CODE_HASH_H_

#include <cstddef>
#include <cstdint>
#include <vector>

namespace grulo {

class CodeHash {
 public:
  static constexpr int32_t kNotFound = -1;
  static constexpr uint64_t kKeyLimit = uint64_t{1} << 40;  // keys are below it

  // A table with room for `count` keys, which it holds at most half full.
  explicit CodeHash(size_t count = 0);

  // Adds the key with its value, unless the key is there already (the first
  // value of a key wins). False when the key is there already, is not below
  // kKeyLimit, or the table holds its `count` keys already.
  bool Insert(uint64_t key, uint16_t value);

  // The value of the key, or kNotFound.
  int32_t Find(uint64_t key) const {
    const uint64_t wanted = (key + 1) << 16;
    for (size_t i = FirstSlot(key);; i = (i + 1) & (slots_.size() - 1)) {
      const uint64_t slot = slots_[i];
      if ((slot & ~uint64_t{0xFFFF}) == wanted) return static_cast<int32_t>(slot & 0xFFFF);
      if (slot == 0) return kNotFound;
    }
  }

  size_t size() const { return size_; }
  size_t slot_count() const { return slots_.size(); }

 private:
  // Fibonacci hashing: the top bits of the key times 2^64 / phi.
  size_t FirstSlot(uint64_t key) const {
    return static_cast<size_t>((key * 0x9E3779B97F4A7C15u) >> shift_);
  }

  // (key + 1) << 16 | value, 0 where empty; a power of two of them, so many
  // that at least half are empty and every probe ends.
  std::vector<uint64_t> slots_;
  int shift_;  // 64 less the bits of a slot number
  size_t capacity_;
  size_t size_ = 0;
};

}  // namespace grulo

#endif  // GRULO_TABLES_CODE_HASH_H_
