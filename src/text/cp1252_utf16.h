// Windows-1252 text and UTF-16, the encoding of the wide-character calls of
// Windows and of the files its editors save as "Unicode".

#ifndef GRULO_TEXT_CP1252_UTF16_H_
#define GRULO_TEXT_CP1252_UTF16_H_

#include <string>
#include <string_view>

namespace grulo {

// Each byte as its Windows-1252 character; the five bytes that Windows-1252
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the control
// characters of the same value, as Windows converts them, so that every byte
// comes back from Utf16ToCp1252.
std::u16string Cp1252ToUtf16(std::string_view text);

// Each UTF-16 code unit as its Windows-1252 byte; a character that
// Windows-1252 lacks (a surrogate pair counts as one) becomes '?'.
std::string Utf16ToCp1252(std::u16string_view text);

// The UTF-16 of a path or name that may come from a UTF-8 file (grulo.ini
// saved in UTF-8, as Notepad saves it by default): a text that is valid
// UTF-8 and holds characters beyond ASCII is read as UTF-8, any other as
// Windows-1252 (as Cp1252ToUtf16).
std::u16string TextToUtf16(std::string_view text);

}  // namespace grulo

#endif  // GRULO_TEXT_CP1252_UTF16_H_
