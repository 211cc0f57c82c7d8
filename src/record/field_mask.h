// Field masks: judging a fixed-width field against a mask of class
// characters, and testing membership in a list of codes.

#ifndef GRULO_RECORD_FIELD_MASK_H_
#define GRULO_RECORD_FIELD_MASK_H_

#include <cstdint>
#include <string_view>

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
MaskResult MatchMask(std::string_view field, std::string_view mask, int16_t trim_mode,
                     int16_t min_length);

// True when the first `width` characters of the value equal one of the
// width-character entries written back to back in the list (" 567" allows a
// blank, '5', '6' and '7'). An empty list allows nothing.
bool IsOneOf(std::string_view value, std::string_view list, int16_t width);

}  // namespace grulo

#endif  // GRULO_RECORD_FIELD_MASK_H_
