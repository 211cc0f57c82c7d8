#include "tree/tree_testutil.h"

#include <memory>

#include "gtest/gtest.h"
#include "tables/table_testutil.h"

namespace grulo {
namespace testing {

TreeTable MakeTreeTable(std::vector<TreeNodeRecord> nodes, const TreeFileLayout& layout) {
  TreeTableModel model;
  model.version = "11";
  model.node_size = layout.node_size;
  for (TreeNodeRecord& node : nodes) node.extra.assign(layout.node_size - 6, 0xEE);
  model.nodes = std::move(nodes);
  std::vector<uint8_t> bytes = TreeBytes(model);
  if (layout.extent >= 0) {
    Put32(&bytes, kTableHeaderSize + 21, static_cast<uint32_t>(layout.extent));  // NodeBound
  }
  bytes.resize(bytes.size() - layout.truncate_last);

  TreeTable table;
  std::unique_ptr<TableFile> file = TableFile::FromBytes(std::move(bytes));
  EXPECT_EQ(AdoptTreeTable(file, &table), kTableOpened);
  return table;
}

}  // namespace testing
}  // namespace grulo
