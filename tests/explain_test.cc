// grulo explain against the batch: on every line of the demo input and of
// generated inputs, and on hand-made summaries that reach every kind of
// outcome, the explanation gives the result, the errors and the very .grp
// and .err lines that the batch writes; its tree path ends at the leaf whose
// numbers the batch wrote. Then the command itself: its sources of a line,
// its JSON document, its usage errors.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "batch_reference_testutil.h"
#include "checks/summary_testutil.h"
#include "command_testutil.h"
#include "explain/explanation.h"
#include "explain/explanation_text.h"
#include "grouper/line_format.h"
#include "grouper/result_lines.h"
#include "grouper/table_session.h"
#include "process_testutil.h"
#include "summary_tables_testutil.h"
#include "tables/open_tables.h"

namespace grulo::test {
namespace {

using grulo::testing::SetField;
using grulo::testing::ValidSummaryLine;

DateText Date(const char* text) {
  DateText date{};
  for (int i = 0; i < 8; ++i) date[i] = text[i];
  return date;
}

std::string WithoutLineEnd(std::string line) {
  if (!line.empty() && line.back() == '\n') line.pop_back();
  return line;
}

std::string Padded(int value, int width) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*d", width, value);
  return text;
}

// The text with every line break and the indentation after it read as one
// space, so that wrapped sentences are found whole.
std::string Flat(const std::string& text) {
  std::string flat;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\n') {
      flat += text[i];
      continue;
    }
    flat += ' ';
    while (i + 1 < text.size() && text[i + 1] == ' ') ++i;
  }
  return flat;
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos || Flat(text).find(part) != std::string::npos;
}

// The widest line of an explanation's text, in characters, but for the .grp
// and .err lines that it shows whole.
size_t WidestLine(const std::string& text) {
  size_t widest = 0;
  bool file_lines = false;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find('\n', start);
    const std::string line = text.substr(start, end - start);
    start = end + 1;
    if (file_lines && line.rfind("    ", 0) == 0) continue;
    file_lines = line.size() > 10 && line.substr(line.size() - 6) == " file:";
    size_t width = 0;
    for (char c : line) width += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    widest = std::max(widest, width);
  }
  return widest;
}

TEST(ExplainAgreesWithTheBatch, OnEveryLineOfTheDemoAndGeneratedInputs) {
  const BatchReference reference(2000);
  TableSession tables(TableSource::InDirectory(reference.table_dir()));
  const DateText today = Date(BatchReference::kToday);
  int64_t line_number = 0, grouped = 0, blocked = 0, format_problems = 0;
  for (const BatchVerdict& v : reference.verdicts()) {
    ++line_number;
    const std::string text = v.line.substr(0, v.line.find('\0'));
    const Explanation e = ExplainLine(&tables, text, text.size(), today, line_number);
    SCOPED_TRACE("line " + std::to_string(line_number));
    EXPECT_EQ(WithoutLineEnd(e.grp_line), v.grp_line);
    EXPECT_LE(WidestLine(ExplanationText(e)), 78u);
    if (!v.format.empty()) {
      ++format_problems;
      EXPECT_EQ(e.outcome, OutcomeKind::kFormatProblem);
      EXPECT_TRUE(Contains(e.err_entry, v.format + "\n")) << e.err_entry;
      continue;
    }
    ASSERT_NE(e.outcome, OutcomeKind::kFormatProblem);
    if (v.has_entry) {
      EXPECT_TRUE(Contains(e.err_entry, std::string(kBlockingListLead) + v.blocking + "\n" +
                                            std::string(kNonBlockingListLead) + v.non_blocking +
                                            "\n"))
          << e.err_entry;
    } else {
      EXPECT_EQ(e.err_entry, "");
    }
    // The errors in check order, sorted as the .err entry lists them.
    std::string blocking_list, non_blocking_list;
    for (const ExplainedError& error : e.errors) {
      (error.blocking ? blocking_list : non_blocking_list) += std::to_string(error.number) + ",";
    }
    EXPECT_EQ(blocking_list, v.blocking);
    EXPECT_EQ(non_blocking_list, v.non_blocking);
    if (e.outcome == OutcomeKind::kBlocked) {
      ++blocked;
      int first_blocking = 0;
      for (const ExplainedError& error : e.errors) {
        if (error.blocking && first_blocking == 0) first_blocking = error.number;
      }
      EXPECT_EQ(e.result.GroupReturn, first_blocking);
      EXPECT_FALSE(e.walked);
    }
    if (e.outcome == OutcomeKind::kGrouped) {
      ++grouped;
      ASSERT_TRUE(e.end.leaf);
      const std::string numbers = Padded(e.end.node.Param2, 2) + Padded(e.end.node.BaseNode, 3) +
                                  Padded(e.end.node.Param1, 2);
      EXPECT_EQ(v.grp_line.substr(2, 7), numbers);
      EXPECT_FALSE(e.steps.empty());
      if (!e.steps.empty()) {
        EXPECT_EQ(e.steps.back().next_node, e.end.node_number);
      }
    }
  }
  // The inputs reach the main outcomes many times.
  EXPECT_GT(grouped, 1000);
  EXPECT_GT(blocked, 100);
  EXPECT_GT(format_problems, 20);
}

