#include "tables/open_tables.h"

#include <gtest/gtest.h>

#include "authoring/file_io.h"
#include "authoring/table_model.h"
#include "authoring/table_testutil.h"
#include "tests/process_testutil.h"

namespace grulo {
namespace {

using testing::Put32;

std::vector<uint8_t> SmallTree(int node_size = 6) {
  TreeTableModel m;
  m.version = "10";
  m.node_size = node_size;
  m.nodes = {TreeNodeRecord::Leaf(1, 300, 0)};
  return testing::TreeBytes(m);
}

std::vector<uint8_t> SmallDiags() {
  DiagTableModel m;
  m.version = "10";
  AddDiagCode(&m, "A000", 0xFF, {11});
  return testing::DiagBytes(m);
}

std::vector<uint8_t> SmallActs() {
  ActTableModel m;
  m.version = "10";
  AddActCode(&m, "AAAA0001", 1);
  return testing::ActBytes(m);
}

TEST(VersionTest, TwoCharactersANulEndingThemEarly) {
  const struct {
    char b8, b9;
    std::string_view text;
  } kCases[] = {{'1', '0', "10"}, {'A', '\0', "A"}, {'\0', 'B', ""}, {'\xE9', ' ', "\xE9 "}};
  for (const auto& c : kCases) {
    uint8_t header[32] = {};
    header[8] = static_cast<uint8_t>(c.b8);
    header[9] = static_cast<uint8_t>(c.b9);
    EXPECT_EQ(VersionView(ReadHeaderVersion(header)), c.text);
  }
  EXPECT_TRUE(VersionsAgree({'1', '0', 0}, {'1', '0', 0}));
  EXPECT_FALSE(VersionsAgree({'1', '0', 0}, {'1', '1', 0}));
  EXPECT_FALSE(VersionsAgree({'1', 0, 0}, {'1', '0', 0}));
  EXPECT_TRUE(VersionsAgree({0, 'X', 0}, {0, 'Y', 0}));  // both empty
}

TEST(OpenTablesTest, PathIsDirectoryTextFollowedByFileName) {
  test::TempDir dir;  // its path has no final '/'
  ASSERT_TRUE(WriteFileAtomically(dir.File("arbressr.tab"), SmallTree()).ok());
  TreeTable with_separator, without_separator;
  EXPECT_EQ(OpenTreeTable(dir.File(""), &with_separator), kTableOpened);
  EXPECT_EQ(OpenTreeTable(dir.path(), &without_separator), kTableCannotOpen);
  ASSERT_TRUE(WriteFileAtomically(dir.path() + "arbressr.tab", SmallTree()).ok());
  EXPECT_EQ(OpenTreeTable(dir.path(), &without_separator), kTableOpened);
  std::remove((dir.path() + "arbressr.tab").c_str());
}

// The diagnosis and act values are read by the lookups of their tests.
TEST(OpenTablesTest, KeepsTheValuesOfTheTreeDescriptor) {
  std::vector<uint8_t> tree = SmallTree(8);
  Put32(&tree, 32 + 21, 40);  // extent
  TreeTable t;
  std::unique_ptr<TableFile> file = TableFile::FromBytes(tree);
  ASSERT_EQ(AdoptTreeTable(file, &t), kTableOpened);
  EXPECT_EQ(t.NodeSize, 8);
  EXPECT_EQ(t.NodeAreaOffset, 64);
  EXPECT_EQ(t.NodeBound, 104);
  EXPECT_EQ(VersionView(t.TableVersion), "10");

  Put32(&tree, 32 + 25, 0x7FFFFFFF);  // offset + extent wraps
  Put32(&tree, 32 + 21, 1);
  file = TableFile::FromBytes(tree);
  ASSERT_EQ(AdoptTreeTable(file, &t), kTableOpened);
  EXPECT_EQ(t.NodeBound, INT32_MIN);
}

// A refused file leaves the table as it was: not open, values unchanged.
struct SizeCase {
  const char* name;
  int64_t length;  // the file cut to this length, or -1
  int size_byte;   // the record size byte of the last descriptor, or -1
  int16_t status;
};

std::vector<uint8_t> Patched(std::vector<uint8_t> bytes, const SizeCase& c, size_t size_at) {
  if (c.size_byte >= 0) bytes[size_at] = static_cast<uint8_t>(c.size_byte);
  if (c.length >= 0) bytes.resize(static_cast<size_t>(c.length));
  return bytes;
}

TEST(OpenTablesTest, ShortFilesAndRefusedSizesCannotBeOpened) {
  const SizeCase kTreeCases[] = {
      {"tree of 63 bytes", 63, -1, kTableCannotOpen}, {"tree of 64 bytes", 64, -1, kTableOpened},
      {"node size 5", -1, 5, kTableCannotOpen},       {"node size 6", -1, 6, kTableOpened},
      {"node size 12", -1, 12, kTableOpened},         {"node size 13", -1, 13, kTableCannotOpen},
      {"node size 200", -1, 200, kTableCannotOpen},
  };
  for (const SizeCase& c : kTreeCases) {
    TreeTable t;
    t.NodeSize = 7;
    t.NodeBound = 1234;
    std::unique_ptr<TableFile> file = TableFile::FromBytes(Patched(SmallTree(), c, 52));
    EXPECT_EQ(AdoptTreeTable(file, &t), c.status) << c.name;
    if (c.status != kTableOpened) {
      EXPECT_FALSE(t.is_open()) << c.name;
      EXPECT_EQ(t.NodeSize, 7) << c.name;
      EXPECT_EQ(t.NodeBound, 1234) << c.name;
    }
  }

  const SizeCase kDiagCases[] = {
      {"diagnoses of 95 bytes", 95, -1, kTableCannotOpen},
      {"diagnoses of 96 bytes", 96, -1, kTableOpened},
      {"record size 0", -1, 0, kTableCannotOpen},
      {"record size 1", -1, 1, kTableOpened},
      {"record size 13", -1, 13, kTableCannotOpen},
  };
  for (const SizeCase& c : kDiagCases) {
    DiagTable d;
    d.DiagRecordSize = 3;
    std::unique_ptr<TableFile> file = TableFile::FromBytes(Patched(SmallDiags(), c, 84));
    EXPECT_EQ(AdoptDiagTable(file, &d), c.status) << c.name;
    if (c.status != kTableOpened) {
      EXPECT_EQ(d.DiagRecordSize, 3) << c.name;
    }
  }

  for (size_t size : {63, 64}) {
    ActTable a;
    std::vector<uint8_t> b = SmallActs();
    b.resize(size);
    std::unique_ptr<TableFile> file = TableFile::FromBytes(b);
    EXPECT_EQ(AdoptActTable(file, &a), size == 64 ? kTableOpened : kTableCannotOpen);
  }
}

}  // namespace
}  // namespace grulo
