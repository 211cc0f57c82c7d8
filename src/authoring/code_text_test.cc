#include "authoring/code_text.h"

#include <gtest/gtest.h>

#include <string>

namespace grulo {
namespace {

// The keys are worked out by hand: prefix (letter - 'A') x 100 + the two
// digits; suffix v0 x 132 + v1 x 11 + v2, v blank 0, digit d d + 1, '+' 11.
TEST(DiagCodeTextTest, ReadsAndWritesEveryForm) {
  const struct {
    const char* text;
    int prefix, suffix;
    const char* canonical;  // the text written back
    const char* field;      // the six characters of a summary, "" for none
  } kCases[] = {
      {"A000", 0, 132, "A000", "A000  "},
      {"Z00", 2500, 0, "Z00", "Z00   "},
      {"A09+0", 9, 1463, "A09+0", "A09+0 "},
      {"A00_1", 0, 22, "A00_1", "A00 1 "},
      {"A00_1_", 0, 22, "A00_1", "A00 1 "},
      {"M12+5", 1212, 1518, "M12+5", "M12+5 "},
      {"B99++9", 199, 1583, "B99++9", "B99++9"},
      {"A00#1600", 0, 1600, "A00#1600", ""},
      {"A00#0", 0, 0, "A00", "A00   "},
  };
  for (const auto& c : kCases) {
    int prefix = -1, suffix = -1;
    ASSERT_TRUE(ParseDiagCode(c.text, &prefix, &suffix)) << c.text;
    EXPECT_EQ(prefix, c.prefix) << c.text;
    EXPECT_EQ(suffix, c.suffix) << c.text;
    EXPECT_EQ(DiagCodeText(prefix, suffix), c.canonical) << c.text;
    EXPECT_EQ(DiagCodeField(prefix, suffix), c.field) << c.text;
  }
  for (const char* refused : {"a000", "A0", "AB0", "A00+++", "A001234", "A00#", "A00#65536",
                              "A00#1x", "A00-", "A00 1"}) {
    int prefix = 7, suffix = 7;
    EXPECT_FALSE(ParseDiagCode(refused, &prefix, &suffix)) << refused;
    EXPECT_EQ(prefix, 7) << refused;  // nothing set
  }
  EXPECT_EQ(DiagCodeText(2600, 0), "?2600");
  EXPECT_EQ(DiagCodeField(2600, 0), "");
  EXPECT_EQ(DiagPrefixText(1212), "M12");
  EXPECT_EQ(DiagPrefixText(-3), "?-3");
}

TEST(ActCodeTextTest, ReadsAndWritesEveryForm) {
  const struct {
    const char* text;
    int prefix, letter, number;
    const char* canonical;
  } kCases[] = {
      {"AAFA0010", 5, 0, 10, "AAFA0010"},
      {"ZZZZ9999", 17575, 25, 9999, "ZZZZ9999"},
      {"BAAC0001", 676, 2, 1, "BAAC0001"},
      {"AAF#32,10", 5, 32, 10, "AAF#32,10"},
      {"ABC#0,65535", 28, 0, 65535, "ABC#0,65535"},
      {"ABC#2,7", 28, 2, 7, "ABCC0007"},
  };
  for (const auto& c : kCases) {
    int prefix = -1;
    uint8_t letter = 99;
    uint16_t number = 99;
    ASSERT_TRUE(ParseActCode(c.text, &prefix, &letter, &number)) << c.text;
    EXPECT_EQ(prefix, c.prefix) << c.text;
    EXPECT_EQ(letter, c.letter) << c.text;
    EXPECT_EQ(number, c.number) << c.text;
    EXPECT_EQ(ActCodeText(prefix, letter, number), c.canonical) << c.text;
  }
  for (const char* refused : {"AAFA001", "AAFA00100", "AAFa0010", "aaaa0001", "AAF#256,1",
                              "AAF#1", "AAF#1,65536", "AAFA00x0"}) {
    int prefix = 7;
    uint8_t letter = 7;
    uint16_t number = 7;
    EXPECT_FALSE(ParseActCode(refused, &prefix, &letter, &number)) << refused;
    EXPECT_EQ(prefix, 7) << refused;
  }
  EXPECT_EQ(ActCodeText(-1, 0, 0), "?-1");
  EXPECT_EQ(ActPrefixText(5), "AAF");
}

}  // namespace
}  // namespace grulo
