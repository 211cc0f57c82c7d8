// Field masks: judging a fixed-width field against a mask of class
// characters, and testing membership in a list of codes.

#ifndef GRULO_RECORD_FIELD_MASK_H_
#define GRULO_RECORD_FIELD_MASK_H_

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

#include "text/number_text.h"

namespace grulo {

// Which blanks around a value are tolerated. Any value other than 1, 2 and 3
// behaves as TrimNone.
enum TrimMode : int16_t {
  TrimNone = 0,      // the whole field is significant
  TrimLeading = 1,   // right-justified value: leading blanks skipped
  TrimTrailing = 2,  // left-justified value: trailing blanks skipped
  TrimBoth = 3,      // blanks skipped at both ends
};

enum MaskResult : int16_t {
  MaskOk = 0,
  MaskBlank = 1,     // every character of the field is a blank
  MaskTooShort = 2,  // the significant part is shorter than the minimum
  MaskMismatch = 3,  // a significant character is not of its mask class
};

// Matches the field against the mask, whose length is the field width:
//   '9' digit; 'X' letter; 'A' letter or digit; 'Y' letter, digit or blank;
//   'Z' digit or blank; '+' digit, blank or '+'; 'F' digit, 'A' or 'B' in
//   either case; any other mask character accepts anything.
// Blankness is decided first, whatever the trim mode and the minimum length;
// then the significant part is selected by the trim mode and compared with the
// minimum length (0: none); then each significant character is tested against
// the mask character at the same position (the mask is never shifted).
// Reads only the first mask.size() characters of the field; a field shorter
// than the mask is judged on its own length.
// (Defined below, in the header: every caller passes a constant mask and
// trim mode, for which the compiler then specialises the match.)
inline MaskResult MatchMask(std::string_view field, std::string_view mask, int16_t trim_mode,
                            int16_t min_length);

// True when the first `width` characters of the value equal one of the
// width-character entries written back to back in the list (" 567" allows a
// blank, '5', '6' and '7'). An empty list allows nothing.
// (Defined below, in the header, for the same reason as MatchMask.)
inline bool IsOneOf(std::string_view value, std::string_view list, int16_t width);

// A date field of the summary, DDMMYYYY, right-justified, at least seven
// characters: MatchMask(field, "Z9Z99999", TrimLeading, 7). Eight digits, as
// most dates are, pass at once.
inline MaskResult MatchDateMask(std::string_view field);

// Implementation details.

namespace field_mask_internal {

// What a mask character outside the list accepts: every class, and bytes of
// no class too (see Accepts).
inline constexpr uint8_t kAnyClass = 0xFF;

// The CharClass bits that each mask character accepts, indexed by the mask
// character.
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
inline constexpr std::array<uint8_t, 256> kAcceptedClasses = MakeAcceptedClasses();

inline bool Accepts(char mask_char, char c) {
  const uint8_t accepted = kAcceptedClasses[static_cast<uint8_t>(mask_char)];
  // A byte of no class (above 127, punctuation, NUL) passes only where
  // anything does.
  return accepted == kAnyClass || (ClassesOf(c) & accepted) != 0;
}

}  // namespace field_mask_internal

inline MaskResult MatchMask(std::string_view field, std::string_view mask, int16_t trim_mode,
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
    if (!field_mask_internal::Accepts(mask[p], field[p])) return MaskMismatch;
  }
  return MaskOk;
}

inline bool IsOneOf(std::string_view value, std::string_view list, int16_t width) {
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

inline MaskResult MatchDateMask(std::string_view field) {
  if (field.size() == 8 && EightDigits(field.data())) return MaskOk;
  return MatchMask(field, "Z9Z99999", TrimLeading, 7);
}

}  // namespace grulo

#endif  // GRULO_RECORD_FIELD_MASK_H_
