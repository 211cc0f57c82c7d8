#include "report/previous_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "report/report_html.h"

namespace grulo {
namespace {

// A run whose summaries all reached the given leaves.
RunReport Grouped(const std::vector<GroupResult>& results) {
  RunReport report(RunInfo{});
  for (const GroupResult& result : results) {
    LineOutcome outcome;
    outcome.Start(LineFormat::kWellFormed);
    outcome.result = result;
    report.OnLine(1, "", 0, outcome);
  }
  return report;
}

// Last week's page read back gives its cards and bars; this week's page
// sets them beside its own, groups of either week included.
TEST(PreviousReportTest, ThePageComparesWithLastWeek) {
  const std::string last_week = ReportHtml(
      Grouped({{225, 26824, 2}, {225, 26824, 0}, {5, -7, 0}}), "");
  PreviousReport previous;
  ASSERT_TRUE(ParsePreviousReport("last.html", last_week, &previous).ok());
  EXPECT_EQ(previous.groups, (std::map<std::string, int64_t>{{"225-26824", 2}, {"05--07", 1}}));
  EXPECT_EQ(previous.counters.at("NbLus"), 3);
  EXPECT_EQ(previous.counters.at("grouped"), 3);

  const std::string page =
      ReportHtml(Grouped({{225, 26824, 0}, {1, 20, 0}}), "", {}, {.previous = &previous});
  for (const char* said :
       {"data-previous=\"NbLus\" data-before=\"3\" data-now=\"2\"",
        "data-group=\"225-26824\" data-before=\"2\" data-now=\"1\"",
        "data-group=\"05--07\" data-before=\"1\" data-now=\"0\"",
        "data-group=\"01-020\" data-before=\"0\" data-now=\"1\"", "last.html"}) {
    EXPECT_NE(page.find(said), std::string::npos) << said;
  }

  for (const char* other : {"", "<!DOCTYPE html><p>a page</p>", "week.grp"}) {
    const Status refused = ParsePreviousReport("other.html", other, &previous);
    EXPECT_EQ(refused.message(), "'other.html': is no page of grulo report") << other;
  }
}

}  // namespace
}  // namespace grulo
