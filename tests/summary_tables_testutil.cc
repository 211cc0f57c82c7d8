#include "summary_tables_testutil.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "authoring/file_io.h"
#include "authoring/table_testutil.h"
#include "tables/open_tables.h"

namespace grulo::test {
namespace {

void Write(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::string error;
  ASSERT_TRUE(WriteBytesToFile(path, bytes, &error)) << error;
}

}  // namespace

void WriteSummaryTables(const std::string& table_dir, const std::vector<TreeNodeRecord>& nodes,
                        const std::string& tree_version, const std::string& act_version,
                        const std::string& diag_version) {
  if (!tree_version.empty()) {
    TreeTableModel tree;
    tree.version = tree_version;
    tree.nodes = nodes;
    Write(table_dir + kTreeTableName, grulo::testing::TreeBytes(tree));
  }
  if (!act_version.empty()) {
    ActTableModel acts;
    acts.version = act_version;
    for (const char* code : {"ZZQK0020", "DEQP0030", "YYYY0150"}) AddActCode(&acts, code, 4);
    Write(table_dir + kActTableName, grulo::testing::ActBytes(acts));
  }
  if (!diag_version.empty()) {
    DiagTableModel diags;
    diags.version = diag_version;
    diags.record_size = 6;
    for (const char* code : {"Z501", "I10", "E119", "J45+0", "N18"}) {
      AddDiagCode(&diags, code, 0xFF, {30, 0, 0, 0, 0});
    }
    Write(table_dir + kDiagTableName, grulo::testing::DiagBytes(diags));
  }
}

}  // namespace grulo::test
