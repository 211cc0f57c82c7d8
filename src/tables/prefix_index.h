// The prefix index shared by the diagnosis and act tables: 16-bit big-endian
// entries, entry p holding the end of the entry range of prefix p, the end
// of prefix p - 1 (0 for prefix 0) being its start.

#ifndef GRULO_TABLES_PREFIX_INDEX_H_
#define GRULO_TABLES_PREFIX_INDEX_H_

#include <cstdint>

#include "tables/table_file.h"

namespace grulo {

// Ranges of more entries are inconsistent (their byte positions no longer fit
// the 16 bits they are walked with) and never searched.
inline constexpr uint32_t kMaxRangeEntries = 16383;

// The entries of prefix p (0 <= p) in a list of `entry_size`-byte entries
// that starts `index_size` bytes after the index: a pointer to the first, or
// nullptr when the prefix has none, its range is inconsistent (an end below
// its start, more than kMaxRangeEntries entries) or the file does not hold
// the index entries or the whole range.
const uint8_t* PrefixEntries(const TableFile& file, int64_t index_offset, int64_t index_size,
                             int32_t p, int entry_size, uint32_t* count);

}  // namespace grulo

#endif  // GRULO_TABLES_PREFIX_INDEX_H_
