#include "record/working_record.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace grulo
