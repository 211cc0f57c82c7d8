#include "record/field_mask.h"

#include <algorithm>
#include <array>

#include "text/number_text.h"

namespace grulo {
namespace {

// Every class of kCharClasses: what a mask character outside the list accepts.
constexpr uint8_t kAnyClass = 0xFF;

// The classes that a mask character accepts, by the mask character. A byte
// that belongs to none of them (a byte above 127, punctuation) is accepted
// only by kAnyClass, and so by a mask character outside the list.
constexpr std::array<uint8_t, 256> MakeAcceptedClasses() {
  std::array<uint8_t, 256> table{};
  table.fill(kAnyClass);
  table['9'] = kDigitClass;
  table['X'] = kLetterClass;
  table['A'] = kLetterClass | kDigitClass;
  table['Y'] = kLetterClass | kDigitClass | kBlankClass;
  table['Z'] = kDigitClass | kBlankClass;
  table['+'] = kDigitClass | kBlankClass | kPlusClass;
  table['F'] = kDigitClass | kAOrBClass;
  return table;
}
constexpr std::array<uint8_t, 256> kAcceptedClasses = MakeAcceptedClasses();

bool Accepts(char mask_char, char c) {
  const uint8_t accepted = kAcceptedClasses[static_cast<uint8_t>(mask_char)];
  // A byte of no class passes only where anything does.
  return accepted == kAnyClass || (ClassesOf(c) & accepted) != 0;
}

}  // namespace

MaskResult MatchMask(std::string_view field, std::string_view mask, int16_t trim_mode,
                     int16_t min_length) {
  const int n = static_cast<int>(std::min(mask.size(), field.size()));
  // The first and the last non-blank, each sought from its own end.
  int first = 0;
  while (first < n && field[first] == ' ') ++first;
  if (first == n) return MaskBlank;
  int last = n - 1;
  while (field[last] == ' ') --last;

  int start = 0;
  int length = n;
  switch (trim_mode) {
    case TrimLeading:
      start = first;
      length = n - first;
      break;
    case TrimTrailing:
      length = last + 1;
      break;
    case TrimBoth:
      start = first;
      length = last - first + 1;
      break;
    default:
      break;
  }
  if (length < min_length) return MaskTooShort;
  for (int p = start; p < start + length; ++p) {
    if (!Accepts(mask[p], field[p])) return MaskMismatch;
  }
  return MaskOk;
}

bool IsOneOf(std::string_view value, std::string_view list, int16_t width) {
  if (width <= 0 || value.size() < static_cast<size_t>(width)) return false;
  const size_t w = static_cast<size_t>(width);
  // Whole entries only: a last entry cut short by the end of the list never
  // equals the value.
  for (size_t k = 0; k + w <= list.size(); k += w) {
    size_t i = 0;
    while (i < w && list[k + i] == value[i]) ++i;
    if (i == w) return true;
  }
  return false;
}

}  // namespace grulo
