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

// What a person reads: UTF-8 stays, every other byte is its Windows-1252
// character, so a message that joins texts of both kinds reads right, and a
// text shown twice does not change.
TEST(Cp1252TextTest, DisplayTextKeepsUtf8AndConvertsTheRest) {
  const struct {
    std::string_view in;
    std::string_view out;
  } rows[] = {
      {"plain 'text'", "plain 'text'"},
      {"[G\xE9n\xE9ral]", "[G\xC3\xA9n\xC3\xA9ral]"},
      {"[G\xC3\xA9n\xC3\xA9ral]", "[G\xC3\xA9n\xC3\xA9ral]"},
      {"/home/\xC3\xA9t\xC3\xA9/donn\xE9" "es", "/home/\xC3\xA9t\xC3\xA9/donn\xC3\xA9" "es"},
      {"\xF0\x9F\x98\x80 \x80", "\xF0\x9F\x98\x80 \xE2\x82\xAC"},
      {"\xC3", "\xC3\x83"},                      // a sequence cut short
      {"\xA9\xC0\xAF", "\xC2\xA9\xC3\x80\xC2\xAF"},  // a lone continuation, an overlong
      {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},  // a surrogate
  };
  for (const auto& r : rows) {
    EXPECT_EQ(DisplayText(r.in), r.out) << r.in;
    EXPECT_EQ(DisplayText(r.out), r.out) << r.in;
  }
  EXPECT_EQ(Quoted("week 12.rss"), "'week 12.rss'");
}

}  // namespace
}  // namespace grulo
