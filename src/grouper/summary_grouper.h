// The grouping of the summaries of one run, one well-formed line after the
// other in input order: the table session, a grouping context and the clock
// that gives today's date. The batch engine groups through this interface,
// so that its tests can put a scripted grouping in its place.

#ifndef GRULO_GROUPER_SUMMARY_GROUPER_H_
#define GRULO_GROUPER_SUMMARY_GROUPER_H_

#include <memory>
#include <string_view>

#include "calendar/clock.h"
#include "grouper/grouping_context.h"
#include "grouper/line_outcome.h"
#include "grouper/table_session.h"
#include "grouper/table_source.h"

namespace grulo {

class SummaryGrouper {
 public:
  virtual ~SummaryGrouper() = default;

  // Groups the next well-formed summary line into `outcome`, which
  // LineOutcome::Start(kWellFormed) has just cleared.
  virtual void Group(std::string_view line, LineOutcome* outcome) = 0;

  // A grouper for another thread that, from now on, groups every summary
  // exactly as this one would; nullptr while that is not possible (the
  // tables are opened in input order, so not before all three are open).
  virtual std::unique_ptr<SummaryGrouper> ForThread() { return nullptr; }

  // The story of the run's tables; null for a grouping without one.
  virtual const TableSession* session() const { return nullptr; }
};

// The batch's grouping: the tables from `source` by the batch's rules (see
// TableSession), today's date read from a clock for every summary.
class RunGrouper final : public SummaryGrouper {
 public:
  // `clocks` makes the clock of this grouper and of those for other threads.
  RunGrouper(TableSource source, ClockFactory clocks);

  void Group(std::string_view line, LineOutcome* outcome) override;
  // Once the three tables are open: a grouper that shares them, with a
  // clock of its own.
  std::unique_ptr<SummaryGrouper> ForThread() override;
  const TableSession* session() const override { return session_.get(); }

 private:
  // A grouper for another thread, over the open tables.
  RunGrouper(std::shared_ptr<const TableSet> tables, ClockFactory clocks);

  std::unique_ptr<TableSession> session_;  // null on the other threads
  std::shared_ptr<const TableSet> tables_;  // set on the other threads
  ClockFactory clocks_;
  std::unique_ptr<Clock> clock_;
  TodayText today_;  // the clock's date, read for every summary
  GroupingContext context_;
};

}  // namespace grulo

#endif  // GRULO_GROUPER_SUMMARY_GROUPER_H_
