#include "report/group_labels.h"

#include <gtest/gtest.h>

#include <string>

#include "report/report_html.h"

namespace grulo {
namespace {

TEST(GroupLabelsTest, RowsAndTheirFaults) {
  const struct {
    const char* csv;
    GroupLabels labels;  // when ok
    const char* fault;   // empty: ok
  } rows[] = {
      {"category,number,label\r\n1,20,Late rehabilitation\r\n\r\n225,26824,\"Burns, \"\"severe\"\"\"\n",
       {{{1, 20}, "Late rehabilitation"}, {{225, 26824}, "Burns, \"severe\""}},
       ""},
      {"\xEF\xBB\xBF" "5,-7,Minus\n-3, 7 ,\n", {{{5, -7}, "Minus"}, {{-3, 7}, ""}}, ""},
      {"1,20\n", {}, "labels.csv:1: 2 fields, where a row has three"},
      {"1,20,a,b\n", {}, "labels.csv:1: 4 fields"},
      {"1,x,a\n", {}, "labels.csv:1: the category and the number are integers"},
      {"1,40000,a\n", {}, "labels.csv:1: the category and the number are integers"},
      {"1,20,\"open\n", {}, "labels.csv:1: a quote is not closed"},
      {"1,20,\"a\"b\n", {}, "labels.csv:1: a quote is not closed"},
      {"1,20,a\n01,020,b\n", {}, "labels.csv:2: this group has a label already"},
  };
  for (const auto& row : rows) {
    GroupLabels labels;
    const Status status = ParseGroupLabels("labels.csv", row.csv, &labels);
    if (*row.fault == '\0') {
      EXPECT_TRUE(status.ok()) << row.csv << ": " << status.message();
      EXPECT_EQ(labels, row.labels) << row.csv;
    } else {
      EXPECT_EQ(status.message().rfind(row.fault, 0), 0u) << row.csv << ": " << status.message();
    }
  }
}

TEST(GroupLabelsTest, BarsShowTheirLabel) {
  RunReport report(RunInfo{});
  for (const GroupResult result : {GroupResult{225, 26824, 2}, GroupResult{1, 20, 0}}) {
    LineOutcome outcome;
    outcome.Start(LineFormat::kWellFormed);
    outcome.result = result;
    report.OnLine(1, "", 0, outcome);
  }
  const GroupLabels labels = {{{225, 26824}, "Burns <severe>"}};
  const std::string page = ReportHtml(report, "", {}, {.labels = &labels});
  EXPECT_NE(page.find("data-group=\"225-26824\" data-count=\"1\" data-label=\"Burns &lt;severe&gt;\""),
            std::string::npos);
  EXPECT_NE(page.find("data-group=\"01-020\" data-count=\"1\">"), std::string::npos);
}

}  // namespace
}  // namespace grulo
