// The record grouping of the batch: the batch's own rules for the tables
// around the grouping context. The three tables are opened on first use (tree,
// acts, diagnoses; a table that failed is tried again with the next summary,
// its message written into the .err file each time; the versions are
// compared only in the call that opens a table), then every summary is
// grouped by the same grouping context that the library offers.

#ifndef GRULO_DRIVER_PIPELINE_H_
#define GRULO_DRIVER_PIPELINE_H_

#include <memory>
#include <string_view>

#include "calendar/clock.h"
#include "driver/group_summary.h"
#include "grouper/grouping_context.h"
#include "grouper/table_set.h"
#include "tables/open_tables.h"

namespace grulo {

class GroupingPipeline final : public SummaryGrouper {
 public:
  // The clock gives Today for every summary.
  explicit GroupingPipeline(Clock& clock) : clock_(clock) {}

  void GroupSummary(std::string_view line, std::string_view rep_tab, int16_t* group_category,
                    int16_t* group_number, int16_t* group_return, ErrorList* errors,
                    OutputFile* err_file, VersionText* table_version) override;

  // Which tables are open; for tests.
  bool tree_open() const { return tree_version_known_; }
  bool acts_open() const { return table_set_ != nullptr || pending_.acts.is_open(); }
  bool diags_open() const { return table_set_ != nullptr || pending_.diags.is_open(); }
  // What the last grouped summary left behind; for tests.
  const SummaryState& state() const { return context_.state(); }

 private:
  // Opens the tables that are not open yet and copies the tree version into
  // `table_version`; the status of the first problem (99 or 9), after writing
  // its message, or 0. Once all three are open they become the table set.
  int16_t OpenMissingTables(std::string_view rep_tab, OutputFile* err_file,
                            VersionText* table_version);

  Clock& clock_;
  OpenTables pending_;  // the tables opened so far, until all three are
  std::shared_ptr<const TableSet> table_set_;
  VersionText tree_version_{};  // kept from the opening of the tree table
  bool tree_version_known_ = false;
  GroupingContext context_;
};

}  // namespace grulo

#endif  // GRULO_DRIVER_PIPELINE_H_
