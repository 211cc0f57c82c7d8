#include "authoring/table_dump.h"

#include <gtest/gtest.h>

#include <string>

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
    std::string text, error;
    ASSERT_TRUE(DumpTable(*TableFile::FromBytes(bytes), c.kind, &text, &error)) << error;
    EXPECT_TRUE(testing::BuiltTable(c.kind, text) == bytes) << TableKindName(c.kind);
  }
}

}  // namespace
}  // namespace grulo
