#include "tables/act_table.h"

#include "tables/big_endian.h"
#include "tables/diag_table.h"
#include "tables/prefix_index.h"
#include "text/number_text.h"

namespace grulo {
namespace {

char CharAt(std::string_view code, size_t i) { return i < code.size() ? code[i] : ' '; }

int32_t LetterValue(char c) { return int32_t{static_cast<uint8_t>(ToUpperAscii(c))} - 'A'; }

// The key of the native index: the prefix number above the three bytes of
// the search key.
uint64_t ActCodeKey(int32_t prefix, uint32_t search_key) {
  return uint64_t{static_cast<uint32_t>(prefix)} << 24 | search_key;
}

}  // namespace

int32_t ActPrefixIndex(std::string_view code) {
  return LetterValue(CharAt(code, 0)) * 676 + LetterValue(CharAt(code, 1)) * 26 +
         LetterValue(CharAt(code, 2));
}

std::array<uint8_t, 3> ActSearchKey(std::string_view code) {
  const int32_t letter = int32_t{static_cast<uint8_t>(CharAt(code, 3))} - 'A';
  // The digits of a short code end where it ends, as blanks would end them.
  const int32_t n = ReadNumber(code.size() > 4 ? code.substr(4, 4) : std::string_view());
  return {static_cast<uint8_t>(letter), static_cast<uint8_t>(n / 256),
          static_cast<uint8_t>(n % 256)};
}

std::unique_ptr<const ActCodeIndex> BuildActCodeIndex(const ActTable& table) {
  if (table.file == nullptr) return nullptr;
  const TableFile& file = *table.file;
  auto index = std::make_unique<ActCodeIndex>();
  index->index_offset = table.ActIndexOffset;
  static_assert(kActEntrySize == 4);
  // Entries: the three key bytes, then the class. Of two entries with the
  // same key the first one wins.
  auto add = [](int32_t p, uint32_t entry, CodeHash* codes) {
    (void)codes->Insert(ActCodeKey(p, entry >> 8), static_cast<uint8_t>(entry));
  };
  if (!HashPrefixIndex(file, table.ActIndexOffset, kActIndexSize, kActPrefixCount, &index->codes,
                       add)) {
    return nullptr;
  }
  return index;
}

void LookupAct(const ActTable& table, std::string_view code, int k, SummaryState* state) {
  if (table.file == nullptr || k < 0 || k >= kActClassTableSize) return;
  const int32_t p = ActPrefixIndex(code);
  if (p < 0 || p >= kActPrefixCount) return;
  const std::array<uint8_t, 3> key = ActSearchKey(code);

  const ActCodeIndex* index = table.code_index.get();
  if (index != nullptr && index->index_offset == table.ActIndexOffset) {
    static_assert(kActEntryKeyAt == 0 && kActEntryKeySize == 3 && kActEntryClassAt == 3);
    const uint32_t packed = uint32_t{key[0]} << 16 | uint32_t{key[1]} << 8 | key[2];
    const int32_t act_class = index->codes.Find(ActCodeKey(p, packed));
    if (act_class != CodeHash::kNotFound) state->ActClass[k] = static_cast<uint8_t>(act_class);
    return;
  }

  const PrefixRange range =
      FindPrefixRange(*table.file, table.ActIndexOffset, kActIndexSize, p, kActEntrySize);
  if (!range.usable()) return;
  const uint32_t count = range.count();
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* entry = range.entries + kActEntrySize * i;
    const uint8_t* entry_key = entry + kActEntryKeyAt;
    if (entry_key[0] == key[0] && entry_key[1] == key[1] && entry_key[2] == key[2]) {
      state->ActClass[k] = entry[kActEntryClassAt];
      return;
    }
  }
}

}  // namespace grulo
