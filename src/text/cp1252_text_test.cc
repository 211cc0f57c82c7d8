#include "text/cp1252_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace grulo {
namespace {

TEST(Cp1252TextTest, EveryByteBecomesOneCharacter) {
  const struct {
    std::string_view in;
    std::string_view out;
  } rows[] = {
      {"M04 abc", "M04 abc"},
      {"n\xB0", "n\xC2\xB0"},  // degree sign
      {"G\xE9n\xE9ral", "G\xC3\xA9n\xC3\xA9ral"},
      {"\x80", "\xE2\x82\xAC"},          // euro sign
      {"\x92", "\xE2\x80\x99"},          // right single quotation mark
      {"\x81\x9D", "\xC2\x81\xC2\x9D"},  // undefined: control characters
      {"\xFF", "\xC3\xBF"},
      {std::string_view("a\0b", 3), std::string_view("a\0b", 3)},
  };
  for (const auto& r : rows) EXPECT_EQ(Cp1252ToUtf8(r.in), r.out) << r.in;
}

// Every defined byte is found again from its character; the characters of no
// byte (the five controls of the undefined bytes, U+0100 and above outside
// the table) give -1.
TEST(Cp1252TextTest, ByteOfEveryCharacterTheEncodingHas) {
  for (int byte = 0; byte < 256; ++byte) {
    const bool undefined = byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 ||
                           byte == 0x9D;
    const std::string utf8 = Cp1252ToUtf8(std::string(1, static_cast<char>(byte)));
    char32_t c = static_cast<unsigned char>(utf8[0]);
    if (utf8.size() == 2) c = ((c & 0x1F) << 6) | (utf8[1] & 0x3F);
    if (utf8.size() == 3) c = ((c & 0x0F) << 12) | ((utf8[1] & 0x3F) << 6) | (utf8[2] & 0x3F);
    EXPECT_EQ(Cp1252ByteOf(c), undefined ? -1 : byte) << byte;
  }
  for (char32_t c : {char32_t{0x100}, char32_t{0x2028}, char32_t{0xFFFD}, char32_t{0x1F600}}) {
    EXPECT_EQ(Cp1252ByteOf(c), -1) << static_cast<uint32_t>(c);
  }
}

}  // namespace
}  // namespace grulo
