#include "tables/diag_table.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "tables/big_endian.h"
#include "tables/prefix_index.h"
#include "text/number_text.h"

namespace grulo {
namespace {

// Character i of the code; a blank beyond its end.
char CharAt(std::string_view code, size_t i) { return i < code.size() ? code[i] : ' '; }

// v of one suffix character: 0 for a blank, d + 1 for a digit d, 11 for
// '+', -1 for a character that ends the suffix.
constexpr std::array<int8_t, 256> kSuffixValues = [] {
  std::array<int8_t, 256> values{};
  values.fill(-1);
  values[' '] = 0;
  for (int d = 0; d <= 9; ++d) values['0' + d] = static_cast<int8_t>(d + 1);
  values['+'] = 11;
  return values;
}();

// The record `r` of the table, or nullptr when the file does not hold it in
// full.
const uint8_t* RecordBytes(const DiagTable& table, uint16_t r) {
  int64_t offset = int64_t{table.DiagRecordOffset} + int64_t{r} * table.DiagRecordSize;
  return table.file->Peek(offset, table.DiagRecordSize);
}

// The key of the native index: the prefix number above the suffix number.
uint32_t DiagCodeKey(int32_t prefix, uint32_t suffix_number) {
  static_assert(kSuffixNumberCount <= 1 << 11);
  return static_cast<uint32_t>(prefix) << 11 | suffix_number;
}

// The record number of a 6-character code through the native index: the
// same as DiagRecordNumber.
uint16_t IndexedRecordNumber(const DiagCodeIndex& index, std::string_view code) {
  if (code[0] == ' ') return 0;
  const int32_t p = DiagPrefixIndex(code);
  if (p < 0 || p >= kDiagPrefixCount) return 0;
  const int32_t record = index.codes.Find(DiagCodeKey(p, SuffixNumber(code.substr(3, 3))));
  return record == CodeHash::kNotFound ? 0 : static_cast<uint16_t>(record);
}

// True when the index was built from the table's current values (the
// attribute length, one less than the record size, follows).
bool IndexFits(const DiagCodeIndex* index, const DiagTable& table) {
  return index != nullptr && index->index_offset == table.DiagIndexOffset &&
         index->record_size == table.DiagRecordSize &&
         index->record_offset == table.DiagRecordOffset;
}

}  // namespace

int32_t DiagPrefixIndex(std::string_view code) {
  if (code.size() >= 3 && IsDigit(code[1]) && IsDigit(code[2])) {  // the usual code
    const int32_t letter = static_cast<uint8_t>(ToUpperAscii(code[0]));
    return (letter - 'A') * 100 + (code[1] - '0') * 10 + (code[2] - '0');
  }
  const char prefix[2] = {CharAt(code, 1), CharAt(code, 2)};
  int32_t letter = static_cast<uint8_t>(ToUpperAscii(CharAt(code, 0)));
  return (letter - 'A') * 100 + ReadNumber(std::string_view(prefix, 2));
}

uint16_t SuffixNumber(std::string_view suffix) {
  // Without a branch: the characters of a suffix vary from code to code.
  const int v0 = kSuffixValues[static_cast<uint8_t>(CharAt(suffix, 0))];
  const int v1 = kSuffixValues[static_cast<uint8_t>(CharAt(suffix, 1))];
  const char c2 = CharAt(suffix, 2);
  const int v2 = c2 == '+' ? -1 : kSuffixValues[static_cast<uint8_t>(c2)];  // no '+' here
  // A character that ends the suffix ends it for the characters after it.
  const int in0 = v0 >= 0;
  const int in1 = in0 & (v1 >= 0);
  const int in2 = in1 & (v2 >= 0);
  return static_cast<uint16_t>(in0 * v0 * 132 + in1 * v1 * 11 + in2 * v2);
}

uint16_t DiagRecordNumber(const DiagTable& table, std::string_view code) {
  if (code.size() < kDiagCodeLength) {  // the missing characters count as blanks
    char padded[kDiagCodeLength];
    for (size_t i = 0; i < kDiagCodeLength; ++i) padded[i] = CharAt(code, i);
    return DiagRecordNumber(table, std::string_view(padded, kDiagCodeLength));
  }
  if (table.file == nullptr || code[0] == ' ') return 0;
  const int32_t p = DiagPrefixIndex(code);
  if (p < 0 || p >= kDiagPrefixCount) return 0;

  const PrefixRange range =
      FindPrefixRange(*table.file, table.DiagIndexOffset, kDiagIndexSize, p, kDiagEntrySize);
  if (!range.usable()) return 0;

  const uint16_t key = SuffixNumber(code.substr(3, 3));
  const uint32_t count = range.count();
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* entry = range.entries + kDiagEntrySize * i;
    if (ReadBigEndian16(entry + kDiagEntrySuffixAt) == key) {
      return ReadBigEndian16(entry + kDiagEntryRecordAt);
    }
  }
  return 0;
}

