// The prefix index shared by the diagnosis and act tables: 16-bit big-endian
// entries, entry p holding the end of the entry range of prefix p, the end
// of prefix p - 1 (0 for prefix 0) being its start. The entries themselves
// follow the index.

#ifndef GRULO_TABLES_PREFIX_INDEX_H_
#define GRULO_TABLES_PREFIX_INDEX_H_

#include <cstdint>

#include "tables/table_file.h"

namespace grulo {

// Ranges of more entries are inconsistent (their byte positions no longer fit
// the 16 bits they are walked with) and never searched.
inline constexpr uint32_t kMaxRangeEntries = 16383;

// How the entry range of one prefix stands. Only a usable range is searched;
// the others mean "not found" for every code of the prefix.
enum class RangeState : uint8_t {
  kUsable,              // 1 to kMaxRangeEntries entries, all held by the file
  kIndexOutsideFile,    // the file does not hold the index entries of the prefix
  kEmpty,               // end equal to start: the prefix has no entry
  kEndBelowStart,       // the index decreases at this prefix
  kTooManyEntries,      // more than kMaxRangeEntries entries
  kEntriesOutsideFile,  // the file does not hold every entry of the range
};

struct PrefixRange {
  RangeState state = RangeState::kIndexOutsideFile;
  uint32_t start = 0;                // the number of its first entry (0 when the index is outside)
  uint32_t end = 0;                  // one past its last entry
  const uint8_t* entries = nullptr;  // its first entry when usable, else nullptr

  bool usable() const { return state == RangeState::kUsable; }
  // The number of entries from start to end, 0 when end is below start.
  uint32_t count() const { return end > start ? end - start : 0; }
};

// The range of prefix p (0 <= p) in a list of `entry_size`-byte entries that
// starts `index_size` bytes after the index at `index_offset`: the first of
// the states after kUsable, in their order, that applies, or kUsable. Start
// and end are set once the index entries are read. Allocates nothing and
// reads only through the file's Peek.
PrefixRange FindPrefixRange(const TableFile& file, int64_t index_offset, int64_t index_size,
                            int32_t p, int entry_size);

}  // namespace grulo

#endif  // GRULO_TABLES_PREFIX_INDEX_H_
