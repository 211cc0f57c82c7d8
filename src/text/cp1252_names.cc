#include "text/cp1252_names.h"

#include <cstdint>

namespace grulo {
namespace {

// The Windows-1252 text that `name` spells in UTF-8; false when `name` is not
// valid UTF-8 or holds a character that Windows-1252 lacks.
bool Utf8ToCp1252(std::string_view name, std::string* out) {
  out->clear();
  size_t pos = 0;
  while (pos < name.size()) {
    uint32_t code_point;
    if (!DecodeUtf8(name, &pos, &code_point)) return false;
    int byte = Cp1252ByteOf(code_point);
    if (byte < 0) return false;
    out->push_back(static_cast<char>(byte));
  }
  return true;
}

// Upper case of a Windows-1252 letter; other bytes unchanged.
char FoldCp1252(char ch) {
  unsigned char c = static_cast<unsigned char>(ch);
  if (c >= 'a' && c <= 'z') return static_cast<char>(c - 0x20);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char>(c - 0x20);
  switch (c) {
    case 0x9A: return '\x8A';  // s with caron
    case 0x9C: return '\x8C';  // oe
    case 0x9E: return '\x8E';  // z with caron
    case 0xFF: return '\x9F';  // y with diaeresis
    default: return ch;
  }
}

}  // namespace

std::string FoldedName(std::string_view name) {
  std::string folded;
  bool has_high = false;
  for (char c : name) has_high |= static_cast<unsigned char>(c) >= 0x80;
  if (!has_high || !Utf8ToCp1252(name, &folded)) folded.assign(name);
  for (char& c : folded) c = FoldCp1252(c);
  return folded;
}

bool IniNamesEqual(std::string_view a, std::string_view b) {
  return FoldedName(a) == FoldedName(b);
}

bool HoldsUtf8Text(std::string_view text) {
  bool beyond_ascii = false;
  size_t pos = 0;
  while (pos < text.size()) {
    uint32_t code_point;
    if (!DecodeUtf8(text, &pos, &code_point)) return false;
    beyond_ascii |= code_point >= 0x80;
  }
  return beyond_ascii;
}

}  // namespace grulo