std::unique_ptr<const DiagCodeIndex> BuildDiagCodeIndex(const DiagTable& table) {
  if (table.file == nullptr || table.DiagRecordSize < 1) return nullptr;
  const TableFile& file = *table.file;
  auto index = std::make_unique<DiagCodeIndex>();
  index->index_offset = table.DiagIndexOffset;
  index->record_size = table.DiagRecordSize;
  index->record_offset = table.DiagRecordOffset;

  static_assert(kDiagEntrySize == 4 && kDiagEntrySuffixAt == 0 && kDiagEntryRecordAt == 2);
  // Entries: suffix number << 16 | record number. Of two entries with the
  // same suffix number the first one wins.
  auto add = [](int32_t p, uint32_t entry, CodeHash* codes) {
    const uint32_t suffix_number = entry >> 16;
    if (suffix_number >= kSuffixNumberCount) return;  // no code has it
    (void)codes->Insert(DiagCodeKey(p, suffix_number), static_cast<uint16_t>(entry));
  };
  if (!HashPrefixIndex(file, table.DiagIndexOffset, kDiagIndexSize, kDiagPrefixCount,
                       &index->codes, add)) {
    return nullptr;
  }

  const int64_t record_offset = table.DiagRecordOffset;
  if (record_offset >= 0 && record_offset <= file.size()) {
    const int64_t held = (file.size() - record_offset) / table.DiagRecordSize;
    index->records_held = static_cast<uint32_t>(std::min<int64_t>(held, kDiagRecordNumberCount));
  }
  return index;
}

void LookupDiag(const DiagTable& table, std::string_view code, int slot, SummaryState* state) {
  if (slot < 0 || slot >= kDiagSlotCount) return;
  state->DiagAttrLength = table.DiagAttrLength;
  const int length = table.DiagAttrLength;
  // An opened table has 0 to 11 attribute bytes, so that 23 blocks fit.
  const bool block_fits = length >= 0 && (slot + 1) * length <= kDiagAttrTableSize;
  uint8_t* block = block_fits ? state->DiagAttr.data() + slot * length : nullptr;

  const uint8_t* record = nullptr;
  if (table.file != nullptr && table.DiagRecordSize >= 1 && length == table.DiagRecordSize - 1) {
    const uint16_t r = DiagRecordNumber(table, code);
    record = RecordBytes(table, r);
    if (record == nullptr && r != 0) record = RecordBytes(table, 0);
  }
  if (record == nullptr || !block_fits) {
    state->DiagPositionBits[slot] = 0;
    if (block != nullptr && length > 0) std::memset(block, 0, static_cast<size_t>(length));
    return;
  }
  state->DiagPositionBits[slot] = record[kDiagRecordPositionAt];
  if (length > 0) {
    std::memcpy(block, record + kDiagRecordAttributesAt, static_cast<size_t>(length));
  }
}

void LookupDiags(const DiagTable& table, const WorkingRecord& record, SummaryState* state) {
  const int length = table.DiagAttrLength;
  if (table.file == nullptr || table.DiagRecordSize < 1 || length != table.DiagRecordSize - 1 ||
      length < 0 || kDiagSlotCount * length > kDiagAttrTableSize) {
    // Values no opening gives: the general lookup, slot by slot.
    for (int i = 0; i < kDiagSlotCount; ++i) LookupDiag(table, record.Diag(i), i, state);
    return;
  }
  state->DiagAttrLength = table.DiagAttrLength;
  // What a blank code, a code not found and a record the file does not hold
  // get: record 0, or nothing when the file does not hold it either.
  const uint8_t* fallback = RecordBytes(table, 0);
  const DiagCodeIndex* index = table.code_index.get();
  if (!IndexFits(index, table)) index = nullptr;
  uint8_t* block = state->DiagAttr.data();
  for (int i = 0; i < kDiagSlotCount; ++i, block += length) {
    const std::string_view code = record.Diag(i);
    const uint8_t* found = fallback;
    if (code[0] != ' ') {
      if (index != nullptr) {
        const uint16_t r = IndexedRecordNumber(*index, code);
        if (r != 0 && r < index->records_held) {
          // Held in full, so record 0 is too: record r lies r records
          // after it.
          found = fallback + int64_t{r} * table.DiagRecordSize;
        }
      } else {
        const uint16_t r = DiagRecordNumber(table, code);
        if (r != 0) {
          const uint8_t* bytes = RecordBytes(table, r);
          if (bytes != nullptr) found = bytes;
        }
      }
    }
    if (found == nullptr) {
      state->DiagPositionBits[i] = 0;
      std::memset(block, 0, static_cast<size_t>(length));
    } else {
      state->DiagPositionBits[i] = found[kDiagRecordPositionAt];
      if (length == kMaxDiagRecordSize - 1) {  // the usual size: a copy of known length
        std::memcpy(block, found + kDiagRecordAttributesAt, kMaxDiagRecordSize - 1);
      } else {
        std::memcpy(block, found + kDiagRecordAttributesAt, static_cast<size_t>(length));
      }
    }
  }
}

}  // namespace grulo
