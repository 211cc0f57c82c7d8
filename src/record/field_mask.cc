#include "record/field_mask.h"

#include <algorithm>
#include <array>

#include "text/number_text.h"

namespace grulo {
namespace {

// Character classes, one bit each, and for every mask character the classes
// it accepts.
enum : uint8_t {
  kDigit = 1,
  kLetter = 2,
  kSpace = 4,
  kPlus = 8,
  kAorB = 16,  // 'A', 'B', 'a', 'b' (letters too)
  kOther = 32,
  kAnything = 0xFF,
};

constexpr std::array<uint8_t, 256> MakeClassTable() {
  std::array<uint8_t, 256> table{};
  for (int c = 0; c < 256; ++c) {
    uint8_t bits = kOther;
    if (c >= '0' && c <= '9') bits = kDigit;
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) bits = kLetter;
    if (c == 'A' || c == 'B' || c == 'a' || c == 'b') bits = kLetter | kAorB;
    if (c == ' ') bits = kSpace;
    if (c == '+') bits = kPlus;
    table[c] = bits;
  }
  return table;
}
constexpr std::array<uint8_t, 256> kClassOf = MakeClassTable();

constexpr uint8_t AcceptedClasses(char mask_char) {
  switch (mask_char) {
    case '9':
      return kDigit;
    case 'X':
      return kLetter;
    case 'A':
      return kLetter | kDigit;
    case 'Y':
      return kLetter | kDigit | kSpace;
    case 'Z':
      return kDigit | kSpace;
    case '+':
      return kDigit | kSpace | kPlus;
    case 'F':
      return kDigit | kAorB;
    default:
      return kAnything;
  }
}

bool Accepts(char mask_char, char c) {
  return (kClassOf[static_cast<uint8_t>(c)] & AcceptedClasses(mask_char)) != 0;
}

}  // namespace

MaskResult MatchMask(std::string_view field, std::string_view mask, int16_t trim_mode,
                     int16_t min_length) {
  const int n = static_cast<int>(std::min(mask.size(), field.size()));
  int first = -1;
  int last = -1;
  for (int p = 0; p < n; ++p) {
    if (field[p] != ' ') {
      if (first < 0) first = p;
      last = p;
    }
  }
  if (first < 0) return MaskBlank;

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
  std::string_view wanted = value.substr(0, width);
  for (size_t k = 0; k < list.size(); k += width) {
    if (list.substr(k, width) == wanted) return true;
  }
  return false;
}

}  // namespace grulo
