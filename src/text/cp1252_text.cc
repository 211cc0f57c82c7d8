#include "text/cp1252_text.h"

#include <array>
#include <cstdint>

namespace grulo {
namespace {

// The characters of the bytes 0x80 to 0x9F; the undefined ones keep their
// own value.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

// The characters below U+10000 only: those of Windows-1252.
void AppendUtf8(char32_t c, std::string* out) {
  if (c < 0x80) {
    *out += static_cast<char>(c);
  } else if (c < 0x800) {
    *out += static_cast<char>(0xC0 | (c >> 6));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    *out += static_cast<char>(0xE0 | (c >> 12));
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

char16_t Cp1252Character(unsigned char byte) {
  return byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : char16_t{byte};
}

std::string Cp1252ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char byte : text) AppendUtf8(Cp1252Character(static_cast<unsigned char>(byte)), &out);
  return out;
}

std::string DisplayText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t start = pos;
    uint32_t code_point;
    if (DecodeUtf8(text, &pos, &code_point)) {
      out.append(text.substr(start, pos - start));
    } else {
      AppendUtf8(Cp1252Character(static_cast<unsigned char>(text[pos])), &out);
      ++pos;
    }
  }
  return out;
}

std::string Quoted(std::string_view text) {
  std::string quoted = "'";
  quoted += text;
  quoted += '\'';
  return quoted;
}

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

int Cp1252ByteOf(char32_t code_point) {
  if (code_point < 0x80 || (code_point >= 0xA0 && code_point <= 0xFF)) {
    return static_cast<int>(code_point);
  }
  // The defined characters of 0x80 to 0x9F all lie above U+00FF.
  if (code_point <= 0xFF) return -1;
  for (size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] == code_point) return 0x80 + static_cast<int>(i);
  }
  return -1;
}

}  // namespace grulo