// The tables of the hand-made summaries. Node 0 asks for an act of class 4.
// Without one, three presence days or more lead to leaf 02/120/00 and fewer
// to a duration test whose answer (2) is above its branch limit (code 2).
// With one, a score sum above 8 leads to leaf 03/130/01, 6 to 8 to node 10
// beyond the tree (code 3), 5 or less to a node that jumps on the spot
// (code 1).
class ExplainOutcomeTest : public ::testing::Test {
 protected:
  void WriteTables(const std::string& tree_version, const std::string& act_version,
                   const std::string& diag_version) {
    const std::vector<TreeNodeRecord> nodes = {
        TreeNodeRecord::Inner(3, 0, 4, 1, 1),   // 0: ActClassPresent 4
        TreeNodeRecord::Inner(17, 3, 0, 1, 6),  // 1: PresenceBelow 3
        TreeNodeRecord::Inner(6, 0, 5, 1, 3),   // 2: ScoreSumAtMost 5
        TreeNodeRecord::Inner(6, 0, 8, 1, 9),   // 3: ScoreSumAtMost 8
        TreeNodeRecord::Inner(19, 0, 0, 1, 4),  // 4: Jump 0
        TreeNodeRecord::Leaf(9, 999, 9),        // 5
        TreeNodeRecord::Leaf(2, 120, 0),        // 6
        TreeNodeRecord::Inner(15, 2, 0, 1, 8),  // 7: FirstDurationAtLeast
        TreeNodeRecord::Leaf(9, 998, 9),        // 8
        TreeNodeRecord::Leaf(3, 130, 1)};       // 9
    WriteSummaryTables(box_.TableDir(), nodes, tree_version, act_version, diag_version);
  }

  // Runs the batch on the lines and explains each of them; the explanations'
  // .grp and .err lines, put together in input order, must be the batch's
  // files byte for byte.
  std::vector<Explanation> ExplainAgainstTheBatch(const std::vector<std::string>& lines) {
    std::string input;
    for (const std::string& line : lines) input += line + "\n";
    box_.WriteInput(input);
    EXPECT_EQ(box_.Run(kToday), 0);
    TableSession tables(TableSource::InDirectory(box_.TableDir()));
    std::vector<Explanation> explanations;
    std::string grp, err;
    for (size_t i = 0; i < lines.size(); ++i) {
      explanations.push_back(ExplainLine(&tables, lines[i], lines[i].size(), Date(kToday),
                                         static_cast<int64_t>(i + 1)));
      grp += explanations.back().grp_line;
      err += explanations.back().err_entry;
    }
    EXPECT_EQ(WithCrLf(grp), box_.Grp());
    EXPECT_EQ(WithCrLf(err), box_.Err());
    return explanations;
  }

