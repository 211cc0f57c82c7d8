// Grouping one summary with open tables: the working record, the lookups,
// the derived values, the checks and, when none of them blocks, the tree
// walk. A context holds everything that one summary needs while it is
// grouped; each thread that groups owns one, and any number of contexts may
// share one TableSet.

#ifndef GRULO_GROUPER_GROUPING_CONTEXT_H_
#define GRULO_GROUPER_GROUPING_CONTEXT_H_

#include <cstdint>
#include <string_view>

#include "calendar/calendar.h"
#include "checks/check_observer.h"
#include "checks/error_list.h"
#include "grouper/line_outcome.h"
#include "grouper/table_set.h"
#include "record/group_result.h"
#include "summary/summary_state.h"
#include "tree/tree_walk.h"

namespace grulo {

class GroupingContext {
 public:
  GroupingContext();

  GroupingContext(const GroupingContext&) = delete;
  GroupingContext& operator=(const GroupingContext&) = delete;

  // Groups one well-formed summary line with `today` (DDMMYYYY) as the
  // current date into `outcome`, which LineOutcome::Start has just cleared:
  // its kind, its result (90, 900 and the first blocking error; the leaf's
  // numbers; or 99, 904 and the failure code of a walk that failed) and every
  // error found, in check order. The version is the caller's (the table
  // set's). Allocates nothing and makes no system call.
  void Group(const TableSet& tables, std::string_view line, const DateText& today,
             LineOutcome* outcome);

  // The same, telling `checks` of every error found and `walk` of every
  // node read and test answered. Gives the same outcome.
  void Group(const TableSet& tables, std::string_view line, const DateText& today,
             LineOutcome* outcome, CheckObserver& checks, WalkObserver& walk);

  // The whole outcome of one line with tables that are open: its format
  // (RecognizeFormat; `text` holds the line's first characters, at least
  // 343 or all of them, cut at a NUL byte as the batch's reader cuts it, and
  // `length` its length) and, for a summary, the tables' version and Group.
  // For a caller that groups lines one by one (the library).
  void GroupLine(const TableSet& tables, std::string_view text, uint64_t length,
                 const DateText& today, LineOutcome* outcome);

  // The same for a caller that keeps only the result and the errors:
  // `errors` is cleared first. Returns the summary's kind.
  OutcomeKind GroupSummary(const TableSet& tables, std::string_view line, const DateText& today,
                           GroupResult* result, ErrorList* errors);

  // What the last summary left behind: its working record, lookup results
  // and derived values, and the last node the walk read.
  const SummaryState& state() const { return state_; }
  const TreeNode& current_node() const { return current_node_; }

 private:
  // The grouping itself, with the list cleared by the caller.
  template <typename Checks, typename Walk>
  OutcomeKind Run(const TableSet& tables, std::string_view line, const DateText& today,
                  GroupResult* result, ErrorList* errors, Checks& checks, Walk& walk);

  SummaryState state_;
  bool today_known_ = false;  // state_.TodayDay is that of state_.Today
  TreeNode current_node_;
};

}  // namespace grulo

#endif  // GRULO_GROUPER_GROUPING_CONTEXT_H_
