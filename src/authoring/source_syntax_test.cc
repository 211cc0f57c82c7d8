#include "authoring/source_syntax.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace grulo {
namespace {

TEST(SplitSourceTest, WordsCommentsAndContinuedLines) {
  const std::string text =
      "# a comment line\n"
      "\n"
      "A00#1600 255 11   # '#' inside a word is no comment\r\n"
      "root: AgeBelow 18 -> [01 001 00] \\\n"
      "   [01 002 00]\n"
      "\t last\tline";
  const std::vector<SourceLine> lines = SplitSource(text);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].number, 3);
  EXPECT_EQ(lines[0].words, (std::vector<std::string_view>{"A00#1600", "255", "11"}));
  EXPECT_EQ(lines[1].number, 4);  // the line where it starts
  EXPECT_EQ(lines[1].words,
            (std::vector<std::string_view>{"root:", "AgeBelow", "18", "->", "[", "01", "001", "00",
                                           "]", "[", "01", "002", "00", "]"}));
  EXPECT_EQ(lines[2].number, 6);
  EXPECT_EQ(lines[2].words, (std::vector<std::string_view>{"last", "line"}));
}

TEST(ParseNumberWordTest, DecimalOrHexadecimalWithinItsRange) {
  const struct {
    const char* word;
    long min, max;
    bool ok;
    long value;
  } kCases[] = {
      {"0", 0, 255, true, 0},       {"255", 0, 255, true, 255},   {"256", 0, 255, false, 0},
      {"0xC0", 0, 255, true, 192},  {"0Xff", 0, 255, true, 255},  {"0x", 0, 255, false, 0},
      {"-1", -5, 5, true, -1},      {"-1", 0, 5, false, 0},       {"12a", 0, 999, false, 0},
      {"", 0, 9, false, 0},         {"1234567890123", 0, 9, false, 0},
  };
  for (const auto& c : kCases) {
    long value = 77;
    EXPECT_EQ(ParseNumberWord(c.word, c.min, c.max, &value), c.ok) << c.word;
    EXPECT_EQ(value, c.ok ? c.value : 77) << c.word;
  }
}

// Fifty errors are shown, then one line says that the rest are not.
TEST(SourceErrorsTest, OneLinePerErrorUpToFifty) {
  SourceErrors errors("d.txt");
  EXPECT_TRUE(errors.ToStatus().ok());
  EXPECT_TRUE(MessageLines(errors.ToStatus()).empty());
  for (int line = 1; line <= 60; ++line) errors.Add(line, "wrong");
  const Status status = errors.ToStatus();
  EXPECT_EQ(status.code(), Status::kInvalidArgument);
  const std::vector<std::string> lines = MessageLines(status);
  ASSERT_EQ(lines.size(), 51u);
  EXPECT_EQ(lines[0], "d.txt:1: wrong");
  EXPECT_EQ(lines[49], "d.txt:50: wrong");
  EXPECT_EQ(lines[50], "d.txt: too many errors, the rest are not shown");
}

}  // namespace
}  // namespace grulo