  static std::string WithCrLf(const std::string& text) {
    std::string out;
    for (char c : text) {
      if (c == '\n') out += '\r';
      out += c;
    }
    return out;
  }

  static constexpr char kToday[] = "15062009";
  GruloSandbox box_;
};

TEST_F(ExplainOutcomeTest, EveryKindOfOutcome) {
  WriteTables("T1", "T1", "T1");
  const std::string leaf = ValidSummaryLine(0);      // presence 5: leaf 02/120/00
  const std::string act_leaf = ValidSummaryLine(1);  // class 4, scores 1+2+3+4
  std::string beyond = act_leaf;
  SetField(&beyond, line_field::kScores, "222222");  // sum 8: node 10
  std::string cycle = act_leaf;
  SetField(&cycle, line_field::kScores, "111112");  // sum 4: jumps on the spot
  std::string bad_branch = leaf;
  SetField(&bad_branch, line_field::kPresenceDays, "1100000");
  std::string non_blocking = leaf;
  SetField(&non_blocking, line_field::kUnitNo, "    ");
  std::string blocking = leaf;
  SetField(&blocking, line_field::kBirthDate, "31041950");
  SetField(&blocking, line_field::kPostCode, "7501 ");
  const std::string short_line = leaf.substr(0, 100);
  std::string unknown_format = leaf;
  SetField(&unknown_format, line_field::kFormatNo, "m04");

  const std::vector<Explanation> e =
      ExplainAgainstTheBatch({leaf, act_leaf, beyond, cycle, bad_branch, non_blocking, blocking,
                              short_line, unknown_format, "too short"});
  ASSERT_EQ(e.size(), 10u);

  EXPECT_EQ(e[0].outcome, OutcomeKind::kGrouped);
  EXPECT_EQ(e[0].steps.size(), 2u);  // ActClassPresent, PresenceBelow
  EXPECT_EQ(e[0].steps[0].test_name, "ActClassPresent");
  EXPECT_EQ(e[0].steps[0].branch, 0);
  EXPECT_EQ(e[0].steps[1].looked_at, "presence days 5");
  EXPECT_EQ(e[0].end.node_number, 6);
  const std::string text0 = ExplanationText(e[0]);
  EXPECT_TRUE(Contains(text0, "grouped: category 02, number 120, return code 00")) << text0;
  EXPECT_TRUE(Contains(text0, "is there an act of class 4?"));
  EXPECT_TRUE(Contains(text0, "answer 0 -> node 1"));
  EXPECT_TRUE(Contains(text0, "T10212000M14" + leaf));
  EXPECT_TRUE(Contains(text0, "\"0001234\""));  // the stay number's text
  EXPECT_TRUE(Contains(text0, "nothing to the .err file"));

  EXPECT_EQ(e[1].outcome, OutcomeKind::kGrouped);
  EXPECT_EQ(e[1].end.node_number, 9);
  EXPECT_EQ(e[1].derived.score_sum, 10);

  EXPECT_EQ(e[2].outcome, OutcomeKind::kWalkFailed);
  EXPECT_EQ(e[2].end.failure, 3);
  EXPECT_EQ(e[2].end.node_number, 10);
  EXPECT_TRUE(Contains(ExplanationText(e[2]), "the walk fails with code 3: node 10 lies outside"));

  EXPECT_EQ(e[3].outcome, OutcomeKind::kWalkFailed);
  EXPECT_EQ(e[3].end.failure, 1);
  EXPECT_EQ(e[3].steps.size(), 1000u);
  const std::string text3 = ExplanationText(e[3]);
  EXPECT_TRUE(Contains(text3, "more tests ...")) << text3;
  EXPECT_TRUE(Contains(text3, "without reaching a leaf: a cycle, or a path longer than 1000"));
  EXPECT_TRUE(Contains(text3, "The fault lies in the tree table (arbressr.tab), not in the "
                              "summary"));
  EXPECT_EQ(FaultName(e[3]), "tables");
  EXPECT_TRUE(Contains(text3, "T19990401M14"));

  EXPECT_EQ(e[4].outcome, OutcomeKind::kWalkFailed);
  EXPECT_EQ(e[4].end.failure, 2);
  EXPECT_TRUE(Contains(ExplanationText(e[4]), "answered 2, above the node's branch limit 1"));

  EXPECT_EQ(e[5].outcome, OutcomeKind::kGrouped);
  ASSERT_EQ(e[5].errors.size(), 1u);
  EXPECT_EQ(e[5].errors[0].number, 17);
  EXPECT_FALSE(e[5].errors[0].blocking);
  const std::string text5 = ExplanationText(e[5]);
  EXPECT_TRUE(Contains(
      text5, "17  non-blocking  unit number, columns 88-91: \"\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7\""))
      << text5;
  EXPECT_TRUE(Contains(text5, "(with non-blocking errors only)"));
  EXPECT_TRUE(Contains(text5, "Liste des erreurs non bloquantes: 17,"));

  EXPECT_EQ(e[6].outcome, OutcomeKind::kBlocked);
  EXPECT_EQ(e[6].result.GroupReturn, 12);
  EXPECT_FALSE(e[6].walked);
  const std::string text6 = ExplanationText(e[6]);
  EXPECT_TRUE(Contains(text6, "12  blocking      birth date, columns 41-48: \"31041950\""))
      << text6;
  // The case of the rule that applies, not the whole rule.
  EXPECT_TRUE(Contains(text6, "reads as day 31, month 4, year 1950: April 1950 has 30 days"));
  EXPECT_FALSE(Contains(text6, "Not a day of the calendar"));
  EXPECT_EQ(FaultName(e[6]), "summary");
  const std::string json6 = ExplanationJson(e[6]);
  EXPECT_TRUE(Contains(json6, "\"reason\": \"The birth date \\\"31041950\\\" reads as")) << json6;
  EXPECT_TRUE(Contains(json6, "\"fault\": \"summary\",\n  \"advice\": \"\""));
  EXPECT_TRUE(Contains(text6, "41  non-blocking  post code"));
  EXPECT_TRUE(Contains(text6, "error 12 is the first blocking error"));
  EXPECT_TRUE(Contains(text6, "The batch writes no .grp line"));

  EXPECT_EQ(e[7].format, LineFormat::kSizeProblem);
  EXPECT_TRUE(Contains(ExplanationText(e[7]), "fewer than the 343 of a summary"));
  EXPECT_EQ(e[8].format, LineFormat::kUnknownFormat);
  EXPECT_TRUE(Contains(ExplanationText(e[8]), "unknown format number \"m04\""));
  EXPECT_EQ(e[9].format, LineFormat::kUnreadable);
  EXPECT_TRUE(Contains(ExplanationText(e[9]), "Impossible de lire le format"));
}

