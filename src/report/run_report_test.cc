#include "report/run_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "checks/error_catalogue.h"
#include "checks/summary_testutil.h"
#include "report/report_html.h"

namespace grulo {
namespace {

// One line of a run as the batch tells it: its outcome, with the errors in
// check order.
struct Line {
  OutcomeKind kind;
  GroupResult result;
  std::vector<int16_t> errors;
};

const TableProblem kMissingTree{TableRole::kTree, kTableCannotOpen,
                                Status::NotFound("'/srv/tab/arbressr.tab'", "No such file")};

RunReport Fed(const std::vector<Line>& lines) {
  RunReport report(RunInfo{});
  const std::string text = testing::ValidSummaryLine(0);
  int64_t number = 0;
  for (const Line& line : lines) {
    LineOutcome outcome;
    outcome.Start(line.kind == OutcomeKind::kFormatProblem ? LineFormat::kUnreadable
                                                           : LineFormat::kWellFormed);
    outcome.kind = line.kind;
    outcome.result = line.result;
    if (line.kind != OutcomeKind::kFormatProblem) outcome.version = {'D', '1', '\0'};
    for (int16_t error : line.errors) AddError(&outcome.errors, error);
    if (line.kind == OutcomeKind::kTableProblem) {
      outcome.version = {};
      outcome.table_problem = &kMissingTree;
    }
    report.OnLine(++number, text, text.size(), outcome);
  }
  RunCounters counters;
  report.OnEnd(counters, nullptr);
  return report;
}

std::string Card(const char* counter, int64_t value) {
  return "data-counter=\"" + std::string(counter) + "\" data-value=\"" + std::to_string(value) +
         "\"";
}

// Sentences that were once printed where they were false: none may appear
// whatever the run.
constexpr const char* kNeverSaid[] = {
    "No summary has an error", "Every walk of the tree reached a leaf",
    "The three tables opened and agreed", "Every line is a well-formed summary",
    "No summary was blocked."};

TEST(RunReportTest, ThePageSaysWhatTheOutcomesCount) {
  const Line grouped{OutcomeKind::kGrouped, {1, 20, 0}, {}};
  const Line tree_missing{OutcomeKind::kTableProblem, {0, 0, 99}, {}};
  const Line blocked{OutcomeKind::kBlocked, {90, 900, 16}, {16, 17}};
  const Line walk_failed{OutcomeKind::kWalkFailed, {99, 904, 2}, {17}};
  const Line unreadable{OutcomeKind::kFormatProblem, {}, {}};
  const struct {
    const char* name;
    std::vector<Line> lines;
    std::vector<std::string> said;  // each must appear
  } runs[] = {
      {"groups of every size and sign",
       {grouped,
        {OutcomeKind::kGrouped, {225, 26824, 2}, {}},
        {OutcomeKind::kGrouped, {106, 1923, 0}, {17}},
        {OutcomeKind::kGrouped, {-3, 7, 0}, {}},
        {OutcomeKind::kGrouped, {-3, 7, 0}, {}}},
       {"data-group=\"225-26824\" data-count=\"1\"", "data-group=\"106-1923\" data-count=\"1\"",
        "data-group=\"-3-007\" data-count=\"2\"", "data-group=\"01-020\" data-count=\"1\"",
        ">225-26824</text>", "return 02", Card("grouped", 5), Card("NbErrNonBloq", 1),
        "None of the 5 summaries checked was blocked.",
        "All 5 walks of the tree reached a leaf.",
        "None of the 5 well-formed summaries met a table problem."}},
      {"a missing tree table",
       {tree_missing, tree_missing, tree_missing},
       {Card("NbLus", 3), Card("table-problems", 3), Card("failed-walks", 0), Card("grouped", 0),
        "id=\"table-problems-banner\"", "3 of the 3 lines (100.0%) were not grouped",
        "the tree table (arbressr.tab) cannot be opened", "/srv/tab/arbressr.tab",
        "The fault is in the tables, not in the summaries",
        "No summary went through the checks, so no error was looked for.",
        "No summary was walked through the tree.",
        "No summary went through the checks, so none was blocked."}},
      {"everything blocked",
       {blocked, blocked},
       {Card("NbErrBloq", 2), Card("grouped", 0), "No summary was walked through the tree.",
        "No summary reached a leaf of the tree (0 walks started).",
        "data-error=\"16\" data-summaries=\"2\"",
        "class=\"first-blocking-row\" data-error=\"16\" data-summaries=\"2\"",
        "class=\"field-row\" data-field=\"sex\" data-summaries=\"2\""}},
      {"a failed walk",
       {grouped, walk_failed},
       {Card("failed-walks", 1), Card("NbErrNonBloq", 1), "id=\"failed-walks-banner\"",
        "1 with 99-904 code 02", "The fault is in the tree table"}},
      {"an empty input",
       {},
       {Card("NbLus", 0), "The input has no line.", "id=\"empty-run-banner\"",
        "No summary needed the tables.", "No summary went through the checks"}},
      {"format problems only",
       {unreadable},
       {Card("NbErrForm", 1), "No summary needed the tables.",
        "No summary went through the checks, so no error was looked for."}},
  };
  for (const auto& run : runs) {
    const RunReport report = Fed(run.lines);
    const std::string page = ReportHtml(report, "");
    for (const std::string& sentence : run.said) {
      EXPECT_NE(page.find(sentence), std::string::npos) << run.name << ": " << sentence;
    }
    for (const char* sentence : kNeverSaid) {
      EXPECT_EQ(page.find(sentence), std::string::npos) << run.name << ": " << sentence;
    }
    const bool tables_failed = report.counters().NbErrTab > 0;
    EXPECT_EQ(page.find("table-problems-banner") != std::string::npos, tables_failed) << run.name;
    EXPECT_EQ(page.find("failed-walks-banner") != std::string::npos,
              report.counters().NbErrArbre > 0)
        << run.name;
  }
}

TEST(RunReportTest, CountsFollowTheOutcomes) {
  const RunReport report = Fed({{OutcomeKind::kFormatProblem, {}, {}},
                                {OutcomeKind::kTableProblem, {0, 0, 99}, {}},
                                {OutcomeKind::kBlocked, {90, 900, 16}, {17, 16, 16}},
                                {OutcomeKind::kWalkFailed, {99, 904, 3}, {17}},
                                {OutcomeKind::kGrouped, {2, 120, 0}, {}}});
  RunCounters expected;
  expected.NbLus = 5;
  expected.NbErrForm = 1;
  expected.NbErrBloq = 1;
  expected.NbErrNonBloq = 1;
  expected.NbGrp = 3;
  expected.NbErrTab = 1;
  expected.NbErrArbre = 1;
  expected.NbErrArbreNonBloq = 1;
  EXPECT_EQ(report.counters(), expected);
  EXPECT_TRUE(report.complete());
  EXPECT_EQ(report.checked(), 3);
  EXPECT_EQ(report.walked(), 2);
  EXPECT_EQ(report.grouped(), 1);
  EXPECT_EQ(report.errors().at(16).summaries, 1);
  EXPECT_EQ(report.errors().at(16).occurrences, 2);
  EXPECT_EQ(report.errors().at(17).summaries, 2);
  ASSERT_EQ(report.rejected().size(), 1u);
  EXPECT_EQ(report.rejected()[0].line_number, 3);
  EXPECT_EQ(report.rejected()[0].blocking, (std::vector<int16_t>{16, 16}));
  EXPECT_EQ(report.rejected()[0].non_blocking, std::vector<int16_t>{17});
  const auto& problem = report.table_problems().at({TableRole::kTree, kTableCannotOpen});
  EXPECT_EQ(problem.message, "Pb d'ouverture des tables arbre: 99");
  EXPECT_EQ(problem.lines.first_lines, std::vector<int64_t>{2});
  // Error 16 is the sex's, 17 the unit number's: a summary counts once per
  // field, every error in the errors.
  std::map<std::string_view, std::pair<int64_t, int64_t>> fields;
  for (const auto& [field, count] : report.error_fields()) {
    fields[field] = {count.summaries, count.occurrences};
  }
  EXPECT_EQ(fields, (std::map<std::string_view, std::pair<int64_t, int64_t>>{
                        {error_field::kSex.name, {1, 2}}, {error_field::kUnitNo.name, {2, 2}}}));
  EXPECT_EQ(report.first_blocking(), (std::map<int16_t, int64_t>{{16, 1}}));
  // The tree's version once open; a table problem of the tree has none.
  EXPECT_EQ(report.versions(),
            (std::vector<std::pair<std::string, int64_t>>{{"", 1}, {"D1", 2}}));
}

// Establishments and weeks: each line counts for its establishment, each
// well-formed summary for its week; the page lists the weeks in time.
TEST(RunReportTest, SplitByEstablishmentAndWeek) {
  RunReport report(RunInfo{});
  const struct {
    const char* establishment;
    const char* week;
    OutcomeKind kind;
  } lines[] = {
      {"750000001", "022025", OutcomeKind::kGrouped},
      {"750000001", "522024", OutcomeKind::kBlocked},
      {"130000002", "022025", OutcomeKind::kTableProblem},
      {"130000002", "022025", OutcomeKind::kWalkFailed},
      {"130000002", "", OutcomeKind::kFormatProblem},
  };
  int64_t number = 0;
  for (const auto& line : lines) {
    std::string text = testing::ValidSummaryLine(0);
    testing::SetField(&text, line_field::kEstablishmentNo, line.establishment);
    if (line.kind == OutcomeKind::kFormatProblem) text = text.substr(0, 100);
    testing::SetField(&text, line_field::kWeekNo, *line.week ? line.week : "xxxxxx");
    LineOutcome outcome;
    outcome.Start(line.kind == OutcomeKind::kFormatProblem ? LineFormat::kSizeProblem
                                                           : LineFormat::kWellFormed);
    outcome.kind = line.kind;
    if (line.kind == OutcomeKind::kBlocked) AddError(&outcome.errors, 16);
    if (line.kind == OutcomeKind::kTableProblem) outcome.table_problem = &kMissingTree;
    report.OnLine(++number, text, text.size(), outcome);
  }
  const auto& paris = report.establishments().at("750000001");
  const auto& marseille = report.establishments().at("130000002");
  EXPECT_EQ((std::vector<int64_t>{paris.lines, paris.grouped, paris.blocked,
                                  paris.format_problems, paris.not_grouped}),
            (std::vector<int64_t>{2, 1, 1, 0, 0}));
  EXPECT_EQ((std::vector<int64_t>{marseille.lines, marseille.grouped, marseille.blocked,
                                  marseille.format_problems, marseille.not_grouped}),
            (std::vector<int64_t>{3, 0, 0, 1, 2}));
  EXPECT_EQ(report.weeks(),
            (std::map<std::string, int64_t, std::less<>>{{"022025", 3}, {"522024", 1}}));
  const std::string page = ReportHtml(report, "");
  EXPECT_NE(page.find("The 4 well-formed summaries cover 2 weeks"), std::string::npos);
  const size_t december = page.find(">52/2024<"), january = page.find(">02/2025<");
  ASSERT_NE(december, std::string::npos);
  ASSERT_NE(january, std::string::npos);
  EXPECT_LT(december, january);
  EXPECT_NE(page.find("data-establishment=\"130000002\" data-lines=\"3\" data-grouped=\"0\" "
                      "data-blocked=\"0\" data-format-problems=\"1\""),
            std::string::npos);
}

}  // namespace
}  // namespace grulo
