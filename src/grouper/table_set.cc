#include "grouper/table_set.h"

#include <utility>

namespace grulo {
namespace {

// The problems found so far: the code of the first, every message.
struct Problems {
  Status::Code code = Status::kOk;
  std::string messages;

  void Note(const Status& problem) {
    if (code == Status::kOk) code = problem.code();
    if (!messages.empty()) messages += '\n';
    messages += problem.message();
  }
};

template <typename Table, typename Adopt>
bool OpenOne(const std::string& path, Adopt adopt, Table* table, Problems* problems) {
  Status why;
  std::unique_ptr<TableFile> file = TableFile::Open(path, &why);
  if (file != nullptr && adopt(file, table, &why) == kTableOpened) return true;
  problems->Note(why);
  return false;
}

}  // namespace

Status VersionProblem(const std::string& path, const VersionText& version,
                      const VersionText& tree_version) {
  return Status::Corruption(path, "version '" + std::string(VersionView(version)) +
                                      "' differs from the tree table's '" +
                                      std::string(VersionView(tree_version)) + "'");
}

TablePaths TablePathsIn(std::string_view directory) {
  std::string prefix(directory);
  if (!prefix.empty() && prefix.back() != '/') prefix += '/';
  return TablePaths{prefix + kTreeTableName, prefix + kActTableName, prefix + kDiagTableName};
}

Status OpenTableSet(const TablePaths& paths, std::shared_ptr<const TableSet>* tables) {
  Problems problems;
  TreeTable tree;
  ActTable acts;
  DiagTable diags;
  const bool tree_open = OpenOne(paths.tree, AdoptTreeTable, &tree, &problems);
  const bool acts_open = OpenOne(paths.acts, AdoptActTable, &acts, &problems);
  const bool diags_open = OpenOne(paths.diags, AdoptDiagTable, &diags, &problems);
  if (tree_open && acts_open && !VersionsAgree(acts.TableVersion, tree.TableVersion)) {
    problems.Note(VersionProblem(paths.acts, acts.TableVersion, tree.TableVersion));
  }
  if (tree_open && diags_open && !VersionsAgree(diags.TableVersion, tree.TableVersion)) {
    problems.Note(VersionProblem(paths.diags, diags.TableVersion, tree.TableVersion));
  }
  if (problems.code != Status::kOk) return Status(problems.code, "", problems.messages);
  *tables = std::make_shared<const TableSet>(std::move(tree), std::move(acts), std::move(diags));
  return Status();
}

}  // namespace grulo
