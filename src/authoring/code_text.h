// Table keys as the text formats write them.
//
// A diagnosis code: an upper-case letter, two digits and up to three suffix
// characters (digit, '+', or '_' for a blank inside the code); trailing
// blanks are left out: "A000", "Z00", "A09+0", "A0_1". The raw form
// "A00#1600" gives any suffix number.
// An act code: four upper-case letters and four digits, "AAFA0010"; the raw
// form "AAF#32,10" gives key byte 0 and the 16-bit number.

#ifndef GRULO_AUTHORING_CODE_TEXT_H_
#define GRULO_AUTHORING_CODE_TEXT_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace grulo {

// Parses a diagnosis code into its prefix number (0 to 2599) and suffix
// number (0 to 65535); false, and nothing set, when it is not written as
// above.
bool ParseDiagCode(std::string_view text, int* prefix, int* suffix_number);
// The code text of a key ("A09+0"; "A00#1600" for a suffix number that no
// suffix has; "?N" for a prefix number outside 0 to 2599).
std::string DiagCodeText(int prefix, int suffix_number);
// The six characters a summary holds for a key, trailing blanks included;
// empty when no code has that key.
std::string DiagCodeField(int prefix, int suffix_number);

// The text of a prefix number: "A00", or "?N" outside 0 to 2599.
std::string DiagPrefixText(int prefix);

// Parses an act code into its prefix number (0 to 17575) and key bytes;
// false, and nothing set, when it is not written as above.
bool ParseActCode(std::string_view text, int* prefix, uint8_t* letter, uint16_t* number);
// The code text of a key ("AAFA0010"; "AAF#32,10" for key bytes that no code
// has; "?N" for a prefix number outside 0 to 17575).
std::string ActCodeText(int prefix, uint8_t letter, uint16_t number);
// The text of a prefix number: "AAF", or "?N" outside 0 to 17575.
std::string ActPrefixText(int prefix);

}  // namespace grulo

#endif  // GRULO_AUTHORING_CODE_TEXT_H_
