#include "text/cp1252_names.h"

#include <gtest/gtest.h>

#include <string>

namespace grulo {
namespace {

TEST(Cp1252NamesTest, NameComparisonFoldsWindows1252Letters) {
  EXPECT_TRUE(IniNamesEqual("R\xE9sultats", "R\xC9SULTATS"));
  EXPECT_TRUE(IniNamesEqual("R\xE9sultats", "r\xC3\xA9sultats"));
  EXPECT_TRUE(IniNamesEqual("\x9A\x9E", "\x8A\x8E"));
  EXPECT_FALSE(IniNamesEqual("R\xE9sultats", "Resultats"));
  EXPECT_FALSE(IniNamesEqual("\xF7", "\xD7"));
  // A name that is no valid UTF-8 compares by its bytes.
  EXPECT_TRUE(IniNamesEqual("\xC3", "\xE3"));
  EXPECT_FALSE(IniNamesEqual("\xC3\xA9", "\xC3"));
  EXPECT_TRUE(IniNamesEqual("\xE2\x82\xAC", "\x80"));  // the euro sign
  // A character that Windows-1252 lacks leaves the name as its bytes.
  EXPECT_FALSE(IniNamesEqual("\xC4\x80", "A"));
  EXPECT_TRUE(IniNamesEqual("\xC4\x80", "\xE4\x80"));
}

TEST(Cp1252NamesTest, Utf8SpellingOfWindows1252Text) {
  struct Case {
    std::string cp1252;
    std::string utf8;
  } cases[] = {
      {"R\xE9sultats", "R\xC3\xA9sultats"},
      {"G\xE9n\xE9ral", "G\xC3\xA9n\xC3\xA9ral"},
      {"\x80\x9F\xFF", "\xE2\x82\xAC\xC5\xB8\xC3\xBF"},
      {"\x81", "\xC2\x81"},  // undefined in Windows-1252: kept as its own value
      {std::string("a\0b", 3), std::string("a\0b", 3)},
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Cp1252ToUtf8(c.cp1252), c.utf8) << c.cp1252;
    if (c.cp1252.find('\x81') == std::string::npos) {
      EXPECT_TRUE(IniNamesEqual(c.cp1252, c.utf8)) << c.cp1252;
    }
  }
}

TEST(Cp1252NamesTest, TellsUtf8TextFromSingleByteText) {
  struct Case {
    const char* text;
    bool utf8;
  } cases[] = {
      {"[G\xC3\xA9n\xC3\xA9ral]\r\nFicEnt=a\r\n", true},
      {"\xEF\xBB\xBF[S]\nK=v\n", true},              // a byte order mark
      {"K=\xF0\x9F\x98\x80\n", true},                // four bytes
      {"[G\xE9n\xE9ral]\r\n", false},                // Windows-1252
      {"[General]\r\nFicEnt=a\r\n", false},          // ASCII only: either
      {"ok \xC3\xA9 then \xE9", false},              // mixed: not UTF-8
      {"\xC0\xA9", false},                           // overlong
      {"\xED\xA0\x80", false},                       // a surrogate
      {"\xC3", false},                               // cut short
  };
  for (const Case& c : cases) EXPECT_EQ(HoldsUtf8Text(c.text), c.utf8) << c.text;
}

}  // namespace
}  // namespace grulo
