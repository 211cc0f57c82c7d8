#include "tables/prefix_index.h"

namespace grulo {

bool DecodePrefixIndex(const TableFile& file, int64_t index_offset, int64_t index_size,
                       int32_t prefix_count, DecodedPrefixIndex* out) {
  constexpr int kEntrySize = 4;
  out->ranges.assign(static_cast<size_t>(prefix_count), 0);
  uint32_t entry_count = 0;  // one past the last entry of a usable range
  for (int32_t p = 0; p < prefix_count; ++p) {
    const PrefixRange range = FindPrefixRange(file, index_offset, index_size, p, kEntrySize);
    if (!range.usable()) continue;
    // A range starts below 65536 and holds at most kMaxRangeEntries entries.
    out->ranges[static_cast<size_t>(p)] = range.start | range.count() << 16;
    if (range.end > entry_count) entry_count = range.end;
  }
  // Entry 0 lies after every index entry, so the file holds entries 0 to
  // entry_count - 1 whenever it holds the last usable range; checked anyway.
  out->entries.resize(entry_count);
  if (entry_count == 0) return true;  // no usable range: nothing to read
  const uint8_t* bytes = file.Peek(index_offset + index_size, int64_t{kEntrySize} * entry_count);
  if (bytes == nullptr) return false;
  for (uint32_t i = 0; i < entry_count; ++i) {
    const uint8_t* entry = bytes + kEntrySize * i;
    out->entries[i] = uint32_t{ReadBigEndian16(entry)} << 16 | ReadBigEndian16(entry + 2);
  }
  return true;
}

}  // namespace grulo
