// Section and key names of the configuration file in their two spellings:
// Windows-1252, the program's own, and UTF-8, which editors of today write.
// Names compare without regard to case, Windows-1252 letters included, and a
// name spelled in UTF-8 equals its Windows-1252 spelling
// ("G\xC3\xA9n\xC3\xA9ral" is "G\xE9n\xE9ral").

#ifndef GRULO_TEXT_CP1252_NAMES_H_
#define GRULO_TEXT_CP1252_NAMES_H_

#include <string>
#include <string_view>

#include "text/cp1252_text.h"  // Cp1252ToUtf8, for the names it spells

namespace grulo {

// The name as it compares: read as the Windows-1252 text it spells when it
// is valid UTF-8 holding only characters that Windows-1252 has (as its bytes
// otherwise), then with every letter in upper case.
std::string FoldedName(std::string_view name);

// True when two section or key names are the same name.
bool IniNamesEqual(std::string_view a, std::string_view b);

// True when the text holds characters outside ASCII and all of it is valid
// UTF-8: a text written in UTF-8 rather than in a single-byte encoding.
bool HoldsUtf8Text(std::string_view text);

}  // namespace grulo

#endif  // GRULO_TEXT_CP1252_NAMES_H_
