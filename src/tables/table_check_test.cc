#include "tables/table_check.h"

#include <gtest/gtest.h>

#include <functional>

#include "tables/table_testutil.h"

namespace grulo {
namespace {

using testing::Put16;
using testing::Put32;
using Bytes = std::vector<uint8_t>;

// Nodes 0 root (children 1, 2), 1 a (children 3, 4), 2 to 4 leaves; node n
// at 64 + 6n; NodeBound 88.
Bytes GoodTree() {
  return testing::BuiltTable(TableKind::kTree,
               "version 11\n"
               "root: IndicatorIsOne -> a [01 001 00]\n"
               "a: DurationAtLeast 1 2 -> [02 002 00] [02 003 00]\n");
}

// A000, A001, B00; entries at 5296, records 0 to 3 at 5308.
Bytes GoodDiags() {
  return testing::BuiltTable(TableKind::kDiag, "version 11\nA000 255 11\nA001 255 12\nB00 255 99 38 210\n");
}

// AAAA0001, AAAB0002, ZZZZ9999; entries at 64 + 35152.
Bytes GoodActs() {
  return testing::BuiltTable(TableKind::kAct, "version 11\nAAAA0001 5\nAAAB0002 6\nZZZZ9999 7\n");
}

constexpr size_t kDiagEntries = 96 + 5200;
constexpr size_t kDiagRecords = kDiagEntries + 12;
constexpr size_t kActEntries = 64 + 35152;
size_t Node(int n) { return 64 + 6 * static_cast<size_t>(n); }

struct BrokenCase {
  const char* name;
  TableKind kind;
  std::function<void(Bytes*)> patch;
  Severity severity;
  const char* message;
};

const BrokenCase kBrokenCases[] = {
    // Tree.
    {"short tree", TableKind::kTree, [](Bytes* b) { b->resize(60); }, Severity::kError,
     "fewer than its header and descriptors (64)"},
    {"node size", TableKind::kTree, [](Bytes* b) { (*b)[52] = 13; }, Severity::kError,
     "node size 13: the program refuses"},
    {"no test", TableKind::kTree, [](Bytes* b) { (*b)[Node(1)] = 25; }, Severity::kError,
     "node 1: opcode 25 has no test"},
    // The mask 0x06 selects durations 2 and 3: branches 0 to 3.
    {"limit too low", TableKind::kTree,
     [](Bytes* b) {
       (*b)[Node(1)] = 15;
       (*b)[Node(1) + 1] = 0x06;
     },
     Severity::kError,
     "node 1: BranchLimit 1 cannot admit the branches 0 to 3 of FirstDurationAtLeast"},
    {"branch beyond NodeBound", TableKind::kTree, [](Bytes* b) { Put16(b, Node(1) + 4, 4); },
     Severity::kError, "node 5 (branch 1 of node 1) lies at offset 94, outside 0 to NodeBound 88"},
    {"node not held", TableKind::kTree,
     [](Bytes* b) {
       Put16(b, Node(1) + 4, 4);
       Put32(b, 53, 30);
     },
     Severity::kError, "node 5 (branch 1 of node 1) at offset 94 is not held in full"},
    {"root beyond NodeBound", TableKind::kTree, [](Bytes* b) { Put32(b, 53, 0xFFFFFFFA); },
     Severity::kError, "the root, node 0, lies at offset 64, outside 0 to NodeBound 58"},
    {"cycle without a way out", TableKind::kTree,
     [](Bytes* b) {
       const uint8_t jump[6] = {19, 0, 0, 1, 0, 1};
       std::copy(jump, jump + 6, b->begin() + Node(1));
     },
     Severity::kError, "node 1 leads back to itself without a way out"},
    {"cycle with a way out", TableKind::kTree, [](Bytes* b) { Put16(b, Node(1) + 4, 0); },
     Severity::kWarning, "nodes 0 to 1 form a cycle: a walk that goes round it"},
    {"unreached", TableKind::kTree, [](Bytes* b) { Put16(b, Node(1) + 4, 2); }, Severity::kWarning,
     "nodes never reached (1 in all): 4"},
    {"records beyond NodeBound", TableKind::kTree,
     [](Bytes* b) {
       Put16(b, Node(1) + 4, 2);
       Put32(b, 53, 18);
     },
     Severity::kWarning, "beyond NodeBound 82 that the walk never reads: nodes 4"},
    {"limit admits branches outside", TableKind::kTree, [](Bytes* b) { (*b)[Node(1) + 3] = 3; },
     Severity::kError, "node 1: BranchLimit 3 admits branch 2, which leads outside the node area"},
    {"duration number", TableKind::kTree, [](Bytes* b) { (*b)[Node(1) + 1] = 13; },
     Severity::kError, "node 1: DurationAtLeast reads duration number 13, outside 1 to 12"},
    // Diagnoses.
    {"short diagnoses", TableKind::kDiag, [](Bytes* b) { b->resize(95); }, Severity::kError,
     "fewer than its header and descriptors (96)"},
    {"record size", TableKind::kDiag, [](Bytes* b) { (*b)[84] = 13; }, Severity::kError,
     "record size 13 (descriptor 2): the program refuses"},
    {"result size", TableKind::kDiag, [](Bytes* b) { (*b)[52] = 1; }, Severity::kWarning,
     "result size 1 (descriptor 1) is below 2"},
    {"index decreases", TableKind::kDiag, [](Bytes* b) { Put16(b, 96 + 2 * 50, 0); },
     Severity::kError, "prefix A50: the index end 0 is below the end 2 of the prefix before"},
    {"long range", TableKind::kDiag, [](Bytes* b) { Put16(b, 96 + 2 * 2599, 3 + 16384); },
     Severity::kError, "prefix Z99: 16384 entries, more than 16383"},
    {"entries beyond", TableKind::kDiag, [](Bytes* b) { Put16(b, 96 + 2 * 2599, 100); },
     Severity::kError, "prefix Z99: entries 3 to 99 lie beyond the end of the file"},
    {"duplicate code", TableKind::kDiag, [](Bytes* b) { Put16(b, kDiagEntries + 4, 132); },
     Severity::kError, "code A000 (entry 1): the same code as entry 0"},
    {"record beyond", TableKind::kDiag, [](Bytes* b) { Put16(b, kDiagEntries + 8 + 2, 500); },
     Severity::kError, "code B00 (entry 2): record 500 lies beyond the end of the file"},
    {"record 0 category", TableKind::kDiag, [](Bytes* b) { (*b)[kDiagRecords + 1] = 5; },
     Severity::kError, "record 0, the record of codes not found, has category 5"},
    {"record 0 missing", TableKind::kDiag, [](Bytes* b) { Put32(b, 64 + 25, 100000); },
     Severity::kError, "record 0, the record of codes not found, at offset 100000"},
    {"category 0", TableKind::kDiag, [](Bytes* b) { (*b)[kDiagRecords + 13] = 0; },
     Severity::kWarning, "code A000 (entry 0): record 1 has category 0"},
    {"suffix number", TableKind::kDiag, [](Bytes* b) { Put16(b, kDiagEntries + 8, 1600); },
     Severity::kWarning, "code B00#1600 (entry 2): suffix number 1600 above 1583"},
    {"index outside", TableKind::kDiag, [](Bytes* b) { Put32(b, 32 + 25, 0xFFFF0000u); },
     Severity::kError, "the prefix index (5200 bytes at offset -65536) is not inside the file"},
    // Acts.
    {"short acts", TableKind::kAct, [](Bytes* b) { b->resize(63); }, Severity::kError,
     "fewer than its header and descriptors (64)"},
    {"act index decreases", TableKind::kAct, [](Bytes* b) { Put16(b, 64 + 2 * 1, 0); },
     Severity::kError, "prefix AAB: the index end 0 is below the end 2"},
    {"duplicate act", TableKind::kAct,
     [](Bytes* b) {
       (*b)[kActEntries + 4] = 0;
       (*b)[kActEntries + 6] = 1;
     },
     Severity::kError, "act AAAA0001 (entry 1): the same code as entry 0"},
    {"class 0", TableKind::kAct, [](Bytes* b) { (*b)[kActEntries + 11] = 0; }, Severity::kWarning,
     "act ZZZZ9999 (entry 2): class 0"},
    {"letter", TableKind::kAct, [](Bytes* b) { (*b)[kActEntries] = 32; }, Severity::kWarning,
     "act AAA#32,1 (entry 0): key byte 32 is no upper-case fourth letter"},
    {"number", TableKind::kAct, [](Bytes* b) { Put16(b, kActEntries + 1, 10000); },
     Severity::kWarning, "number 10000 has more than four digits"},
};

CheckReport CheckBytes(TableKind kind, const Bytes& bytes) {
  CheckReport report;
  auto check = kind == TableKind::kTree   ? CheckTreeFile
               : kind == TableKind::kDiag ? CheckDiagFile
                                          : CheckActFile;
  check(*TableFile::FromBytes(bytes), "t", &report);
  return report;
}

Bytes Good(TableKind kind) {
  return kind == TableKind::kTree   ? GoodTree()
         : kind == TableKind::kDiag ? GoodDiags()
                                    : GoodActs();
}

TEST(TableCheckTest, NamesWhatIsBroken) {
  for (TableKind kind : {TableKind::kTree, TableKind::kDiag, TableKind::kAct}) {
    const CheckReport report = CheckBytes(kind, Good(kind));
    EXPECT_TRUE(report.findings.empty()) << FormatFinding(report.findings[0]);
  }
  for (const BrokenCase& c : kBrokenCases) {
    Bytes bytes = Good(c.kind);
    c.patch(&bytes);
    const CheckReport report = CheckBytes(c.kind, bytes);
    bool found = false;
    for (const Finding& f : report.findings) {
      found |= f.severity == c.severity && f.message.find(c.message) != std::string::npos;
    }
    std::string all;
    for (const Finding& f : report.findings) all += FormatFinding(f) + "\n";
    EXPECT_TRUE(found) << c.name << "\n" << all;
    EXPECT_EQ(report.ErrorCount() > 0, c.severity == Severity::kError) << c.name << "\n" << all;
  }
}

}  // namespace
}  // namespace grulo
