#include "text/cp1252_text.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace grulo
