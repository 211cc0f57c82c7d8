#include "tables/table_dump.h"

#include <gtest/gtest.h>

#include <random>

#include "tables/big_endian.h"
#include "tables/table_check.h"
#include "tables/table_source.h"
#include "tables/table_testutil.h"

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

// Diagnosis and act sources of a realistic make-up, drawn with a fixed seed.
std::string DiagSource(int codes) {
  std::mt19937 random(4);
  std::string text = "version 11\nrecord-size 12\n";
  const char kSuffix[] = "0123456789+";
  for (int i = 0; i < codes; ++i) {
    const int p = static_cast<int>(random() % 2600);
    std::string code = DiagCodeText(p, 0);
    for (int n = static_cast<int>(random() % 4); n > 0; --n) code += kSuffix[random() % 10];
    const int kind = static_cast<int>(random() % 40);  // few distinct records
    text +=
        code + " " + std::to_string(kind % 2 ? 255 : 0xC0) + " " + std::to_string(11 + kind % 8);
    if (kind % 5 == 0) text += " 38 210 38 212";
    text += "\n";
  }
  return text;
}

std::string ActSource(int codes) {
  std::mt19937 random(5);
  std::string text = "version 11\n";
  for (int i = 0; i < codes; ++i) {
    text += ActCodeText(static_cast<int>(random() % 17576), static_cast<uint8_t>(random() % 26),
                        static_cast<uint16_t>(random() % 10000)) +
            " " + std::to_string(1 + random() % 200) + "\n";
  }
  return text;
}

std::vector<uint8_t> Build(TableKind kind, const std::string& text) {
  std::vector<uint8_t> bytes;
  std::vector<std::string> errors;
  EXPECT_TRUE(BuildTableFromSource(kind, text, "source", &bytes, &errors))
      << (errors.empty() ? "" : errors[0]);
  return bytes;
}

std::string Dump(TableKind kind, const std::vector<uint8_t>& bytes) {
  std::unique_ptr<TableFile> file = TableFile::FromBytes(bytes);
  std::string text, error;
  EXPECT_TRUE(DumpTable(*file, kind, &text, &error)) << error;
  return text;
}

TEST(DumpTest, BuildOfTheDumpGivesTheSameBytes) {
  const struct {
    TableKind kind;
    std::string source;
  } kCases[] = {{TableKind::kTree, kTreeSource},
                {TableKind::kDiag, DiagSource(15000)},
                {TableKind::kAct, ActSource(8000)}};
  for (const auto& c : kCases) {
    const std::vector<uint8_t> bytes = Build(c.kind, c.source);
    const std::string text = Dump(c.kind, bytes);
    EXPECT_EQ(text.find("note:"), std::string::npos) << TableKindName(c.kind);
    EXPECT_EQ(text.find("descriptor"), std::string::npos) << TableKindName(c.kind);
    EXPECT_TRUE(Build(c.kind, text) == bytes) << TableKindName(c.kind);
    EXPECT_EQ(Dump(c.kind, Build(c.kind, text)), text);

    CheckReport report;
    std::unique_ptr<TableFile> file = TableFile::FromBytes(bytes);
    if (c.kind == TableKind::kTree) CheckTreeFile(*file, "t", &report);
    if (c.kind == TableKind::kAct) CheckActFile(*file, "a", &report);
    EXPECT_EQ(report.ErrorCount(), 0)
        << (report.findings.empty() ? "" : report.findings[0].message);
  }
  // The tree prints as it was written: structured, leaves inline.
  const std::string tree = Dump(TableKind::kTree, Build(TableKind::kTree, kTreeSource));
  EXPECT_NE(tree.find("n1: AgeBelow 18 -> [01 100 00] [01 101 00]"), std::string::npos) << tree;
}

// Files made elsewhere: their own header and descriptor bytes, records
// neither shared nor in entry order, a tree with a cycle, shared children
// and a NodeBound one node further, bytes behind the last section.
std::vector<uint8_t> Header(int descriptors) {
  std::vector<uint8_t> b(32 + 32 * descriptors, 0x20);
  b[8] = 'V';
  b[9] = '3';
  return b;
}

