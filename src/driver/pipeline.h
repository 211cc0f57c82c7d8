// The record grouping pipeline: turns one well-formed summary into its error
// list and group result. It opens the three tables on first use (tree, acts,
// diagnoses; a table that failed is tried again with the next summary), builds
// the working record, looks up the codes, derives the dates and counts, runs
// the field checks and, when none of them blocks, walks the decision tree.

#ifndef GRULO_DRIVER_PIPELINE_H_
#define GRULO_DRIVER_PIPELINE_H_

#include <string_view>

#include "calendar/clock.h"
#include "driver/group_summary.h"
#include "summary/summary_state.h"
#include "tables/open_tables.h"
#include "tree/tree_walk.h"

namespace grulo {

class GroupingPipeline final : public SummaryGrouper {
 public:
  // The clock gives Today for every summary.
  explicit GroupingPipeline(Clock& clock) : clock_(clock) {}

  void GroupSummary(std::string_view line, std::string_view rep_tab, int16_t* group_category,
                    int16_t* group_number, int16_t* group_return, ErrorList* errors,
                    OutputFile* err_file, VersionText* table_version) override;

  // What the last summary left behind; for tests.
  const SummaryState& state() const { return state_; }
  const OpenTables& tables() const { return tables_; }

 private:
  // Opens the tables that are not open yet and copies the tree version into
  // `table_version`; the status of the first problem (99 or 9), after writing
  // its message, or 0.
  int16_t OpenMissingTables(std::string_view rep_tab, OutputFile* err_file,
                     VersionText* table_version);

  Clock& clock_;
  OpenTables tables_;
  VersionText tree_version_{};  // kept from the opening of the tree table
  SummaryState state_;
  TreeNode current_node_;  // the last node read by the walk
};

}  // namespace grulo

#endif  // GRULO_DRIVER_PIPELINE_H_
