#include "record/working_record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

namespace grulo {
namespace {

// A line of the given act count whose every position holds a character that
// tells where it came from ('0' onwards: no '+' among them).
std::string PatternLine(int acts) {
  std::string line(kSummaryBaseLength + kActCodeLength * acts, ' ');
  for (size_t i = 0; i < line.size(); ++i) line[i] = static_cast<char>('0' + i % 75);
  return line;
}

TEST(WorkingRecordTest, FieldsMoveToTheirPlaces) {
  std::string line = PatternLine(2);
  WorkingRecord wr;
  BuildWorkingRecord(line, &wr);
  EXPECT_EQ(std::string(wr.bytes.data(), 99), line.substr(0, 99));
  for (int i = 0; i < kDiagSlotCount; ++i) {
    std::string slot = line.substr(99 + 8 * i, 6);
    EXPECT_EQ(std::string(wr.Diag(i)), slot) << i;
  }
  EXPECT_EQ(std::string(wr.Field(wr_field::kFiller2)), line.substr(283, 3));
  EXPECT_EQ(std::string(wr.Field(wr_field::kScores)), line.substr(286, 6));
  EXPECT_EQ(std::string(wr.Field(wr_field::kIndicator)), line.substr(292, 1));
  EXPECT_EQ(std::string(wr.Field(wr_field::kDurations)), line.substr(293, 48));
  EXPECT_EQ(std::string(wr.Duration(1)), line.substr(293, 4));
  EXPECT_EQ(std::string(wr.Duration(12)), line.substr(337, 4));
  EXPECT_EQ(std::string(wr.Field(wr_field::kActCount)), line.substr(341, 2));
  EXPECT_EQ(std::string(wr.bytes.data() + 295, 2), line.substr(341, 2));  // 46 forward
}

TEST(WorkingRecordTest, TrailingPlusSignsOfDiagnosesBecomeBlanks) {
  struct Case {
    const char* before;
    const char* after;
  } cases[] = {
      {"A41+++", "A41   "}, {"Z+++++", "Z+    "}, {"S72+0 ", "S72+0 "}, {"I10+ +", "I10+  "},
      {"A0+1++", "A0+1  "}, {"++++++", "++    "}, {"+A++++", "+A    "},
  };
  for (const Case& c : cases) {
    std::string line(kSummaryBaseLength, ' ');
    line.replace(99 + 8 * 5, 8, std::string(c.before) + "XY");
    WorkingRecord wr;
    BuildWorkingRecord(line, &wr);
    EXPECT_EQ(std::string(wr.Diag(5)), c.after) << c.before;
  }
}

TEST(WorkingRecordTest, ShortLineLeavesZeroBytesAndNoOverread) {
  std::string line(100, 'A');
  WorkingRecord wr;
  wr.bytes.fill('#');
  BuildWorkingRecord(line, &wr);
  EXPECT_EQ(wr.bytes[99], 'A');
  EXPECT_EQ(wr.bytes[100], '\0');
  EXPECT_EQ(wr.bytes[296], '\0');
}

// The working record by its rule, built with strings.
std::string ReferenceRecord(std::string line) {
  line.resize(std::max<size_t>(line.size(), kSummaryBaseLength), '\0');
  std::string record = line.substr(0, 99);
  for (int i = 0; i < kDiagSlotCount; ++i) {
    std::string code = line.substr(99 + 8 * i, 6);
    for (int p = 5; p >= 2 && code[p] == '+'; --p) code[p] = ' ';
    record += code;
  }
  return record + line.substr(283, 60);
}

TEST(WorkingRecordTest, EveryDiagnosisPatternOfPlusSignsInEverySlot) {
  const char kinds[] = {'+', ' ', 'A'};
  std::string line = PatternLine(0);
  WorkingRecord wr;
  for (int slot = 0; slot < kDiagSlotCount; ++slot) {
    for (int pattern = 0; pattern < 729; ++pattern) {
      std::string code;
      for (int p = 0, rest = pattern; p < 6; ++p, rest /= 3) code += kinds[rest % 3];
      line.replace(99 + 8 * slot, 6, code);
      wr.bytes.fill('#');
      BuildWorkingRecord(line, &wr);
      ASSERT_EQ(std::string(wr.bytes.data(), wr.bytes.size()), ReferenceRecord(line))
          << "slot " << slot << " '" << code << "'";
    }
  }
}

TEST(WorkingRecordTest, LinesOfEveryLengthWithAnyBytes) {
  std::mt19937 random(3);
  WorkingRecord wr;
  for (size_t length = 0; length <= kSummaryBaseLength + 3 * kActCodeLength; ++length) {
    std::string line(length, ' ');
    for (char& c : line) c = "+ A0\0\xE9"[random() % 6];
    wr.bytes.fill('#');
    BuildWorkingRecord(line, &wr);
    ASSERT_EQ(std::string(wr.bytes.data(), wr.bytes.size()), ReferenceRecord(line)) << length;
  }
}

}  // namespace
}  // namespace grulo
