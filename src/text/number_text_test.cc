#include "text/number_text.h"

#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <cstdlib>
#include <functional>
#include <random>
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

// Every byte value in every one of the eight places of a row of digits.
TEST(NumberTextTest, EightDigitsTestsEveryPlace) {
  for (int place = 0; place < 8; ++place) {
    for (int byte = 0; byte < 256; ++byte) {
      char text[8] = {'0', '1', '2', '3', '4', '5', '6', '9'};
      text[place] = static_cast<char>(byte);
      EXPECT_EQ(EightDigits(text), byte >= '0' && byte <= '9') << place << " " << byte;
    }
  }
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

// Calls `visit` with every text of 0 to `max_length` characters drawn from
// the alphabet.
void ForEachText(std::string_view alphabet, size_t max_length,
                 const std::function<void(const std::string&)>& visit) {
  std::string text;
  std::function<void()> extend = [&] {
    visit(text);
    if (text.size() == max_length) return;
    for (char c : alphabet) {
      text.push_back(c);
      extend();
      text.pop_back();
    }
  };
  extend();
}

// One byte of each kind that the readers tell apart: white space other than
// the blank, the blank, both signs, digits, a letter, a NUL byte, the bytes
// on either side of the digits, and a byte above 127.
constexpr std::string_view kAlphabet("\t +-079A\0/:\xB0", 12);

// The standard conversion of the C library on a terminated copy, brought
// into the 32-bit range.
int32_t ReferenceNumber(const std::string& text) {
  long value = std::strtol(text.c_str(), nullptr, 10);
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

TEST(NumberTextTest, ReadNumberAgreesWithTheCLibraryOnEveryShortText) {
  int compared = 0;
  ForEachText(kAlphabet, 5, [&](const std::string& text) {
    ASSERT_EQ(ReadNumber(text), ReferenceNumber(text)) << '"' << text << '"';
    ++compared;
  });
  EXPECT_GT(compared, 200000);
}

TEST(NumberTextTest, ReadNumberSaturatesLikeTheCLibrary) {
  const std::string texts[] = {"2147483647", "2147483648", "-2147483648", "-2147483649",
                               " +000000000002147483647x", "99999999999999999999999",
                               "-99999999999999999999999", "4294967296", "-4294967295",
                               "999999999", "9999999999", "123456789A", "0000000002147483648"};
  for (const std::string& text : texts) {
    EXPECT_EQ(ReadNumber(text), ReferenceNumber(text)) << text;
  }
}

TEST(NumberTextTest, ReadNumberAgreesWithTheCLibraryOnLongRunsOfDigits) {
  std::mt19937 random(17);
  for (int i = 0; i < 100000; ++i) {
    std::string text;
    const size_t length = random() % 15;
    for (size_t p = 0; p < length; ++p) {
      text += random() % 12 == 0 ? kAlphabet[random() % kAlphabet.size()]
                                 : static_cast<char>('0' + random() % 10);
    }
    ASSERT_EQ(ReadNumber(text), ReferenceNumber(text)) << '"' << text << '"';
  }
}

// ParseCount by its three rules, the reading itself by the C library.
int32_t ReferenceCount(const std::string& text) {
  std::string terminated = text.substr(0, text.find('\0'));
  if (terminated.empty()) return 0;
  if (std::isdigit(static_cast<unsigned char>(terminated[0]))) return ReferenceNumber(terminated);
  if (terminated[0] != ' ') return 0;
  size_t first = terminated.find_first_not_of(' ');
  if (first == std::string::npos) return 0;
  return ReferenceNumber(terminated.substr(first));
}

TEST(NumberTextTest, ParseCountFollowsItsRulesOnEveryShortText) {
  ForEachText(kAlphabet, 5, [&](const std::string& text) {
    ASSERT_EQ(ParseCount(text), ReferenceCount(text)) << '"' << text << '"';
  });
}

TEST(NumberTextTest, ClassTableAgreesWithTheCLocale) {
  for (int c = 0; c < 256; ++c) {
    const char ch = static_cast<char>(c);
    const bool ascii = c < 128;
    EXPECT_EQ(IsDigit(ch), ascii && std::isdigit(c) != 0) << c;
    EXPECT_EQ(IsLetter(ch), ascii && std::isalpha(c) != 0) << c;
    EXPECT_EQ(IsWhiteSpace(ch), ascii && std::isspace(c) != 0) << c;
    EXPECT_EQ((ClassesOf(ch) & kBlankClass) != 0, c == ' ') << c;
    EXPECT_EQ((ClassesOf(ch) & kPlusClass) != 0, c == '+') << c;
    const bool a_or_b = c == 'A' || c == 'a' || c == 'B' || c == 'b';
    EXPECT_EQ((ClassesOf(ch) & kAOrBClass) != 0, a_or_b) << c;
  }
}

TEST(NumberTextTest, BlankMeansSpacesOnly) {
  EXPECT_TRUE(IsBlank(""));
  EXPECT_TRUE(IsBlank("      "));
  EXPECT_FALSE(IsBlank("     \t"));
  EXPECT_FALSE(IsBlank(std::string_view("  \0 ", 4)));
  EXPECT_FALSE(IsBlank("A     "));
  // Every length up to 40, with one other character at every place: read
  // eight at a time, the rest one by one, nothing missed.
  for (size_t n = 0; n <= 40; ++n) {
    const std::string blanks(n, ' ');
    EXPECT_TRUE(IsBlank(blanks)) << n;
    for (size_t at = 0; at < n; ++at) {
      for (char c : {'\0', '0', '\xA0', '!'}) {
        std::string field = blanks;
        field[at] = c;
        EXPECT_FALSE(IsBlank(field)) << n << " " << at;
      }
    }
  }
}

}  // namespace
}  // namespace grulo
