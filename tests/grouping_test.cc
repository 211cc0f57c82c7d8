// The whole job as a user runs it: grulo with real table files, built in the
// test, and summaries that reach every outcome of the grouping pipeline. The
// exact bytes of both output files and of the counters are checked.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "authoring/table_model.h"
#include "checks/summary_testutil.h"
#include "process_testutil.h"
#include "summary_tables_testutil.h"

namespace grulo::test {
namespace {

using testing::SetField;
using testing::ValidSummaryLine;

constexpr char kToday[] = "15062009";  // the date the valid summary is valid on

std::string Header(int n) {
  return "====================================Enregistrement n\xB0 " + std::to_string(n) + "\r\n";
}
// The identification line of the valid summary.
constexpr char kIdent[] = "N\xB0 de SSR / N\xB0 de semaine / N\xB0 UM : 0001234 / 112009 / A123\r\n";
std::string Lists(const std::string& blocking, const std::string& non_blocking) {
  return "\t->  Liste des erreurs bloquantes: " + blocking +
         "\r\n\t->  Liste des erreurs non bloquantes: " + non_blocking + "\r\n";
}
std::string Counters(int lus, int bloq, int non_bloq, int form) {
  return "[R\xE9sultats]\r\nNbLus=" + std::to_string(lus) + "\r\nNbErrBloq=" +
         std::to_string(bloq) + "\r\nNbErrNonBloq=" + std::to_string(non_bloq) +
         "\r\nNbErrForm=" + std::to_string(form) + "\r\n";
}
std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

class GroupingTest : public ::testing::Test {
 protected:
  // Writes the three tables; an empty version leaves a table out.
  void WriteTables(const std::string& tree_version, const std::string& act_version,
                   const std::string& diag_version) {
    // Node 0 asks for an act of class 4: without one the summary goes to
    // leaf 02/120/00. With one, a score sum of 5 or less jumps on the spot
    // until the walk gives up (code 1); up to 8 leads beyond the tree
    // (code 3); above 8 to leaf 03/130/01.
    const std::vector<TreeNodeRecord> nodes = {
        TreeNodeRecord::Inner(3, 0, 4, 1, 1),   // 0: ActClassPresent 4
        TreeNodeRecord::Leaf(2, 120, 0),        // 1
        TreeNodeRecord::Inner(6, 0, 5, 1, 3),   // 2: ScoreSumAtMost 5
        TreeNodeRecord::Inner(6, 0, 8, 1, 5),   // 3: ScoreSumAtMost 8
        TreeNodeRecord::Inner(19, 0, 0, 1, 4),  // 4: Jump 0
        TreeNodeRecord::Leaf(3, 130, 1)};       // 5
    WriteSummaryTables(box_.TableDir(), nodes, tree_version, act_version, diag_version);
  }

  GruloSandbox box_;
};

TEST_F(GroupingTest, EveryOutcomeOfAWeek) {
  WriteTables("T1", "T1", "T1");
  std::string no_act = ValidSummaryLine(0);
  std::string act = ValidSummaryLine(1);  // an act of class 4, scores 1+2+3+4
  std::string beyond = act;
  SetField(&beyond, line_field::kScores, "222222");
  std::string cycle = act;
  SetField(&cycle, line_field::kScores, "111112");
  std::string non_blocking = no_act;
  SetField(&non_blocking, line_field::kUnitNo, "    ");
  SetField(&non_blocking, line_field::kPostCode, "7501 ");
  std::string blocking = no_act;
  SetField(&blocking, line_field::kPresenceDays, "0000000");
  SetField(&blocking, line_field::kScores, "123459");
  std::string many_acts = ValidSummaryLine(12);
  std::string signed_count = ValidSummaryLine(3);
  SetField(&signed_count, line_field::kActCount, "+3");

  box_.WriteInput(Lines({no_act, act, beyond, non_blocking, blocking, many_acts, signed_count,
                         cycle}));
  ASSERT_EQ(box_.Run(kToday), 0);
  EXPECT_EQ(box_.Grp(), "T10212000M14" + no_act + "\r\n" +
                            "T10313001M14" + act + "\r\n" +
                            "T19990403M14" + beyond + "\r\n" +
                            "T10212000M14" + non_blocking + "\r\n" +
                            "T19990401M14" + cycle + "\r\n");
  const std::string no_unit =
      "N\xB0 de SSR / N\xB0 de semaine / N\xB0 UM : 0001234 / 112009 /     \r\n";
  // The fourth act of the valid line is not in the act table: 82.
  EXPECT_EQ(box_.Err(), Header(4) + no_unit + Lists("", "41,17,") +
                            Header(5) + kIdent + Lists("47,77,77,", "") +
                            Header(6) + kIdent + Lists("76,", "82,82,") +
                            Header(7) + kIdent + Lists("75,", ""));
  EXPECT_EQ(box_.Counters(), Counters(8, 3, 1, 0));
}

TEST_F(GroupingTest, MissingTreeTable) {
  WriteTables("", "T1", "T1");
  std::string line = ValidSummaryLine(0);
  box_.WriteInput(Lines({line, line}));
  ASSERT_EQ(box_.Run(kToday), 0);
  EXPECT_EQ(box_.Grp(), "  0000099M14" + line + "\r\n  0000099M14" + line + "\r\n");
  EXPECT_EQ(box_.Err(),
            "Pb d'ouverture des tables arbre: 99\r\nPb d'ouverture des tables arbre: 99\r\n");
  EXPECT_EQ(box_.Counters(), Counters(2, 0, 0, 0));
}

TEST_F(GroupingTest, MissingDiagnosisTable) {
  WriteTables("T1", "T1", "");
  std::string line = ValidSummaryLine(0);
  box_.WriteInput(Lines({line, line}));
  ASSERT_EQ(box_.Run(kToday), 0);
  EXPECT_EQ(box_.Grp(), "T10000099M14" + line + "\r\nT10000099M14" + line + "\r\n");
  EXPECT_EQ(box_.Err(),
            "Pb d'ouverture des tables des diags : 99\r\n"
            "Pb d'ouverture des tables des diags : 99\r\n");
}

TEST_F(GroupingTest, ActTableOfAnotherVersionEndsOnlyTheFirstSummary) {
  WriteTables("T1", "T2", "T1");
  std::string line = ValidSummaryLine(0);
  box_.WriteInput(Lines({line, line, line}));
  ASSERT_EQ(box_.Run(kToday), 0);
  EXPECT_EQ(box_.Grp(), "T10000009M14" + line + "\r\nT10212000M14" + line +
                            "\r\nT10212000M14" + line + "\r\n");
  EXPECT_EQ(box_.Err(), "Version des tables incompatible (Arbre - Actes) \r\n");
}

}  // namespace
}  // namespace grulo::test
