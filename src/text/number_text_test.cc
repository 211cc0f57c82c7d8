#include "text/number_text.h"

#include <gtest/gtest.h>

#include <string>

namespace grulo {
namespace {

TEST(NumberTextTest, ReadsLikeTheStandardConversion) {
  struct Case {
    std::string text;
    int32_t value;
  } cases[] = {
      {"12", 12},     {" 5", 5},      {"5 ", 5},       {"  ", 0},
      {"", 0},        {"+7", 7},      {"-7", -7},      {"--7", 0},
      {"\t\r\v\f 9", 9}, {"12AB", 12}, {"A1", 0},       {"- 1", 0},
      {std::string("1\0" "2", 3), 1}, {"99999999999", 2147483647},
      {"-99999999999", -2147483647 - 1},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(NumberTextTest, ClassesIgnoreBytesAbove127) {
  for (int c = 128; c < 256; ++c) {
    char ch = static_cast<char>(c);
    EXPECT_FALSE(IsDigit(ch));
    EXPECT_FALSE(IsLetter(ch));
    EXPECT_FALSE(IsWhiteSpace(ch));
    EXPECT_EQ(ToUpperAscii(ch), ch);
  }
  EXPECT_EQ(ToUpperAscii('q'), 'Q');
  EXPECT_EQ(ToUpperAscii('['), '[');
}

TEST(NumberTextTest, ParseCountDiffersFromThePlainReadingOnSignsAndLetters) {
  struct Case {
    std::string text;
    int32_t value;
  } cases[] = {
      {"  12", 12}, {"0045", 45}, {"12AB", 12}, {"    ", 0}, {"-5", 0}, {" -5", -5}, {"A1", 0},
      {"7 ", 7},    {"+7", 0},    {" +7", 7},   {"\t7", 0},  {" \t7", 7}, {"", 0},
      {std::string("\0" "7", 2), 0},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseCount(c.text), c.value) << "'" << c.text << "'";
}

}  // namespace
}  // namespace grulo
