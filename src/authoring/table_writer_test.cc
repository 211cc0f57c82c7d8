// The byte layout the writer gives, pinned by offsets: the tables of the
// other tests come from this writer.

#include "authoring/table_writer.h"

#include <gtest/gtest.h>

#include <cstring>

#include "authoring/table_build.h"
#include "authoring/table_testutil.h"

namespace grulo {
namespace {

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
  EXPECT_EQ(b[8], '1');  // the version; the program reads no other header byte
  EXPECT_EQ(b[9], '1');
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

// A model that cannot be written is refused with what is wrong; the build of
// a source names the source.
TEST(WriteTablesTest, RefusalsSayWhatIsWrong) {
  // Descriptor 2 places the records at 0x7FFF0000: a 2 GB file.
  const std::string far =
      "version 11\ndescriptor 2 646961676e6f7369 73207265636f7264 730000000c000011 "
      "887fff0000000000\nA000 255 11\n";
  const struct {
    const char* name;
    std::string source;
    int64_t max_bytes;
    const char* message;
  } kCases[] = {
      {"records far into the file", far, kMaxTableBytes,
       "src.txt: the table would have 2147418136 bytes, more than 67108864"},
      {"larger than asked", "version 11\nA000 255 11\n", 5000,
       "src.txt: the table would have 5324 bytes, more than 5000"},
      {"records on top of the index",
       "version 11\ndescriptor 2 646961676e6f7369 73207265636f7264 730000000c000011 "
       "8800000060000000\nA000 255 11\n",
       kMaxTableBytes,
       "src.txt: the section 'diagnosis records' at offset 96 overlaps the header, the "
       "descriptors or another section"},
  };
  for (const auto& c : kCases) {
    std::vector<uint8_t> bytes = {1, 2, 3};
    const Status status = BuildTable(TableKind::kDiag, c.source, "src.txt", &bytes, c.max_bytes);
    EXPECT_EQ(status.code(), Status::kInvalidArgument) << c.name;
    EXPECT_EQ(status.message(), c.message) << c.name;
    EXPECT_EQ(bytes, (std::vector<uint8_t>{1, 2, 3})) << c.name;  // left as it was
  }
  // Without bytes the build only checks.
  EXPECT_TRUE(BuildTable(TableKind::kDiag, "version 11\nA000 255 11\n", "src.txt", nullptr).ok());
  EXPECT_FALSE(BuildTable(TableKind::kDiag, far, "src.txt", nullptr).ok());
}

}  // namespace
}  // namespace grulo
