// Small tree table files for the tests, written by the table writer.

#ifndef GRULO_TREE_TREE_TESTUTIL_H_
#define GRULO_TREE_TREE_TESTUTIL_H_

#include <cstdint>
#include <vector>

#include "tables/open_tables.h"
#include "tables/table_writer.h"

namespace grulo {
namespace testing {

inline constexpr auto Inner = TreeNodeRecord::Inner;
inline constexpr auto Leaf = TreeNodeRecord::Leaf;

struct TreeFileLayout {
  int node_size = 8;      // node 0 at offset 64; record bytes past 5 hold 0xEE
  int32_t extent = -1;    // -1: NodeBound is the offset of the last node
  int truncate_last = 0;  // bytes cut from the end of the file
};

// A tree table adopted from a file holding `nodes` as nodes 0, 1, ...
TreeTable MakeTreeTable(std::vector<TreeNodeRecord> nodes, const TreeFileLayout& layout = {});

}  // namespace testing
}  // namespace grulo

#endif  // GRULO_TREE_TREE_TESTUTIL_H_