TEST_F(ExplainOutcomeTest, MissingTreeTable) {
  WriteTables("", "T1", "T1");
  const std::string line = ValidSummaryLine(0);
  const std::vector<Explanation> e = ExplainAgainstTheBatch({line, line});
  EXPECT_EQ(e[1].outcome, OutcomeKind::kTableProblem);
  const std::string text = ExplanationText(e[1]);
  EXPECT_TRUE(Contains(text, "table problem: " + box_.TableDir() + kTreeTableName)) << text;
  EXPECT_TRUE(Contains(text, "Pb d'ouverture des tables arbre: 99"));
  EXPECT_TRUE(Contains(text, "The fault lies in the tables, not in the summary")) << text;
}

TEST_F(ExplainOutcomeTest, VersionProblemsEndOneSummaryEach) {
  WriteTables("T1", "T2", "T3");
  const std::string line = ValidSummaryLine(0);
  std::string with_unit = line;
  SetField(&with_unit, line_field::kUnitNo, "    ");
  const std::vector<Explanation> e = ExplainAgainstTheBatch({"short", line, with_unit, line});
  EXPECT_EQ(e[1].outcome, OutcomeKind::kTableProblem);
  EXPECT_EQ(e[1].table_problem->table, TableRole::kActs);
  EXPECT_EQ(e[1].table_problem->status, 9);
  EXPECT_TRUE(Contains(e[1].table_problem->reason.message(), "'T2'"));
  EXPECT_EQ(e[2].table_problem->table, TableRole::kDiags);
  EXPECT_EQ(e[2].table_problem->status, 9);
  EXPECT_EQ(e[3].outcome, OutcomeKind::kGrouped);
}

