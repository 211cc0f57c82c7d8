#include "tables/table_source.h"

#include <gtest/gtest.h>

#include "tables/node_opcodes.h"
#include "tables/tree_source.h"

namespace grulo {
namespace {

TEST(DiagSourceTest, ReadsDirectivesCodesAndRecords) {
  const char kText[] =
      "# a comment line\n"
      "version 1\\x41   # version '1A'\n"
      "record-size 6\n"
      "record 0  0x00 0 0 9\n"
      "A000  0xFF 11 38 210   # trailing comment\n"
      "A00#1600 255 \\\n"
      "      12\n"
      "B12+  =0\n";
  DiagTableModel m;
  std::vector<std::string> errors;
  ASSERT_TRUE(ParseDiagSource(kText, "diag.txt", &m, &errors)) << errors[0];
  EXPECT_EQ(m.version, "1A");
  EXPECT_EQ(m.record_size, 6);
  EXPECT_EQ(m.result_size, 2);
  ASSERT_EQ(m.records.count(0), 1u);
  EXPECT_EQ(m.records[0].attributes, (std::vector<uint8_t>{0, 0, 9}));
  ASSERT_EQ(m.entries.size(), 3u);
  EXPECT_EQ(m.entries[0].record, (DiagRecord{0xFF, {11, 38, 210}}));
  EXPECT_EQ(m.entries[1].suffix_number, 1600);
  EXPECT_EQ(m.entries[1].record, (DiagRecord{0xFF, {12}}));
  EXPECT_EQ(m.entries[2].prefix, 112);
  EXPECT_EQ(m.entries[2].suffix_number, 1452);
  EXPECT_EQ(m.entries[2].record_number, 0);
}

// Each source has one fault; the message names the file, the line and it.
TEST(TableSourceTest, ErrorsNameFileLineAndFault) {
  const struct {
    const char* kind;
    const char* text;
    const char* message;
  } kCases[] = {
      {"diag", "A000 255 11\n", "d.txt:1: no 'version' line"},
      {"diag", "version 11\nversion 12\n", "d.txt:2: a second version line"},
      {"diag", "version 123\n", "d.txt:1: expected 'version'"},
      {"diag", "version 11\nA0 255 11\n",
       "d.txt:2: 'A0' is neither a directive nor a diagnosis code"},
      {"diag", "version 11\n\nA000 256 11\n", "d.txt:3: position flags '256'"},
      {"diag", "version 11\nA000 255\n", "d.txt:2: expected the position flags and the category"},
      {"diag", "version 11\nA000 1 2 x\n", "d.txt:2: attribute byte 'x'"},
      {"diag", "version 11\nrecord-size 3\nA000 1 2 3 4\n", "d.txt:3: more attribute bytes than"},
      {"diag", "version 11\nrecord 1 1 2\nrecord 1 1 2\n", "d.txt:3: record 1 is already given"},
      {"diag", "version 11\nheader 00ff\n", "d.txt:2: the header has 32 bytes, not 2"},
      {"diag", "version 11\ndescriptor 3 00\n", "d.txt:2: expected the descriptor number (1 to 2)"},
      {"acts", "version 11\nAAAA001 3\n",
       "a.txt:2: 'AAAA001' is neither a directive nor an act code"},
      {"acts", "version 11\nAAAA0001\n", "a.txt:2: expected the act code and its class"},
      {"tree", "version 11\n", "t.txt:1: no node"},
      {"tree", "version 11\nr: Foo -> a b\n", "t.txt:2: 'Foo' is not a node test"},
      {"tree", "version 11\nr: AgeBelow -> [1 2 3] [1 2 3]\n",
       "t.txt:2: AgeBelow takes one number"},
      {"tree", "version 11\nr: PairInAnyDiag 300 1 -> [1 2 3] [1 2 3]\n",
       "parameter 300 of PairInAnyDiag"},
      {"tree", "version 11\nr: FirstCategoryBranch -> [1 2 3] [1 2 3]\n",
       "t.txt:2: FirstCategoryBranch returns branches 0..13: list 14 children"},
      {"tree", "version 11\nr: AgeBelow 3 limit 1 -> [1 2 3] [1 2 3] [1 2 3]\n",
       "3 children, but limit 1"},
      {"tree", "version 11\nr: AgeBelow 3 -> x [1 2 3]\n", "t.txt:2: no node is labelled 'x'"},
      {"tree", "version 11\nr: AgeBelow 3 -> x x\nx: IndicatorIsOne -> [1 2 3] [1 2 3]\n",
       "t.txt:2: node 'x' already sits at node 1"},
      {"tree", "version 11\nr: leaf 1 2 3\nr: leaf 1 2 3\n",
       "t.txt:3: label 'r' is already used on line 2"},
      {"tree", "version 11\n@0 leaf 1 2 3\nleaf 1 2 3\n", "t.txt:3: either every node line"},
      {"tree", "version 11\n@0 AgeBelow 1 -> [1 2 3] [1 2 3]\n", "gives 'base', not '->'"},
      {"tree", "version 11\n@0 AgeBelow 1 limit 0 base 1\n",
       "t.txt:2: limit 0 would make the node a leaf"},
      {"tree", "version 11\nr: AgeBelow 1\n", "t.txt:2: an inner node needs its children"},
      {"tree", "version 11\nr: Jump -> a b\na: leaf 1 2 3\nb: leaf 1 2 3\n", "a Jump goes to one"},
      {"tree", "version 11\nr: leaf 1 2 3 extra 01\n",
       "t.txt:2: more extra bytes than the node size 6"},
      {"tree", "version 11\nr: BranchZero/8 -> [1 2 3]\n", "t.txt:2: opcode 8 is not 'BranchZero'"},
      {"tree", "version 11\nr: AgeBelow 1 -> [1 2 3 [1 2 3]\n", "unexpected '['"},
  };
  for (const auto& c : kCases) {
    std::vector<std::string> errors;
    bool ok = true;
    if (std::string_view(c.kind) == "diag") {
      DiagTableModel m;
      ok = ParseDiagSource(c.text, "d.txt", &m, &errors);
    } else if (std::string_view(c.kind) == "acts") {
      ActTableModel m;
      ok = ParseActSource(c.text, "a.txt", &m, &errors);
    } else {
      TreeTableModel m;
      ok = ParseTreeSource(c.text, "t.txt", &m, &errors);
    }
    ASSERT_FALSE(ok) << c.text;
    ASSERT_FALSE(errors.empty());
    EXPECT_NE(errors[0].find(c.message), std::string::npos) << errors[0];
  }
}

TEST(TreeSourceTest, ChildrenGoToConsecutiveNodesBreadthFirst) {
  const char kText[] =
      "version 11\n"
      "root: PairInAnyDiag 38 210 -> young old\n"
      "old:  DurationAtLeast 3 2 -> [02 010 00] shared\n"
      "young: AgeBelow 300 -> shared [01 001 00]\n"
      "shared: leaf 05 500 00\n"
      "again: Jump 2 -> young\n"
      "zero: BranchZero/7 -> [09 009 09]\n"
      "loose: op/25 1 limit 3 base zero\n";
  TreeTableModel m;
  std::vector<std::string> errors;
  ASSERT_TRUE(ParseTreeSource(kText, "t.txt", &m, &errors)) << errors[0];
  using N = TreeNodeRecord;
  const std::vector<TreeNodeRecord> kNodes = {
      N::Inner(5, 38, 210, 1, 1),    // 0 root
      N::Inner(0, 1, 44, 1, 3),      // 1 young
      N::Inner(10, 3, 2, 1, 5),      // 2 old
      N::Leaf(5, 500, 0),            // 3 shared
      N::Leaf(1, 1, 0),              // 4
      N::Leaf(2, 10, 0),             // 5
      N::Leaf(5, 500, 0),            // 6 a copy of shared
      N::Inner(19, 0, 2, 1, 65535),  // 7 again, placed after the tree: 1 - 2
      N::Inner(7, 0, 0, 1, 9),       // 8 zero
      N::Leaf(9, 9, 9),              // 9
      N(),                           // 10 the branch BranchZero never takes
      N::Inner(25, 1, 0, 3, 8),      // 11 loose
  };
  EXPECT_EQ(m.nodes, kNodes);
}

TEST(TreeSourceTest, NumberedNodesWriteAnyTree) {
  const char kText[] =
      "version 11\n"
      "node-size 8\n"
      "@0 top: IndicatorIsOne limit 1 base 2\n"
      "@2 Jump 65535 base top   # node 0 + 65535: node -1\n"
      "@3 leaf 01 002 03 opcode 9 extra 0aff\n";
  TreeTableModel m;
  std::vector<std::string> errors;
  ASSERT_TRUE(ParseTreeSource(kText, "t.txt", &m, &errors)) << errors[0];
  ASSERT_EQ(m.nodes.size(), 4u);
  EXPECT_EQ(m.nodes[0], TreeNodeRecord::Inner(8, 0, 0, 1, 2));
  EXPECT_EQ(m.nodes[1], TreeNodeRecord());  // a gap
  EXPECT_EQ(m.nodes[2], TreeNodeRecord::Inner(19, 255, 255, 1, 0));
  TreeNodeRecord leaf = TreeNodeRecord::Leaf(1, 2, 3);
  leaf.opcode = 9;
  leaf.extra = {0x0A, 0xFF};
  EXPECT_EQ(m.nodes[3], leaf);
}

TEST(TreeSourceTest, TestTextsReadBack) {
  for (int op = 0; op < 256; ++op) {
    for (auto [p1, p2] : {std::pair{0, 0}, std::pair{1, 2}, std::pair{255, 0}}) {
      const TreeNodeRecord node = TreeNodeRecord::Inner(
          static_cast<uint8_t>(op), static_cast<uint8_t>(p1), static_cast<uint8_t>(p2), 1, 0);
      const std::string text = "version 1\n@0 " + NodeTestText(node) + " base 0\n";
      TreeTableModel m;
      std::vector<std::string> errors;
      ASSERT_TRUE(ParseTreeSource(text, "t", &m, &errors)) << text << errors[0];
      EXPECT_EQ(m.nodes[0].opcode, op) << text;
      EXPECT_EQ(m.nodes[0].param1, p1) << text;
      EXPECT_EQ(m.nodes[0].param2, p2) << text;
    }
  }
  EXPECT_EQ(NodeTestText(TreeNodeRecord::Inner(0, 1, 2, 1, 0)), "AgeBelow 258");
  EXPECT_EQ(NodeTestText(TreeNodeRecord::Inner(12, 0, 0, 1, 0)), "BranchZero/12");
  EXPECT_EQ(NodeTestText(TreeNodeRecord::Inner(9, 5, 0, 1, 0)), "RefDelayWithin 5");
  EXPECT_EQ(NodeTestText(TreeNodeRecord::Inner(30, 0, 0, 1, 0)), "op/30");
}

}  // namespace
}  // namespace grulo
