// The three tables of a grouping, open and never changed afterwards, so that
// any number of threads may group with one set at the same time.

#ifndef GRULO_GROUPER_TABLE_SET_H_
#define GRULO_GROUPER_TABLE_SET_H_

#include <memory>
#include <string>
#include <string_view>

#include "base/status.h"
#include "tables/open_tables.h"

namespace grulo {

class TableSet {
 public:
  // Takes three open tables. The caller has compared their versions, or
  // chosen not to (the batch compares them once, when a table is opened, and
  // goes on with a table of another version).
  TableSet(TreeTable tree, ActTable acts, DiagTable diags)
      : tree_(std::move(tree)), acts_(std::move(acts)), diags_(std::move(diags)) {}

  TableSet(const TableSet&) = delete;
  TableSet& operator=(const TableSet&) = delete;

  const TreeTable& tree() const { return tree_; }
  const ActTable& acts() const { return acts_; }
  const DiagTable& diags() const { return diags_; }
  // The tree table's version, which starts every result line.
  const VersionText& version() const { return tree_.TableVersion; }

 private:
  const TreeTable tree_;
  const ActTable acts_;
  const DiagTable diags_;
};

// The paths of the three table files.
struct TablePaths {
  std::string tree;
  std::string acts;
  std::string diags;
};

// The three file names in `directory`; a '/' is put between them when the
// directory does not end with one (an empty directory is the current one).
TablePaths TablePathsIn(std::string_view directory);

// "<path>: version 'B2' differs from the tree table's 'A1'": the reason a
// table of another version is refused (here) or ends a summary (the batch).
Status VersionProblem(const std::string& path, const VersionText& version,
                      const VersionText& tree_version);

// Opens the three tables and checks that the act and diagnosis tables carry
// the tree table's version. On success `*tables` holds them; otherwise it is
// left as it was and the status lists every problem found, one per line,
// each naming the table's path and what is wrong.
Status OpenTableSet(const TablePaths& paths, std::shared_ptr<const TableSet>* tables);

}  // namespace grulo

#endif  // GRULO_GROUPER_TABLE_SET_H_
