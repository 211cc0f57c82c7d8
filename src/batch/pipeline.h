// The record grouping of the batch: the batch's own rules for the tables
// around the grouping context. The three tables are opened on first use (tree,
// acts, diagnoses; a table that failed is tried again with the next summary,
// its message written into the .err file each time; the versions are
// compared only in the call that opens a table), then every summary is
// grouped by the same grouping context that the library offers.

#ifndef GRULO_BATCH_PIPELINE_H_
#define GRULO_BATCH_PIPELINE_H_

#include <functional>
#include <memory>
#include <string_view>

#include "base/status.h"
#include "calendar/clock.h"
#include "batch/group_summary.h"
#include "grouper/grouping_context.h"
#include "grouper/table_set.h"
#include "tables/open_tables.h"

namespace grulo {

class GroupingPipeline final : public SummaryGrouper {
 public:
  // Makes a clock for a pipeline of another thread.
  using ClockFactory = std::function<std::unique_ptr<Clock>()>;

  // The clock gives Today for every summary. Without `clock_factory` the
  // pipeline cannot be copied for other threads.
  explicit GroupingPipeline(Clock& clock, ClockFactory clock_factory = nullptr)
      : clock_(clock), clock_factory_(std::move(clock_factory)) {}

  int16_t GroupSummary(std::string_view line, std::string_view rep_tab, int16_t* group_category,
                       int16_t* group_number, int16_t* group_return, ErrorList* errors,
                       OutputFile* err_file, VersionText* table_version) override;

  // Once the three tables are open: a pipeline that shares them, with a
  // clock of its own.
  std::unique_ptr<SummaryGrouper> ForThread() override;

  // Why the last opening of each table failed (ok while it never failed).
  const Status& tree_problem() const { return tree_problem_; }
  const Status& acts_problem() const { return acts_problem_; }
  const Status& diags_problem() const { return diags_problem_; }

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

  // A pipeline for another thread, with its own clock, over open tables.
  GroupingPipeline(std::unique_ptr<Clock> clock, ClockFactory clock_factory,
                   std::shared_ptr<const TableSet> tables, const VersionText& tree_version);

  std::unique_ptr<Clock> owned_clock_;  // the clock of a pipeline made by ForThread
  Clock& clock_;
  TodayText today_;  // the clock's date, read for every summary
  ClockFactory clock_factory_;
  Status tree_problem_;
  Status acts_problem_;
  Status diags_problem_;
  OpenTables pending_;  // the tables opened so far, until all three are
  std::shared_ptr<const TableSet> table_set_;
  VersionText tree_version_{};  // kept from the opening of the tree table
  bool tree_version_known_ = false;
  GroupingContext context_;
};

}  // namespace grulo

#endif  // GRULO_BATCH_PIPELINE_H_
