#include "text/cp1252_names.h"

#include <cstdint>

namespace grulo {
namespace {

// Decodes the UTF-8 sequence at text[*pos]: its code point, *pos moved past
// it; false (and *pos unchanged) for an invalid or overlong sequence or a
// surrogate.
bool DecodeUtf8(std::string_view text, size_t* pos, uint32_t* code_point) {
  unsigned char c = static_cast<unsigned char>(text[*pos]);
  size_t extra;
  uint32_t value;
  uint32_t lowest;
  if (c < 0x80) {
    value = c;
    extra = 0;
    lowest = 0;
  } else if (c >= 0xC2 && c <= 0xDF) {
    value = c & 0x1F;
    extra = 1;
    lowest = 0x80;
  } else if (c >= 0xE0 && c <= 0xEF) {
    value = c & 0x0F;
    extra = 2;
    lowest = 0x800;
  } else if (c >= 0xF0 && c <= 0xF4) {
    value = c & 0x07;
    extra = 3;
    lowest = 0x10000;
  } else {
    return false;  // a continuation byte or a lead that no valid text has
  }
  if (text.size() - *pos <= extra) return false;
  for (size_t k = 1; k <= extra; ++k) {
    unsigned char cc = static_cast<unsigned char>(text[*pos + k]);
    if ((cc & 0xC0) != 0x80) return false;
    value = (value << 6) | (cc & 0x3F);
  }
  if (value < lowest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
  *code_point = value;
  *pos += extra + 1;
  return true;
}

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