void Descriptor(std::vector<uint8_t>* b, int n, int size, uint32_t extent, uint32_t offset) {
  uint8_t* d = b->data() + 32 * n;
  d[20] = static_cast<uint8_t>(size);
  WriteBigEndian32(extent, d + 21);
  WriteBigEndian32(offset, d + 25);
}

TEST(DumpTest, FilesWrittenElsewhereRoundTrip) {
  std::vector<uint8_t> tree = Header(1);
  Descriptor(&tree, 1, 7, 4 * 7, 64);  // NodeBound admits node 4, which is missing
  const uint8_t kNodes[4][7] = {{8, 0, 0, 1, 0, 1, 0xEE},   // 0: children 1, 2
                                {19, 0, 0, 9, 0, 0, 0xEE},  // 1: jump to 0, a cycle
                                {5, 38, 210, 1, 0, 2, 0},   // 2: children 2, 3: itself
                                {0, 1, 2, 0, 0, 3, 0xEE}};  // 3: leaf
  for (const auto& node : kNodes) tree.insert(tree.end(), node, node + 7);

  std::vector<uint8_t> diag = Header(2);
  const uint32_t records_at = 96 + 5200 + 3 * 4;
  Descriptor(&diag, 1, 2, 0, 96);
  Descriptor(&diag, 2, 5, 0, records_at);
  diag.resize(96 + 5200, 0);
  for (int p = 0; p < 2600; ++p) WriteBigEndian16(p < 5 ? 0 : 3, diag.data() + 96 + 2 * p);
  const uint8_t kEntries[] = {0, 132, 0, 2, 0, 0, 0, 1, 6, 0, 0, 1};  // A050, A05, A05+66
  diag.insert(diag.end(), kEntries, kEntries + sizeof kEntries);
  const uint8_t kRecords[] = {0, 0, 0, 0, 0, 255, 11, 1, 2, 0, 255, 11, 1, 2, 0, 9, 9, 9, 9, 9};
  diag.insert(diag.end(), kRecords, kRecords + sizeof kRecords);

  std::vector<uint8_t> acts = Header(1);
  Descriptor(&acts, 1, 8, 12345, 64);
  acts.resize(64 + 35152, 0);
  for (int p = 0; p < 17576; ++p) WriteBigEndian16(p < 1 ? 0 : 2, acts.data() + 64 + 2 * p);
  const uint8_t kActs[] = {1, 0, 9, 4, 0, 0, 7, 5, 0xAB};  // AABB0009, AABA0007, a stray byte
  acts.insert(acts.end(), kActs, kActs + sizeof kActs);

  const struct {
    TableKind kind;
    const std::vector<uint8_t>& bytes;
  } kFiles[] = {{TableKind::kTree, tree}, {TableKind::kDiag, diag}, {TableKind::kAct, acts}};
  for (const auto& f : kFiles) {
    const std::string text = Dump(f.kind, f.bytes);
    EXPECT_EQ(text.find("note:"), std::string::npos) << text;
    EXPECT_TRUE(Build(f.kind, text) == f.bytes) << text;
  }
}

TEST(DumpTest, BrokenIndexIsDumpedWithANote) {
  std::vector<uint8_t> bytes = Build(TableKind::kDiag, DiagSource(50));
  testing::Put16(&bytes, 96 + 2 * 1000, 0);  // the index decreases
  testing::Put16(&bytes, 96 + 2 * 2599, 0xFFFF);
  const std::string text = Dump(TableKind::kDiag, bytes);
  EXPECT_NE(text.find("# note: building this text does not give the same bytes"),
            std::string::npos);
  EXPECT_NE(text.find("prefix K00: range"), std::string::npos) << text;
  DiagTableModel model;
  std::vector<std::string> errors;
  EXPECT_TRUE(ParseDiagSource(text, "dump", &model, &errors)) << errors[0];

  bytes.resize(95);
  std::unique_ptr<TableFile> file = TableFile::FromBytes(bytes);
  std::string error;
  std::string short_text;
  EXPECT_FALSE(DumpTable(*file, TableKind::kDiag, &short_text, &error));
  EXPECT_NE(error.find("fewer than its header and descriptors (96)"), std::string::npos) << error;
}

}  // namespace
}  // namespace grulo
