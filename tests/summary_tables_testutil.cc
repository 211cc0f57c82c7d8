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

std::optional<std::vector<uint8_t>> SummaryTableBytes(TableRole role,
                                                      const std::vector<TreeNodeRecord>& nodes,
                                                      const std::string& version) {
  if (version.empty()) return std::nullopt;
  if (role == TableRole::kTree) {
    TreeTableModel tree;
    tree.version = version;
    tree.nodes = nodes;
    return grulo::testing::TreeBytes(tree);
  }
  if (role == TableRole::kActs) {
    ActTableModel acts;
    acts.version = version;
    for (const char* code : {"ZZQK0020", "DEQP0030", "YYYY0150"}) AddActCode(&acts, code, 4);
    return grulo::testing::ActBytes(acts);
  }
  DiagTableModel diags;
  diags.version = version;
  diags.record_size = 6;
  for (const char* code : {"Z501", "I10", "E119", "J45+0", "N18"}) {
    AddDiagCode(&diags, code, 0xFF, {30, 0, 0, 0, 0});
  }
  return grulo::testing::DiagBytes(diags);
}

void WriteSummaryTables(const std::string& table_dir, const std::vector<TreeNodeRecord>& nodes,
                        const std::string& tree_version, const std::string& act_version,
                        const std::string& diag_version) {
  const std::string versions[] = {tree_version, act_version, diag_version};
  for (TableRole role : kTableRoles) {
    auto bytes = SummaryTableBytes(role, nodes, versions[static_cast<int>(role)]);
    if (bytes) Write(table_dir + TableFileName(role), *bytes);
  }
}

}  // namespace grulo::test
