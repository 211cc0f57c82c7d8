#include "cli/outcome_comparison.h"

#include <gtest/gtest.h>

#include <string>
#include <map>
#include <vector>

namespace grulo {
namespace {

ComparedOutcome Summary(int64_t line, int16_t category, int16_t number, int16_t code,
                        std::vector<int16_t> blocking, std::vector<int16_t> non_blocking) {
  ComparedOutcome o;
  o.line = line;
  o.format = LineFormat::kWellFormed;
  o.blocked = !blocking.empty();
  o.category = category;
  o.number = number;
  o.return_code = code;
  o.errors = {blocking, non_blocking};
  return o;
}

TEST(OutcomeComparisonTest, RowsAndTallies) {
  ComparedOutcome malformed;
  malformed.line = 6;
  const struct {
    ComparedOutcome old_outcome, new_outcome;
    const char* row;  // "" when unchanged
  } rows[] = {
      {Summary(1, 1, 10, 0, {}, {17}), Summary(1, 1, 10, 0, {}, {17}), ""},
      {Summary(2, 1, 10, 0, {}, {}), Summary(2, 1, 99, 0, {}, {}), "2,1,10,0,1,99,0,,,,"},
      {Summary(3, 1, 10, 0, {}, {17}), Summary(3, 90, 900, 13, {13, 2}, {17}),
       "3,1,10,0,90,900,13,,17,13 2,17"},
      {Summary(4, 90, 900, 2, {2}, {}), Summary(4, 2, 20, 1, {}, {1}),
       "4,90,900,2,2,20,1,2,,,1"},
      {Summary(5, 1, 10, 0, {}, {17, 1}), Summary(5, 1, 10, 0, {}, {17}),
       "5,1,10,0,1,10,0,,17 1,,17"},
      {malformed, malformed, ""},
  };
  OutcomeComparison comparison;
  std::string row;
  for (const auto& r : rows) {
    SCOPED_TRACE(r.row);
    const bool changed = comparison.Add(r.old_outcome, r.new_outcome, &row);
    EXPECT_EQ(changed, *r.row != '\0');
    EXPECT_EQ(row, changed ? std::string(r.row) + "\n" : "");
  }
  EXPECT_EQ(comparison.lines(), 6);
  EXPECT_EQ(comparison.summaries(), 5);
  EXPECT_EQ(comparison.changed(), 4);
  EXPECT_EQ(comparison.regrouped(), 3);
  EXPECT_EQ(comparison.newly_blocked_lines(), std::vector<int64_t>{3});
  EXPECT_EQ(comparison.unblocked_lines(), std::vector<int64_t>{4});
  using G = OutcomeComparison::Group;
  const std::map<std::pair<G, G>, int64_t> transitions = {
      {{{1, 10}, {1, 10}}, 2}, {{{1, 10}, {1, 99}}, 1},
      {{{1, 10}, {90, 900}}, 1}, {{{90, 900}, {2, 20}}, 1}};
  EXPECT_EQ(comparison.transitions(), transitions);
  std::string changes;
  for (const auto& [number, change] : comparison.error_changes()) {
    changes += std::to_string(number) + ":+" + std::to_string(change.appears) + "-" +
               std::to_string(change.disappears) + " ";
  }
  EXPECT_EQ(changes, "1:+1-1 2:+1-1 13:+1-0 ");

  ComparisonNames names{"in <1>.rss", "old/", "new/", "07122026", "D1", "D2"};
  const std::string page = ComparisonHtml(comparison, names);
  EXPECT_NE(page.find("<td class=\"l\">in &lt;1&gt;.rss</td>"), std::string::npos);
  EXPECT_NE(page.find("<th>01-010</th><td class=\"same\">2</td><td class=\"moved\">1</td>"
                      "<td></td><td class=\"moved\">1</td>"),
            std::string::npos)
      << page;
  EXPECT_EQ(ComparisonSummaryText(comparison),
            "6 lines, 5 summaries: 4 with another outcome (3 another group or return code, 1 "
            "newly blocked, 1 no longer blocked)\nerrors that appear: 1 (1) 2 (1) 13 (1)\n"
            "errors that disappear: 1 (1) 2 (1)\n");
}

}  // namespace
}  // namespace grulo
