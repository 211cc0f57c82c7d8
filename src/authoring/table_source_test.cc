#include "authoring/table_source.h"

#include <gtest/gtest.h>

#include "authoring/source_syntax.h"
#include "authoring/tree_source.h"

namespace grulo {
namespace {

// Each source has one fault; the message names the file, the line and it.
TEST(TableSourceTest, ErrorsNameFileLineAndFault) {
  const struct {
    const char* kind;
    const char* text;
    const char* message;
  } kCases[] = {
      {"diag", "A000 255 11\n", "d.txt:1: no 'version' line"},
      {"diag", "version 123\n", "d.txt:1: expected 'version'"},
      {"diag", "version 11\nA0 255 11\n",
       "d.txt:2: 'A0' is neither a directive nor a diagnosis code"},
      {"diag", "version 11\n\nA000 256 11\n", "d.txt:3: position flags '256'"},
      {"diag", "version 11\nA000 1 2 x\n", "d.txt:2: attribute byte 'x'"},
      {"diag", "version 11\nrecord-size 3\nA000 1 2 3 4\n", "d.txt:3: more attribute bytes than"},
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
      {"tree", "version 11\n@0 AgeBelow 1 limit 0 base 1\n",
       "t.txt:2: limit 0 would make the node a leaf"},
      {"tree", "version 11\nr: AgeBelow 1\n", "t.txt:2: an inner node needs its children"},
      {"tree", "version 11\nr: Jump -> a b\na: leaf 1 2 3\nb: leaf 1 2 3\n", "a Jump goes to one"},
      {"tree", "version 11\nr: leaf 1 2 3 extra 01\n",
       "t.txt:2: more extra bytes than the node size 6"},
  };
  for (const auto& c : kCases) {
    Status status;
    if (std::string_view(c.kind) == "diag") {
      DiagTableModel m;
      status = ParseSource(c.text, "d.txt", &m);
    } else if (std::string_view(c.kind) == "acts") {
      ActTableModel m;
      status = ParseSource(c.text, "a.txt", &m);
    } else {
      TreeTableModel m;
      status = ParseSource(c.text, "t.txt", &m);
    }
    ASSERT_FALSE(status.ok()) << c.text;
    EXPECT_EQ(status.code(), Status::kInvalidArgument);
    const std::vector<std::string> lines = MessageLines(status);
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines[0].find(c.message), std::string::npos) << lines[0];
  }
}

}  // namespace
}  // namespace grulo
