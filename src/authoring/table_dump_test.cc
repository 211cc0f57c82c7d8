#include "authoring/table_dump.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "authoring/table_testutil.h"
#include "tests/process_testutil.h"

namespace grulo {
namespace {

// A tree that uses all twenty tests.
constexpr char kTreeSource[] =
    "version 11\nnode-size 8\n"
    "root: FirstCategoryBranch -> a b c d e f g h i j k l m n\n"
    "a: AgeBelow 18 -> [01 100 00] [01 101 00]\n"
    "b: FirstDiagBlankPair 38 210 -> a2 [01 102 00]\n"
    "a2: leaf 02 002 00\n"
    "c: ActClassPresent 3 -> [01 103 00] [01 104 00]\n"
    "d: BranchZero -> [01 105 00]\n"
    "e: PairInAnyDiag 1 2 -> [01 106 00] [01 107 00]\n"
    "f: ScoreSumAtMost 10 -> [01 108 00] [01 109 00]\n"
    "g: BranchZero/7 -> [01 110 00]\n"
    "h: IndicatorIsOne -> [01 111 00] [01 112 00]\n"
    "i: RefDelayWithin 30 -> [01 113 00] [01 114 00]\n"
    "j: DurationAtLeast 1 2 -> [01 115 00] [01 116 00]\n"
    "k: OtherDurationAtLeast 3 4 -> [01 117 00] [01 118 00]\n"
    "l: BranchZero/12 -> x\n"
    "m: DailyDurationAtLeast 5 6 -> [01 119 00] [01 120 00]\n"
    "n: OtherDailyDurationAtLeast 7 8 -> p q\n"
    "p: FirstDurationAtLeast 255 1 -> [02 000 00] [02 001 00] [02 002 00] [02 003 00] \\\n"
    "   [02 004 00] [02 005 00] [02 006 00] [02 007 00] [02 008 00]\n"
    "q: FirstDailyDurationAtLeast 3 2 -> [03 000 00] [03 001 00] [03 002 00] [03 003 00] \\\n"
    "   [03 004 00] [03 005 00] [03 006 00] [03 007 00] [03 008 00]\n"
    "x: PresenceBelow 3 -> y [01 121 00]\n"
    "y: PairInTwoDiags 38 212 -> z [01 122 00]\n"
    "z: Jump -> a2 extra 0102\n";

TEST(DumpTest, BuildOfTheDumpGivesTheSameBytes) {
  // The demo sources: diagnosis and act tables of a realistic make-up.
  const std::string demo = std::string(GRULO_SOURCE_DIR) + "/data/demo/";
  const struct {
    TableKind kind;
    std::string source;
  } kCases[] = {{TableKind::kTree, kTreeSource},
                {TableKind::kDiag, test::ReadFileBytes(demo + "diag.txt")},
                {TableKind::kAct, test::ReadFileBytes(demo + "acts.txt")}};
  for (const auto& c : kCases) {
    const std::vector<uint8_t> bytes = testing::BuiltTable(c.kind, c.source);
    std::string text;
    Status round_trip;
    const Status status =
        DumpTable(*TableFile::FromBytes(bytes), "t.tab", c.kind, &text, &round_trip);
    ASSERT_TRUE(status.ok()) << status.message();
    EXPECT_TRUE(round_trip.ok()) << round_trip.message();
    EXPECT_TRUE(testing::BuiltTable(c.kind, text) == bytes) << TableKindName(c.kind);
  }
}

// A range that the lookups do not search is not listed; a note at the top of
// the text says why, in the words of the check.
TEST(DumpTest, UnusableRangesAreNotedNotListed) {
  // AAAA0001 and AAAB0002 in prefix AAA (entries 0 and 1), ZZZZ9999 in ZZZ
  // (entry 2); the index at 64, the entries at 64 + 35152.
  const std::vector<uint8_t> good =
      testing::BuiltTable(TableKind::kAct, "version 11\nAAAA0001 5\nAAAB0002 6\nZZZZ9999 7\n");
  constexpr size_t kIndex = 64;
  constexpr size_t kZZZ = kIndex + 2 * 17575;
  const struct {
    const char* name;
    std::function<void(std::vector<uint8_t>*)> patch;
    const char* note;
    std::vector<const char*> listed, not_listed;
  } kCases[] = {
      {"index decreasing at AAB", [](std::vector<uint8_t>* b) { testing::Put16(b, kIndex + 2, 0); },
       "prefix AAB: the index end 0 is below the end 2 of the prefix before",
       // AAC's range runs from 0 to 2 again: the lookups find AAA's entries there.
       {"AAAA0001", "AACA0001", "AACB0002", "ZZZZ9999"},
       {"AAB"}},
      {"range of 16384 entries",
       [](std::vector<uint8_t>* b) {
         testing::Put16(b, kZZZ, 2 + 16384);
         b->resize(kIndex + 35152 + 4 * (2 + 16384), 0);
       },
       "prefix ZZZ: 16384 entries, more than 16383",
       {"AAAA0001", "AAAB0002"},
       {"ZZZ"}},
      {"range beyond the file", [](std::vector<uint8_t>* b) { testing::Put16(b, kZZZ, 100); },
       "prefix ZZZ: entries 2 to 99 lie beyond the end of the file",
       {"AAAA0001", "AAAB0002"},
       {"ZZZ"}},
  };
  for (const auto& c : kCases) {
    std::vector<uint8_t> bytes = good;
    c.patch(&bytes);
    std::string text;
    Status round_trip;
    ASSERT_TRUE(
        DumpTable(*TableFile::FromBytes(bytes), "t.tab", TableKind::kAct, &text, &round_trip).ok());
    EXPECT_NE(round_trip.message().find(std::string("t.tab: building this text does not give "
                                                    "the same bytes as the file it was read "
                                                    "from: ") +
                                        c.note),
              std::string::npos)
        << round_trip.message();
    EXPECT_NE(text.find(std::string("# note: ") + c.note), std::string::npos)
        << c.name << "\n" << text;
    const std::string entries = text.substr(text.find("# code"));
    for (const char* code : c.listed) {
      EXPECT_NE(entries.find(std::string("\n") + code), std::string::npos) << c.name << ": " << code;
    }
    for (const char* code : c.not_listed) {
      EXPECT_EQ(entries.find(std::string("\n") + code), std::string::npos) << c.name << ": " << code;
    }
  }
}

}  // namespace
}  // namespace grulo
