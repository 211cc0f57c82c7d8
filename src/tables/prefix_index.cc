#include "tables/prefix_index.h"

#include "tables/big_endian.h"

namespace grulo {

const uint8_t* PrefixEntries(const TableFile& file, int64_t index_offset, int64_t index_size,
                             int32_t p, int entry_size, uint32_t* count) {
  uint32_t start = 0;
  uint32_t end = 0;
  if (p == 0) {
    const uint8_t* e = file.Peek(index_offset, 2);
    if (e == nullptr) return nullptr;
    end = ReadBigEndian16(e);
  } else {
    const uint8_t* e = file.Peek(index_offset + 2 * int64_t{p} - 2, 4);
    if (e == nullptr) return nullptr;
    start = ReadBigEndian16(e);
    end = ReadBigEndian16(e + 2);
  }
  if (end <= start || end - start > kMaxRangeEntries) return nullptr;
  *count = end - start;
  return file.Peek(index_offset + index_size + int64_t{entry_size} * start,
                   int64_t{entry_size} * *count);
}

}  // namespace grulo