TEST_F(ExplainOutcomeTest, MissingActTable) {
  WriteTables("T1", "", "T1");
  const std::string line = ValidSummaryLine(0);
  const std::vector<Explanation> e = ExplainAgainstTheBatch({line});
  EXPECT_EQ(e[0].table_problem->table, TableRole::kActs);
  EXPECT_EQ(e[0].table_problem->status, 99);
}

// The command itself.
class ExplainCommandTest : public ExplainOutcomeTest {
 protected:
  ProcessResult Explain(std::vector<std::string> args, const std::string& input = "") {
    args.insert(args.begin(), {box_.program(), "explain"});
    return RunCommand(args, input);
  }
};

TEST_F(ExplainCommandTest, FromTheArgumentStandardInputOrALineOfAFile) {
  WriteTables("T1", "T1", "T1");
  const std::string leaf = ValidSummaryLine(0);
  std::string blocked = leaf;
  SetField(&blocked, line_field::kSex, "3");
  box_.WriteInput("x\n" + blocked + "\n" + leaf + "\n");
  const std::string input = box_.dir().File("data/week.rss");
  const std::string tables = box_.dir().File("tables");  // no separator: one is added

  ProcessResult r = Explain({"--tables", tables, "--today", kToday, leaf});
  EXPECT_EQ(r.exit_status, 0) << r.err;
  EXPECT_TRUE(Contains(r.out, "Line 1 of the command line")) << r.out;
  EXPECT_TRUE(Contains(r.out, "grouped: category 02, number 120")) << r.out;

  r = Explain({"-t", tables, "--today=" + std::string(kToday), "-"}, blocked + "\r\nnext\n");
  EXPECT_EQ(r.exit_status, 0) << r.err;
  EXPECT_TRUE(Contains(r.out, "Line 1 of standard input")) << r.out;
  EXPECT_TRUE(Contains(r.out, "16  blocking      sex, column 49: \"3\"")) << r.out;

  r = Explain({"--tables", tables, "--today", kToday, "--input", input, "--line", "2"});
  EXPECT_EQ(r.exit_status, 0) << r.err;
  EXPECT_TRUE(Contains(r.out, "Line 2 of " + input)) << r.out;
  EXPECT_TRUE(Contains(r.out, "====================================Enregistrement n\xC2\xB0 2"))
      << r.out;

  // The configuration names the tables and the input.
  WriteFileBytes(box_.dir().File("bin/grulo.ini"), box_.StandardConfig());
  r = RunCommand({box_.program(), "explain", "-n", "3", "--json"}, "",
                 {std::string("GRULO_TODAY=") + kToday});
  EXPECT_EQ(r.exit_status, 0) << r.err;
  EXPECT_EQ(r.out.rfind("{\n  \"shape\": 1,", 0), 0u) << r.out;
  EXPECT_TRUE(Contains(r.out, "\"outcome\": \"grouped\"")) << r.out;
  EXPECT_TRUE(Contains(r.out, "\"today\": \"15062009\""));
  EXPECT_TRUE(Contains(r.out, "\"grp_line\": \"T10212000M14" + leaf + "\""));
  EXPECT_TRUE(Contains(r.out, "\"test\": \"ActClassPresent\""));
  EXPECT_TRUE(Contains(r.out, "\"fault\": \"none\",\n  \"advice\": \"\""));
}

