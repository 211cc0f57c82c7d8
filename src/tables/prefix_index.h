// The prefix index shared by the diagnosis and act tables: 16-bit big-endian
// entries, entry p holding the end of the entry range of prefix p, the end
// of prefix p - 1 (0 for prefix 0) being its start. The entries themselves
// follow the index.

#ifndef GRULO_TABLES_PREFIX_INDEX_H_
#define GRULO_TABLES_PREFIX_INDEX_H_

#include <cstdint>
#include <vector>

#include "tables/big_endian.h"
#include "tables/code_hash.h"
#include "tables/table_file.h"
#include "tables/table_layout.h"

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
// reads only through the file's Peek. Inline: the lookups call it for every
// code of every summary.
inline PrefixRange FindPrefixRange(const TableFile& file, int64_t index_offset, int64_t index_size,
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

// A prefix index of 4-byte entries decoded once, for lookups that neither
// decode big-endian entries nor check ranges against the file.
struct DecodedPrefixIndex {
  // Per prefix, the number of its first entry and, above, its entry count;
  // the count is 0 when the range of the prefix is not usable.
  std::vector<uint32_t> ranges;
  // The entries up to the end of the last usable range, each read as one
  // big-endian 32-bit word.
  std::vector<uint32_t> entries;

  // The entries of prefix p (0 <= p < the prefix count).
  const uint32_t* begin(int32_t p) const { return entries.data() + (ranges[static_cast<size_t>(p)] & 0xFFFF); }
  const uint32_t* end(int32_t p) const { return begin(p) + (ranges[static_cast<size_t>(p)] >> 16); }
  // The entries of prefixes 0 to prefix_count - 1, those that two ranges
  // share counted twice (an index whose ends go down lets ranges overlap):
  // more than entries.size() when ranges overlap.
  size_t EntryCount(int32_t prefix_count) const {
    size_t count = 0;
    for (int32_t p = 0; p < prefix_count; ++p) count += ranges[static_cast<size_t>(p)] >> 16;
    return count;
  }
};

// Decodes the index of `prefix_count` prefixes at `index_offset`, its 4-byte
// entries following `index_size` bytes after it; false when the file does
// not hold the entries of the usable ranges in one piece.
bool DecodePrefixIndex(const TableFile& file, int64_t index_offset, int64_t index_size,
                       int32_t prefix_count, DecodedPrefixIndex* out);

// The codes of the index (read as DecodePrefixIndex reads it) in a hash
// table sized for them: add(p, entry, hash) adds an entry of prefix p to
// `hash`. The entries come prefix by prefix in the file's order, so that the
// first entry of a key wins. False when the file does not hold the entries
// of the usable ranges in one piece, or when ranges overlap (an index whose
// ends go down), which could claim the file's entries many times over: such
// a table is looked up in the file.
template <typename AddEntry>
bool HashPrefixIndex(const TableFile& file, int64_t index_offset, int64_t index_size,
                     int32_t prefix_count, CodeHash* hash, AddEntry add) {
  DecodedPrefixIndex prefixes;
  if (!DecodePrefixIndex(file, index_offset, index_size, prefix_count, &prefixes)) return false;
  const size_t entry_count = prefixes.EntryCount(prefix_count);
  if (entry_count > prefixes.entries.size()) return false;
  *hash = CodeHash(entry_count);
  for (int32_t p = 0; p < prefix_count; ++p) {
    for (const uint32_t* entry = prefixes.begin(p); entry != prefixes.end(p); ++entry) {
      add(p, *entry, hash);
    }
  }
  return true;
}

}  // namespace grulo

#endif  // GRULO_TABLES_PREFIX_INDEX_H_
