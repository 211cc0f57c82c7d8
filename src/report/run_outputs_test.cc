#include "report/run_outputs.h"

#include <gtest/gtest.h>

#include <string>

#include "checks/summary_testutil.h"
#include "report/report_html.h"

namespace grulo {
namespace {

using testing::SetField;
using testing::ValidSummaryLine;

std::string Header(int n) {
  return "====================================Enregistrement n\xB0 " + std::to_string(n) + "\r\n";
}
constexpr char kIdent[] =
    "N\xB0 de SSR / N\xB0 de semaine / N\xB0 UM : 0001234 / 112009 / A123\r\n";

TEST(RunOutputsReaderTest, EveryLineFindsWhatTheOutputsSayOfIt) {
  const std::string grouped = ValidSummaryLine(0);
  std::string blocked = grouped;
  SetField(&blocked, line_field::kSex, "3");
  std::string non_blocking = grouped;
  SetField(&non_blocking, line_field::kUnitNo, "    ");
  const std::string grp = "T10212000M14" + grouped + "\r\n" + "T19990403M14" + non_blocking +
                          "\r\n" + "T10000009M14" + grouped + "\r\n";
  const std::string err = Header(2) + kIdent + "\t->  Liste des erreurs bloquantes: 16,77,\r\n" +
                          "\t->  Liste des erreurs non bloquantes: 17,\r\n" + Header(3) +
                          "N\xB0 de SSR / N\xB0 de semaine / N\xB0 UM : 0001234 / 112009 /     \r\n"
                          "\t->  Liste des erreurs bloquantes: \r\n"
                          "\t->  Liste des erreurs non bloquantes: 17,\r\n" +
                          Header(4) + "   -> Impossible de lire le format\r\n" +
                          "Version des tables incompatible (Arbre - Actes) \r\n";
  RunOutputsReader reader(grp, err);
  RunReport report(RunInfo{});
  for (const std::string& line : {grouped, blocked, non_blocking, std::string("bad"), grouped}) {
    reader.AddInputLine(line, line.size(), &report);
  }
  EXPECT_EQ(reader.Mismatches(), std::vector<std::string>{});
  EXPECT_EQ(report.counters(), (RunCounters{.NbLus = 5,
                                             .NbErrBloq = 1,
                                             .NbErrNonBloq = 1,
                                             .NbErrForm = 1,
                                             .NbGrp = 3,
                                             .NbErrTab = 1,
                                             .NbErrArbre = 1,
                                             .NbErrArbreNonBloq = 1}));
  EXPECT_EQ(report.counters().NbGrp, 3);
  EXPECT_EQ(report.grouped(), 1);
  ASSERT_EQ(report.groups().size(), 1u);
  EXPECT_EQ(report.groups().begin()->first, (std::pair<int16_t, int16_t>{2, 120}));
  EXPECT_EQ(report.failed_walks().at(3).count, 1);
  EXPECT_EQ(report.table_problems().size(), 1u);
  EXPECT_EQ(report.errors().at(17).summaries, 2);
  EXPECT_EQ(report.errors().at(77).summaries, 1);
  ASSERT_EQ(report.rejected().size(), 1u);
  EXPECT_EQ(report.rejected()[0].line_number, 2);
  EXPECT_EQ(report.rejected()[0].stay_no, "0001234");
  EXPECT_EQ(report.format_problems().at(LineFormat::kUnreadable).first_lines,
            std::vector<int64_t>{4});
}

TEST(RunOutputsReaderTest, OutputsThatDoNotFitAreNamedNotTrusted) {
  const std::string line = ValidSummaryLine(0);
  const struct {
    const char* name;
    std::string grp, err;
    std::vector<std::string> input;
    const char* mismatch;
  } rows[] = {
      {"grp of another line",
       "T10212000M14other\r\n",
       "",
       {line},
       ".grp line 1 is not that of line 1"},
      {"no grp line left", "", "", {line}, "the .grp file has no line left"},
      {"grp lines left", "T1\r\nT2\r\n", "", {}, "2 more lines"},
      {"short grp line", "x\r\n", "", {line}, "not that of line 1"},
      {"entry past the input",
       "",
       Header(9) + "   -> Impossible de lire le format\r\n",
       {"bad"},
       "entry for line 9"},
      {"format problem unknown", "", "", {"bad"}, "no format problem for it"},
      // Numbers that do not fit their columns run together: 225, 26824 and
      // 2; -3, 7 and 0. Such a line is named, never given a group.
      {"wide numbers", "D12252682402M14" + line + "\r\n", "", {line}, "wider than their columns"},
      {"negative number", "D1-300700M14" + line + "\r\n", "", {line}, "wider than their columns"},
  };
  for (const auto& r : rows) {
    RunOutputsReader reader(r.grp, r.err);
    RunReport report(RunInfo{});
    for (const std::string& input : r.input) reader.AddInputLine(input, input.size(), &report);
    std::string all;
    for (const std::string& m : reader.Mismatches()) all += m + "\n";
    EXPECT_NE(all.find(r.mismatch), std::string::npos) << r.name << ": " << all;
    EXPECT_NE(ReportHtml(report, "", reader.Mismatches()).find("class=\"warning\""),
              std::string::npos);
    EXPECT_TRUE(report.groups().empty()) << r.name;
  }
}

TEST(RunOutputsReaderTest, ListsAndLines) {
  EXPECT_EQ(ParseErrorList("47,13,"), (std::vector<int16_t>{47, 13}));
  EXPECT_EQ(ParseErrorList(""), std::vector<int16_t>{});
  EXPECT_EQ(SplitLines("a\r\nb\nc"), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(HtmlEscaped("<a href=\"x\">'&'</a>"),
            "&lt;a href=&quot;x&quot;&gt;&#39;&amp;&#39;&lt;/a&gt;");
  EXPECT_EQ(HtmlEscaped("/donn\xE9" "es/\xC3\xA9t\xC3\xA9"),
            "/donn\xC3\xA9" "es/\xC3\xA9t\xC3\xA9");
}

}  // namespace
}  // namespace grulo
