#include "authoring/table_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "authoring/table_testutil.h"
#include "authoring/tree_check.h"

namespace grulo {
namespace {

using Bytes = std::vector<uint8_t>;

// Nodes 0 root (children 1, 2), 1 a (children 3, 4), 2 to 4 leaves; node n
// at 64 + 6n; NodeBound 88.
constexpr char kGoodTree[] =
    "version 11\n"
    "root: IndicatorIsOne -> a [01 001 00]\n"
    "a: DurationAtLeast 1 2 -> [02 002 00] [02 003 00]\n";
// A000, A001, B00; entries at 5296, records 0 to 3 at 5308.
constexpr char kGoodDiags[] = "version 11\nA000 255 11\nA001 255 12\nB00 255 99 38 210\n";
// AAAA0001, AAAB0002, ZZZZ9999; entries at 64 + 35152.
constexpr char kGoodActs[] = "version 11\nAAAA0001 5\nAAAB0002 6\nZZZZ9999 7\n";

constexpr size_t kDiagEntries = 96 + 5200;
constexpr size_t kDiagRecords = kDiagEntries + 12;
constexpr size_t kActEntries = 64 + 35152;
constexpr size_t Node(int n) { return 64 + 6 * static_cast<size_t>(n); }

// A big-endian value of 1, 2 or 4 bytes written at an offset; width 0 cuts
// the file to `at` bytes.
struct Patch {
  int width;
  size_t at;
  uint32_t value = 0;
};

constexpr TableKind kTree = TableKind::kTree, kDiag = TableKind::kDiag, kAct = TableKind::kAct;
constexpr Severity kError = Severity::kError, kWarning = Severity::kWarning;

const struct BrokenCase {
  TableKind kind;
  std::vector<Patch> patches;
  Severity severity;
  const char* message;
} kBrokenCases[] = {
    {kTree, {{0, 60}}, kError, "fewer than its header and descriptors (64)"},
    {kTree, {{1, 52, 13}}, kError, "node size 13: the program refuses"},
    {kTree, {{1, Node(1), 25}}, kError, "node 1: opcode 25 has no test"},
    // The mask 0x06 selects durations 2 and 3: branches 0 to 3.
    {kTree, {{1, Node(1), 15}, {1, Node(1) + 1, 0x06}}, kError,
     "node 1: BranchLimit 1 cannot admit the branches 0 to 3 of FirstDurationAtLeast"},
    {kTree, {{2, Node(1) + 4, 4}}, kError,
     "node 5 (branch 1 of node 1) lies at offset 94, outside 0 to NodeBound 88"},
    {kTree, {{2, Node(1) + 4, 4}, {4, 53, 30}}, kError,
     "node 5 (branch 1 of node 1) at offset 94 is not held in full"},
    {kTree, {{4, 53, 0xFFFFFFFA}}, kError,
     "the root, node 0, lies at offset 64, outside 0 to NodeBound 58"},
    {kTree, {{1, Node(1), 19}, {2, Node(1) + 1, 0}, {2, Node(1) + 4, 1}}, kError,
     "node 1 leads back to itself without a way out"},
    {kTree, {{2, Node(1) + 4, 0}}, kWarning,
     "nodes 0 to 1 form a cycle: a walk that goes round it"},
    {kTree, {{2, Node(1) + 4, 2}}, kWarning, "nodes never reached (1 in all): 4"},
    {kTree, {{2, Node(1) + 4, 2}, {4, 53, 18}}, kWarning,
     "beyond NodeBound 82 that the walk never reads: nodes 4"},
    {kTree, {{1, Node(1) + 3, 3}}, kError,
     "node 1: BranchLimit 3 admits branch 2, which leads outside the node area"},
    {kTree, {{1, Node(1) + 1, 13}}, kError,
     "node 1: DurationAtLeast reads duration number 13, outside 1 to 12"},
    {kDiag, {{0, 95}}, kError, "fewer than its header and descriptors (96)"},
    {kDiag, {{1, 84, 13}}, kError, "record size 13 (descriptor 2): the program refuses"},
    {kDiag, {{1, 52, 1}}, kWarning, "result size 1 (descriptor 1) is below 2"},
    {kDiag, {{2, 96 + 2 * 50, 0}}, kError,
     "prefix A50: the index end 0 is below the end 2 of the prefix before"},
    {kDiag, {{2, 96 + 2 * 2599, 3 + 16384}}, kError, "prefix Z99: 16384 entries, more than 16383"},
    {kDiag, {{2, 96 + 2 * 2599, 100}}, kError,
     "prefix Z99: entries 3 to 99 lie beyond the end of the file"},
    {kDiag, {{2, kDiagEntries + 4, 132}}, kError, "code A000 (entry 1): the same code as entry 0"},
    {kDiag, {{2, kDiagEntries + 10, 500}}, kError,
     "code B00 (entry 2): record 500 lies beyond the end of the file"},
    {kDiag, {{1, kDiagRecords + 1, 5}}, kError,
     "record 0, the record of codes not found, has category 5"},
    {kDiag, {{4, 64 + 25, 100000}}, kError,
     "record 0, the record of codes not found, at offset 100000"},
    {kDiag, {{1, kDiagRecords + 13, 0}}, kWarning, "code A000 (entry 0): record 1 has category 0"},
    {kDiag, {{2, kDiagEntries + 8, 1600}}, kWarning,
     "code B00#1600 (entry 2): suffix number 1600 above 1583"},
    {kDiag, {{4, 32 + 25, 0xFFFF0000u}}, kError,
     "the prefix index (5200 bytes at offset -65536) is not inside the file"},
    {kAct, {{0, 63}}, kError, "fewer than its header and descriptors (64)"},
    {kAct, {{2, 64 + 2, 0}}, kError, "prefix AAB: the index end 0 is below the end 2"},
    {kAct, {{1, kActEntries + 4, 0}, {1, kActEntries + 6, 1}}, kError,
     "act AAAA0001 (entry 1): the same code as entry 0"},
    {kAct, {{1, kActEntries + 11, 0}}, kWarning, "act ZZZZ9999 (entry 2): class 0"},
    {kAct, {{1, kActEntries, 32}}, kWarning,
     "act AAA#32,1 (entry 0): key byte 32 is no upper-case fourth letter"},
    {kAct, {{2, kActEntries + 1, 10000}}, kWarning, "number 10000 has more than four digits"},
};

CheckReport CheckBytes(TableKind kind, const Bytes& bytes) {
  CheckReport report;
  auto check = kind == kTree ? CheckTreeFile : kind == kDiag ? CheckDiagFile : CheckActFile;
  check(*TableFile::FromBytes(bytes), "t", &report);
  return report;
}

TEST(TableCheckTest, NamesWhatIsBroken) {
  auto good = [](TableKind kind) {
    return testing::BuiltTable(kind, kind == kTree   ? kGoodTree
                                     : kind == kDiag ? kGoodDiags
                                                     : kGoodActs);
  };
  for (TableKind kind : {kTree, kDiag, kAct}) {
    const CheckReport report = CheckBytes(kind, good(kind));
    EXPECT_TRUE(report.findings.empty()) << FormatFinding(report.findings[0]);
  }
  for (const BrokenCase& c : kBrokenCases) {
    Bytes bytes = good(c.kind);
    for (const Patch& p : c.patches) {
      if (p.width == 0) bytes.resize(p.at);
      for (int i = 0; i < p.width; ++i) {
        bytes[p.at + i] = static_cast<uint8_t>(p.value >> (8 * (p.width - 1 - i)));
      }
    }
    const CheckReport report = CheckBytes(c.kind, bytes);
    bool found = false;
    std::string all;
    for (const Finding& f : report.findings) {
      found |= f.severity == c.severity && f.message.find(c.message) != std::string::npos;
      all += FormatFinding(f) + "\n";
    }
    EXPECT_TRUE(found) << c.message << "\n" << all;
    EXPECT_EQ(report.ErrorCount() > 0, c.severity == kError) << c.message << "\n" << all;
  }
}

}  // namespace
}  // namespace grulo
