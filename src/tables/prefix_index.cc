#include "tables/prefix_index.h"

#include "tables/big_endian.h"
#include "tables/table_layout.h"

namespace grulo {

PrefixRange FindPrefixRange(const TableFile& file, int64_t index_offset, int64_t index_size,
                            int32_t p, int entry_size) {
  PrefixRange range;
  if (p == 0) {
    const uint8_t* e = file.Peek(index_offset, kPrefixIndexEntrySize);
    if (e == nullptr) return range;
    range.end = ReadBigEndian16(e);
  } else {
    const uint8_t* e = file.Peek(index_offset + int64_t{kPrefixIndexEntrySize} * (p - 1),
                                 2 * kPrefixIndexEntrySize);
    if (e == nullptr) return range;
    range.start = ReadBigEndian16(e);
    range.end = ReadBigEndian16(e + kPrefixIndexEntrySize);
  }
  if (range.end == range.start) {
    range.state = RangeState::kEmpty;
  } else if (range.end < range.start) {
    range.state = RangeState::kEndBelowStart;
  } else if (range.end - range.start > kMaxRangeEntries) {
    range.state = RangeState::kTooManyEntries;
  } else {
    range.entries = file.Peek(index_offset + index_size + int64_t{entry_size} * range.start,
                              int64_t{entry_size} * (range.end - range.start));
    range.state = range.entries != nullptr ? RangeState::kUsable : RangeState::kEntriesOutsideFile;
  }
  return range;
}

}  // namespace grulo
