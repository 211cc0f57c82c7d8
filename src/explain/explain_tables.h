// The tables of an explanation, opened the way the batch opens them: each
// file is the table directory immediately followed by its name, in the order
// tree, acts, diagnoses, and a table whose version differs from the tree's
// is kept all the same. What the batch then does with a summary depends on
// how many well-formed summaries came before it in the run: a table problem
// that concerns the versions is reported to one summary only.

#ifndef GRULO_EXPLAIN_EXPLAIN_TABLES_H_
#define GRULO_EXPLAIN_EXPLAIN_TABLES_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/status.h"
#include "grouper/result_lines.h"
#include "grouper/table_set.h"
#include "tables/open_tables.h"

namespace grulo {

// A table problem as the batch reports it for one summary.
struct TableProblem {
  TableProblemKind kind;
  int16_t status;      // 99: a table cannot be opened; 9: versions differ
  std::string detail;  // for a person: the path and the reason, or both versions
};

class ExplainTables {
 public:
  // Opens the three tables of `rep_tab`, which is put before each file name
  // as it is (the batch's RepTab ends with a separator).
  static ExplainTables Open(std::string_view rep_tab);

  // The tables that opened, for the grouping; nullptr unless all three did.
  const TableSet* set() const { return set_.get(); }
  // The tree table's version, empty when it did not open.
  const VersionText& version() const { return tree_version_; }
  const std::string& directory() const { return directory_; }

  // The problem the batch reports for the summary that has
  // `well_formed_before` well-formed lines before it in its input, or none
  // when it groups that summary. A table that cannot be opened concerns
  // every summary; the versions are compared only by the summary that opens
  // the table (the act table by the first summary, the diagnosis table by
  // the next one when the act table's version differed, else by the first).
  std::optional<TableProblem> ProblemFor(int64_t well_formed_before) const;

 private:
  struct Opening {
    int16_t status = kTableCannotOpen;
    Status why;
    bool version_agrees = true;
  };

  std::string directory_;
  Opening tree_, acts_, diags_;
  VersionText tree_version_{};
  VersionText act_version_{};
  VersionText diag_version_{};
  std::shared_ptr<const TableSet> set_;
};

}  // namespace grulo

#endif  // GRULO_EXPLAIN_EXPLAIN_TABLES_H_
