#include "tables/act_table.h"

#include "tables/big_endian.h"
#include "tables/diag_table.h"
#include "tables/prefix_index.h"
#include "text/number_text.h"

namespace grulo {
namespace {

char CharAt(std::string_view code, size_t i) { return i < code.size() ? code[i] : ' '; }

int32_t LetterValue(char c) { return int32_t{static_cast<uint8_t>(ToUpperAscii(c))} - 'A'; }

}  // namespace

int32_t ActPrefixIndex(std::string_view code) {
  return LetterValue(CharAt(code, 0)) * 676 + LetterValue(CharAt(code, 1)) * 26 +
         LetterValue(CharAt(code, 2));
}

std::array<uint8_t, 3> ActSearchKey(std::string_view code) {
  const int32_t letter = int32_t{static_cast<uint8_t>(CharAt(code, 3))} - 'A';
  const char digits[4] = {CharAt(code, 4), CharAt(code, 5), CharAt(code, 6), CharAt(code, 7)};
  const int32_t n = ReadNumber(std::string_view(digits, 4));
  return {static_cast<uint8_t>(letter), static_cast<uint8_t>(n / 256),
          static_cast<uint8_t>(n % 256)};
}

void LookupAct(const ActTable& table, std::string_view code, int k, SummaryState* state) {
  if (table.file == nullptr || k < 0 || k >= kActClassTableSize) return;
  const int32_t p = ActPrefixIndex(code);
  if (p < 0 || p >= kActPrefixCount) return;

  const PrefixRange range =
      FindPrefixRange(*table.file, table.ActIndexOffset, kActIndexSize, p, kActEntrySize);
  if (!range.usable()) return;

  const std::array<uint8_t, 3> key = ActSearchKey(code);
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