// The JSON document is valid UTF-8 whatever the encoding of the
// configuration that names the input: the paths of a Windows-1252 grulo.ini
// (accented section, accented input path with a blank) and of a UTF-8 one
// reach it as the same characters. Read back by Python's JSON parser.
TEST_F(ExplainCommandTest, JsonIsUtf8WithAccentedPaths) {
#ifdef _WIN32
  GTEST_SKIP() << "the document is read back by Python, which the Windows tests lack";
#else
  if (!PathExists("/usr/bin/python3")) GTEST_SKIP() << "no /usr/bin/python3";
  WriteTables("T1", "T1", "T1");
  const std::string leaf = ValidSummaryLine(0);
  const std::string cp1252_dir = box_.dir().File("donn\xE9" "es \xE9t\xE9");
  const std::string utf8_dir = box_.dir().File("donn\xC3\xA9" "es \xC3\xA9t\xC3\xA9");
  for (const std::string& dir : {cp1252_dir, utf8_dir}) {
    MakeDirectory(dir);
    WriteFileBytes(dir + "/week.rss", leaf + "\n");
  }
  const std::string utf8_input = utf8_dir + "/week.rss";
  const struct {
    std::string section;
    std::string input;
  } configs[] = {{"[G\xE9n\xE9ral]", cp1252_dir + "/week.rss"},
                 {"\xEF\xBB\xBF[G\xC3\xA9n\xC3\xA9ral]", utf8_input}};
  const std::string ini = box_.dir().File("bin/grulo.ini");
  for (const auto& c : configs) {
    SCOPED_TRACE(c.input);
    WriteFileBytes(ini, c.section + "\r\nRepTab=" + box_.TableDir() + "\r\nFicEnt=" +
                            c.input + "\r\nRepSor=" + box_.dir().File("out") + "\r\n");
    const ProcessResult r = Explain({"--config", ini, "-n", "1", "--json", "--today", kToday});
    ASSERT_EQ(r.exit_status, 0) << r.err;
    const ProcessResult parsed = RunCommand(
        {"/usr/bin/python3", "-c",
         "import json, sys\n"
         "d = json.loads(sys.stdin.buffer.read().decode('utf-8'))\n"
         "sys.stdout.buffer.write((d['source'] + '|' + d['outcome']).encode('utf-8'))\n"},
        r.out);
    EXPECT_EQ(parsed.exit_status, 0) << parsed.err;
    EXPECT_EQ(parsed.out, utf8_input + "|grouped");
  }
#endif
}

TEST_F(ExplainCommandTest, UsageErrorsAndUnreadableLines) {
  const struct {
    std::vector<std::string> args;
    int status;
    const char* message;
  } rows[] = {
      {{}, 2, "no summary"},
      {{"--frobnicate"}, 2, "unknown option '--frobnicate'"},
      {{"--line", "0", "--input", "x"}, 2, "option '--line' needs a line number from 1, not '0'"},
      {{"--today", "31022009", "-"}, 2, "option '--today' needs a date DDMMYYYY"},
      {{"a", "b"}, 2, "unexpected argument 'b'"},
      {{"--line", "2", "a"}, 2, "not both"},
      {{"--tables", "t", "--input", "/nonexistent/week.rss"}, 1, "cannot open '/nonexistent"},
      {{"--config", "/nonexistent.ini", "-"}, 1, "cannot read the configuration"},
  };
  for (const auto& row : rows) {
    const ProcessResult r = Explain(row.args);
    EXPECT_EQ(r.exit_status, row.status) << row.message;
    EXPECT_TRUE(Contains(r.err, row.message)) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "one line: " << r.err;
    EXPECT_EQ(r.out, "");
  }
  box_.WriteInput("one\ntwo\n");
  const ProcessResult r =
      Explain({"--tables", "t", "--input", box_.dir().File("data/week.rss"), "--line", "3"});
  EXPECT_EQ(r.exit_status, 1);
  EXPECT_TRUE(Contains(r.err, "has 2 lines, no line 3")) << r.err;

  const ProcessResult help = Explain({"--help"});
  EXPECT_EQ(help.exit_status, 0);
  EXPECT_EQ(help.out.rfind("Usage: grulo explain", 0), 0u);
}

}  // namespace
}  // namespace grulo::test
