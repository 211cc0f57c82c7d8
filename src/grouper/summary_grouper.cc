#include "grouper/summary_grouper.h"

#include <utility>

namespace grulo {

RunGrouper::RunGrouper(TableSource source, ClockFactory clocks)
    : session_(std::make_unique<TableSession>(std::move(source))),
      clocks_(std::move(clocks)),
      clock_(clocks_()) {}

RunGrouper::RunGrouper(std::shared_ptr<const TableSet> tables, ClockFactory clocks)
    : tables_(std::move(tables)), clocks_(std::move(clocks)), clock_(clocks_()) {}

void RunGrouper::Group(std::string_view line, LineOutcome* outcome) {
  const TableSet* tables = tables_.get();
  if (tables != nullptr) {
    outcome->version = tables->version();
  } else if ((tables = session_->ForSummary(outcome)) == nullptr) {
    return;  // a table problem ends the summary
  }
  context_.Group(*tables, line, today_.Read(*clock_), outcome);
}

std::unique_ptr<SummaryGrouper> RunGrouper::ForThread() {
  const std::shared_ptr<const TableSet>& tables =
      session_ != nullptr ? session_->table_set() : tables_;
  if (tables == nullptr) return nullptr;
  return std::unique_ptr<SummaryGrouper>(new RunGrouper(tables, clocks_));
}

}  // namespace grulo
