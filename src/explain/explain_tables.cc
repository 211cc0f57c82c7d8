#include "explain/explain_tables.h"

#include <utility>

namespace grulo {
namespace {

std::string VersionDetail(std::string_view table, const VersionText& version,
                          const VersionText& tree_version) {
  return "the " + std::string(table) + " table has version '" + std::string(VersionView(version)) +
         "', the tree table '" + std::string(VersionView(tree_version)) + "'";
}

}  // namespace

ExplainTables ExplainTables::Open(std::string_view rep_tab) {
  ExplainTables tables;
  tables.directory_ = std::string(rep_tab);
  TreeTable tree;
  ActTable acts;
  DiagTable diags;
  tables.tree_.status = OpenTreeTable(rep_tab, &tree, &tables.tree_.why);
  tables.acts_.status = OpenActTable(rep_tab, &acts, &tables.acts_.why);
  tables.diags_.status = OpenDiagTable(rep_tab, &diags, &tables.diags_.why);
  if (tree.is_open()) tables.tree_version_ = tree.TableVersion;
  if (acts.is_open()) tables.act_version_ = acts.TableVersion;
  if (diags.is_open()) tables.diag_version_ = diags.TableVersion;
  tables.acts_.version_agrees = VersionsAgree(tables.act_version_, tables.tree_version_);
  tables.diags_.version_agrees = VersionsAgree(tables.diag_version_, tables.tree_version_);
  if (tree.is_open() && acts.is_open() && diags.is_open()) {
    tables.set_ =
        std::make_shared<const TableSet>(std::move(tree), std::move(acts), std::move(diags));
  }
  return tables;
}

std::optional<TableProblem> ExplainTables::ProblemFor(int64_t well_formed_before) const {
  if (tree_.status != kTableOpened) {
    return TableProblem{TableProblemKind::kTreeCannotOpen, tree_.status, tree_.why.message()};
  }
  if (acts_.status != kTableOpened) {
    return TableProblem{TableProblemKind::kActsCannotOpen, acts_.status, acts_.why.message()};
  }
  // The summaries that meet a version problem, one each, in opening order.
  int64_t version_problems = 0;
  if (!acts_.version_agrees) {
    if (well_formed_before == version_problems) {
      return TableProblem{TableProblemKind::kActVersionDiffers, kTableVersionsDiffer,
                          VersionDetail("act", act_version_, tree_version_)};
    }
    ++version_problems;
  }
  if (diags_.status != kTableOpened) {
    return TableProblem{TableProblemKind::kDiagsCannotOpen, diags_.status, diags_.why.message()};
  }
  if (!diags_.version_agrees && well_formed_before == version_problems) {
    return TableProblem{TableProblemKind::kDiagVersionDiffers, kTableVersionsDiffer,
                        VersionDetail("diagnosis", diag_version_, tree_version_)};
  }
  return std::nullopt;
}

}  // namespace grulo
