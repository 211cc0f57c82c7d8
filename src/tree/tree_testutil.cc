#include "tree/tree_testutil.h"

#include <algorithm>
#include <memory>

#include "gtest/gtest.h"
#include "tables/big_endian.h"

namespace grulo {
namespace testing {

TreeTable MakeTreeTable(const std::vector<NodeBytes>& nodes, const TreeFileLayout& layout) {
  const int32_t area = kTableHeaderSize + kSectionDescriptorSize;
  const int32_t count = static_cast<int32_t>(nodes.size());
  std::vector<uint8_t> bytes(area + layout.node_size * count, 0xEE);
  std::fill(bytes.begin(), bytes.begin() + area, 0);
  uint8_t* descriptor = bytes.data() + kTableHeaderSize;
  descriptor[20] = static_cast<uint8_t>(layout.node_size);
  int32_t extent = layout.extent >= 0 ? layout.extent : layout.node_size * (count - 1);
  WriteBigEndian32(static_cast<uint32_t>(extent), descriptor + 21);
  WriteBigEndian32(static_cast<uint32_t>(area), descriptor + 25);
  for (int32_t n = 0; n < count; ++n) {
    uint8_t* record = bytes.data() + area + n * layout.node_size;
    record[0] = nodes[n].opcode;
    record[1] = nodes[n].param1;
    record[2] = nodes[n].param2;
    record[3] = nodes[n].branch_limit;
    WriteBigEndian16(nodes[n].base_node, record + 4);
  }
  bytes.resize(bytes.size() - layout.truncate_last);

  TreeTable table;
  std::unique_ptr<TableFile> file = TableFile::FromBytes(std::move(bytes));
  EXPECT_EQ(AdoptTreeTable(file, &table), kTableOpened);
  return table;
}

}  // namespace testing
}  // namespace grulo
