// What a change of tables does to the outcomes of the same summaries: fed
// the outcome of each line under the old and under the new tables, it
// tells whether the summary's outcome changed (its three numbers or its
// error lists), writes its CSV row, and tallies the transitions from old to
// new groups, the summaries newly blocked or no longer blocked, and the
// errors that appear or disappear. `grulo compare` feeds it; the page of
// the comparison is made from its tallies.

#ifndef GRULO_CLI_OUTCOME_COMPARISON_H_
#define GRULO_CLI_OUTCOME_COMPARISON_H_

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/outcome_rows.h"
#include "grouper/line_outcome.h"

namespace grulo {

// What the comparison keeps of one line's outcome.
struct ComparedOutcome {
  int64_t line = 0;
  LineFormat format = LineFormat::kUnreadable;
  bool blocked = false;
  int16_t category = 0, number = 0, return_code = 0;
  ErrorNumbers errors;

  static ComparedOutcome Of(int64_t line, const LineOutcome& outcome);
};

// The header of the CSV of changes, with its line feed.
extern const std::string_view kChangesCsvHeader;

// A group as the page labels it: "%02d-%03d".
std::string GroupLabel(int16_t category, int16_t number);

class OutcomeComparison {
 public:
  // The summaries listed by line for each kind of change, at most.
  static constexpr size_t kListedLines = 50;

  // Compares one line's outcomes (the same line under both tables); true
  // when the summary's outcome changed, its CSV row then appended to
  // `csv_row` (cleared first).
  bool Add(const ComparedOutcome& old_outcome, const ComparedOutcome& new_outcome,
           std::string* csv_row);

  using Group = std::pair<int16_t, int16_t>;  // category, number
  int64_t lines() const { return lines_; }
  int64_t summaries() const { return summaries_; }
  int64_t changed() const { return changed_; }
  int64_t regrouped() const { return regrouped_; }  // another group or return code
  // Summaries by old group and new group (every summary, unchanged ones on
  // the diagonal).
  const std::map<std::pair<Group, Group>, int64_t>& transitions() const { return transitions_; }
  int64_t newly_blocked() const { return newly_blocked_; }
  int64_t unblocked() const { return unblocked_; }
  const std::vector<int64_t>& newly_blocked_lines() const { return newly_blocked_lines_; }
  const std::vector<int64_t>& unblocked_lines() const { return unblocked_lines_; }
  // Per error number: the summaries where it appears (in the new lists, not
  // in the old), and where it disappears.
  struct ErrorChange {
    int64_t appears = 0;
    int64_t disappears = 0;
  };
  const std::map<int16_t, ErrorChange>& error_changes() const { return error_changes_; }

 private:
  int64_t lines_ = 0, summaries_ = 0, changed_ = 0, regrouped_ = 0;
  int64_t newly_blocked_ = 0, unblocked_ = 0;
  std::vector<int64_t> newly_blocked_lines_, unblocked_lines_;
  std::map<std::pair<Group, Group>, int64_t> transitions_;
  std::map<int16_t, ErrorChange> error_changes_;
  std::vector<int16_t> old_all_, new_all_;  // scratch
};

// The names of what was compared, for the page.
struct ComparisonNames {
  std::string input, old_tables, new_tables, today;
  std::string old_version, new_version;  // the tree tables' versions, as bytes
};

// The page: one HTML document in UTF-8 that needs nothing beside it.
std::string ComparisonHtml(const OutcomeComparison& comparison, const ComparisonNames& names);

// The short summary for the terminal, lines ending with a line feed.
std::string ComparisonSummaryText(const OutcomeComparison& comparison);

}  // namespace grulo

#endif  // GRULO_CLI_OUTCOME_COMPARISON_H_
