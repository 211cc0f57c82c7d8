// Small tree table files for the tests: a 32-byte header, the node area's
// descriptor and the node records.

#ifndef GRULO_TREE_TREE_TESTUTIL_H_
#define GRULO_TREE_TREE_TESTUTIL_H_

#include <cstdint>
#include <vector>

#include "tables/open_tables.h"

namespace grulo {
namespace testing {

struct NodeBytes {  // bytes 0 to 5 of a record
  uint8_t opcode, param1, param2, branch_limit;
  uint16_t base_node;
};
inline NodeBytes Inner(uint8_t opcode, uint8_t p1, uint8_t p2, uint8_t limit, uint16_t base) {
  return {opcode, p1, p2, limit, base};
}
inline NodeBytes Leaf(uint8_t category, uint16_t number, uint8_t return_code) {
  return {0, return_code, category, 0, number};
}

struct TreeFileLayout {
  int node_size = 8;      // node 0 at offset 64; record bytes past 5 hold 0xEE
  int32_t extent = -1;    // -1: NodeBound is the offset of the last node
  int truncate_last = 0;  // bytes cut from the end of the file
};

// A tree table adopted from a file holding `nodes` as nodes 0, 1, ...
TreeTable MakeTreeTable(const std::vector<NodeBytes>& nodes, const TreeFileLayout& layout = {});

}  // namespace testing
}  // namespace grulo

#endif  // GRULO_TREE_TREE_TESTUTIL_H_
