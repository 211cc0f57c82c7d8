#include "text/cp1252_utf16.h"

#include <gtest/gtest.h>

#include <string>

namespace grulo {
namespace {

TEST(Cp1252Utf16Test, EveryByteComesBack) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  const std::u16string wide = Cp1252ToUtf16(all);
  ASSERT_EQ(wide.size(), 256u);
  EXPECT_EQ(Utf16ToCp1252(wide), all);
}

TEST(Cp1252Utf16Test, CharactersOfTheWindowsRange) {
  struct Case {
    char byte;
    char16_t unit;
  };
  const Case cases[] = {
      {'A', u'A'},           {'\xE9', u'\u00E9'},  // é
      {'\x80', u'\u20AC'},   // euro sign
      {'\x9C', u'\u0153'},   // oe
      {'\x9F', u'\u0178'},   // Y with diaeresis
      {'\x81', u'\u0081'},   // undefined: itself
      {'\xA0', u'\u00A0'},   {'\xFF', u'\u00FF'},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(static_cast<unsigned char>(c.byte)));
    EXPECT_EQ(Cp1252ToUtf16(std::string(1, c.byte)), std::u16string(1, c.unit));
    EXPECT_EQ(Utf16ToCp1252(std::u16string(1, c.unit)), std::string(1, c.byte));
  }
}

TEST(Cp1252Utf16Test, CharactersWindows1252LacksBecomeQuestionMarks) {
  EXPECT_EQ(Utf16ToCp1252(u"a\u0100b"), "a?b");          // A with macron
  EXPECT_EQ(Utf16ToCp1252(u"\u0080"), "?");              // C1 control the table remaps
  EXPECT_EQ(Utf16ToCp1252(u"x\U0001F600y"), "x?y");      // a pair counts once
  EXPECT_EQ(Utf16ToCp1252(std::u16string(1, u'\xD800')), "?");  // a lone half
}

// A path of a UTF-8 grulo.ini names the file of its characters; any other
// text is Windows-1252, as before.
TEST(Cp1252Utf16Test, PathsOfUtf8TextAreReadAsUtf8) {
  const struct {
    std::string_view text;
    std::u16string wide;
  } rows[] = {
      {"C:\\donn\xC3\xA9" "es \xC3\xA9t\xC3\xA9", u"C:\\donn\u00E9es \u00E9t\u00E9"},
      {"\xC5\x91\xF0\x9F\x98\x80", u"\u0151\U0001F600"},  // beyond Windows-1252
      {"C:\\donn\xE9" "es", u"C:\\donn\u00E9es"},  // Windows-1252
      {"\xC3\xA9 \xE9", u"\u00C3\u00A9 \u00E9"},  // not valid UTF-8 as a whole
      {"plain", u"plain"},
  };
  for (const auto& r : rows) EXPECT_EQ(TextToUtf16(r.text), r.wide) << r.text;
}

}  // namespace
}  // namespace grulo
