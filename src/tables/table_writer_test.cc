#include "tables/table_writer.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tables/diag_table.h"
#include "tables/table_testutil.h"

namespace grulo {
namespace {

std::string Text(const std::vector<uint8_t>& b, size_t at, size_t n) {
  return std::string(reinterpret_cast<const char*>(b.data() + at), n);
}
int Get16(const std::vector<uint8_t>& b, size_t at) { return b[at] * 256 + b[at + 1]; }
uint32_t Get32(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<uint32_t>(Get16(b, at)) << 16 | static_cast<uint32_t>(Get16(b, at + 2));
}

TEST(WriteDiagTableTest, HeaderDescriptorsIndexEntriesAndRecords) {
  DiagTableModel m;
  m.version = "11";
  AddDiagCode(&m, "B12", 0xC0, {20});            // prefix 112, suffix 0
  AddDiagCode(&m, "A000", 0xFF, {11, 38, 210});  // prefix 0, suffix 132
  const std::vector<uint8_t> b = testing::DiagBytes(m);
  ASSERT_EQ(b.size(), 96u + 5200 + 2 * 4 + 3 * 12);
  EXPECT_EQ(Text(b, 0, 10), "GRULOTAB11");
  EXPECT_EQ(Text(b, 10, 22), std::string("\0\0diag10sr.tab\0\0\0\0\0\0\0\0", 22));
  EXPECT_EQ(Text(b, 32, 20), std::string("diagnosis index\0\0\0\0\0", 20));
  EXPECT_EQ(b[52], 2);                 // result size
  EXPECT_EQ(Get32(b, 53), 5200u + 8);  // extent
  EXPECT_EQ(Get32(b, 57), 96u);        // offset
  EXPECT_EQ(b[84], 12);                // record size
  EXPECT_EQ(Get32(b, 85), 36u);
  EXPECT_EQ(Get32(b, 89), 96u + 5208);
  EXPECT_EQ(Get16(b, 96), 1);  // end of A00
  EXPECT_EQ(Get16(b, 96 + 2 * 111), 1);
  EXPECT_EQ(Get16(b, 96 + 2 * 112), 2);  // end of B12
  EXPECT_EQ(Get16(b, 96 + 2 * 2599), 2);
  const size_t e = 96 + 5200;
  EXPECT_EQ(Get16(b, e), 132);  // A000, first in prefix order
  EXPECT_EQ(Get16(b, e + 2), 1);
  EXPECT_EQ(Get16(b, e + 4), 0);  // B12
  EXPECT_EQ(Get16(b, e + 6), 2);
  const size_t r = e + 8;
  for (int i = 0; i < 12; ++i) EXPECT_EQ(b[r + i], 0) << i;  // record 0
  const uint8_t kRecord1[12] = {0xFF, 11, 38, 210};
  EXPECT_EQ(std::memcmp(b.data() + r + 12, kRecord1, 12), 0);
  EXPECT_EQ(b[r + 24], 0xC0);
  EXPECT_EQ(b[r + 25], 20);
}

TEST(WriteDiagTableTest, EqualRecordsShareNumbersInEntryListOrder) {
  DiagTableModel m;
  m.version = "11";
  m.records[4] = DiagRecord{0x30, {40}};
  AddDiagCode(&m, "Z00", 0x0F, {30});
  AddDiagCode(&m, "A00", 0x0F, {31});
  AddDiagCode(&m, "M00", 0x0F, {30});
  AddDiagCode(&m, "N00", 0x30, {40});  // the bytes of the given record 4
  DiagEntry by_number;
  ASSERT_TRUE(ParseDiagCode("P00", &by_number.prefix, &by_number.suffix_number));
  by_number.record_number = 2;
  m.entries.push_back(by_number);
  DiagTable table = testing::DiagTableOf(testing::DiagBytes(m));
  EXPECT_EQ(DiagRecordNumber(table, "A00   "), 5);  // records 1 to 3 are all 0
  EXPECT_EQ(DiagRecordNumber(table, "M00   "), 6);
  EXPECT_EQ(DiagRecordNumber(table, "Z00   "), 6);
  EXPECT_EQ(DiagRecordNumber(table, "N00   "), 4);
  EXPECT_EQ(DiagRecordNumber(table, "P00   "), 2);
}

TEST(WriteTablesTest, ActEntriesAndTreeNodes) {
  ActTableModel acts;
  acts.version = "11";
  AddActCode(&acts, "ABCD1234", 9);
  std::vector<uint8_t> a = testing::ActBytes(acts);
  ASSERT_EQ(a.size(), 64u + 35152 + 4);
  EXPECT_EQ(a[52], 4);
  EXPECT_EQ(Get32(a, 53), 35152u + 4);
  EXPECT_EQ(Get16(a, 64 + 2 * 27), 0);  // ABB
  EXPECT_EQ(Get16(a, 64 + 2 * 28), 1);  // ABC
  const uint8_t kEntry[4] = {3, 4, 210, 9};
  EXPECT_EQ(std::memcmp(a.data() + 64 + 35152, kEntry, 4), 0);

  TreeTableModel tree;
  tree.version = "11";
  tree.node_size = 8;
  tree.nodes = {TreeNodeRecord::Inner(0, 0, 18, 1, 1), TreeNodeRecord::Leaf(1, 300, 2),
                TreeNodeRecord::Leaf(3, 4, 5)};
  tree.nodes[2].extra = {0xAB};
  std::vector<uint8_t> t = testing::TreeBytes(tree);
  ASSERT_EQ(t.size(), 64u + 3 * 8);
  EXPECT_EQ(t[52], 8);
  EXPECT_EQ(Get32(t, 53), 16u);  // NodeBound is the offset of the last node
  const uint8_t kNodes[24] = {0, 0,  18, 1, 0, 1, 0, 0, 0, 2, 1,    0,
                              1, 44, 0,  0, 0, 5, 3, 0, 0, 4, 0xAB, 0};
  EXPECT_EQ(std::memcmp(t.data() + 64, kNodes, 24), 0);
}

TEST(WriteTablesTest, RawLayoutPlacesSectionsAndKeepsUnreadBytes) {
  TreeTableModel tree;
  tree.version = "7";
  tree.nodes = {TreeNodeRecord::Leaf(1, 2, 3)};
  tree.layout.header.assign(32, 0xEE);
  std::array<uint8_t, 32> d = DefaultDescriptor("elsewhere", 99, 1000, 100);
  tree.layout.descriptors[0].assign(d.begin(), d.end());
  tree.layout.trailer = {1, 2};
  const std::vector<uint8_t> t = testing::TreeBytes(tree);
  ASSERT_EQ(t.size(), 100u + 6 + 2);
  EXPECT_EQ(t[0], 0xEE);
  EXPECT_EQ(t[8], '7');
  EXPECT_EQ(t[9], 0);
  EXPECT_EQ(t[52], 6);  // the model's node size wins over the raw byte
  EXPECT_EQ(Get32(t, 53), 1000u);
  EXPECT_EQ(t[64], 0);  // the gap is zero
  EXPECT_EQ(t[100 + 2], 1);
  EXPECT_EQ(t[107], 2);
}

TEST(WriteTablesTest, ModelsTheWriterRefuses) {
  std::vector<uint8_t> bytes;
  std::string error;
  DiagTableModel too_long;
  AddDiagCode(&too_long, "A00", 0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
  EXPECT_FALSE(WriteDiagTable(too_long, &bytes, &error));
  EXPECT_NE(error.find("code A00"), std::string::npos) << error;
  DiagTableModel bad_prefix;
  bad_prefix.entries.push_back(DiagEntry{2600, 0, -1, {}});
  EXPECT_FALSE(WriteDiagTable(bad_prefix, &bytes, &error));
  DiagTableModel long_version;
  long_version.version = "123";
  EXPECT_FALSE(WriteDiagTable(long_version, &bytes, &error));
  ActTableModel overlap;
  std::array<uint8_t, 32> d = DefaultDescriptor("index", 4, 0, 40);  // over the descriptor
  overlap.layout.descriptors[0].assign(d.begin(), d.end());
  EXPECT_FALSE(WriteActTable(overlap, &bytes, &error));
  EXPECT_NE(error.find("overlaps"), std::string::npos) << error;
  TreeTableModel extra;
  extra.nodes = {TreeNodeRecord::Leaf(0, 0, 0)};
  extra.nodes[0].extra = {1};
  EXPECT_FALSE(WriteTreeTable(extra, &bytes, &error));
}

TEST(CodeTextTest, EveryDiagnosisKeyReadsBack) {
  for (int p : {0, 1, 99, 100, 1234, 2599}) {
    for (int s = 0; s < 1700; ++s) {
      const std::string text = DiagCodeText(p, s);
      int prefix = -1, suffix = -1;
      ASSERT_TRUE(ParseDiagCode(text, &prefix, &suffix)) << text;
      EXPECT_EQ(prefix, p) << text;
      EXPECT_EQ(suffix, s) << text;
      if (s < kSuffixNumberCount) {
        const std::string field = DiagCodeField(p, s);
        EXPECT_EQ(DiagPrefixIndex(field), p) << field;
        EXPECT_EQ(SuffixNumber(field.substr(3)), s) << field;
      }
    }
  }
  EXPECT_EQ(DiagCodeText(0, 11 * 132 + 11), "A00+0");
  EXPECT_EQ(DiagCodeText(0, 11), "A00_0");
  EXPECT_EQ(DiagCodeText(0, 1600), "A00#1600");
  int p, s;
  for (const char* bad : {"a000", "A0", "AA00", "A00+++", "A00++0x", "A0000000", "A00#",
                          "A00#70000", "A00x", "A00++9+"}) {
    EXPECT_FALSE(ParseDiagCode(bad, &p, &s)) << bad;
  }
}

TEST(CodeTextTest, ActCodesReadBack) {
  const struct {
    const char* text;
    int prefix;
    uint8_t letter;
    uint16_t number;
  } kCases[] = {{"AAAA0000", 0, 0, 0},
                {"ZZZZ9999", 17575, 25, 9999},
                {"ABC#32,1", 28, 32, 1},
                {"ABC#0,10000", 28, 0, 10000}};
  for (const auto& c : kCases) {
    int p = -1;
    uint8_t l = 0;
    uint16_t n = 0;
    ASSERT_TRUE(ParseActCode(c.text, &p, &l, &n)) << c.text;
    EXPECT_EQ(p, c.prefix);
    EXPECT_EQ(l, c.letter);
    EXPECT_EQ(n, c.number);
    EXPECT_EQ(ActCodeText(p, l, n), c.text);
  }
  int p;
  uint8_t l;
  uint16_t n;
  for (const char* bad : {"AAAA001", "AAAA00010", "aaaa0001", "AAA#26", "AAA#256,1", "AAA1000"}) {
    EXPECT_FALSE(ParseActCode(bad, &p, &l, &n)) << bad;
  }
}

}  // namespace
}  // namespace grulo
