#include "grouper/result_lines.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "checks/summary_testutil.h"
#include "grouper/line_format.h"
#include "record/summary_layout.h"

namespace grulo {
namespace {

VersionText Version(const char* text) {
  VersionText v{};
  for (int i = 0; i < 2 && text[i] != '\0'; ++i) v[i] = text[i];
  return v;
}

TEST(ResultLinesTest, GrpPrefixPrintsTheNumbersAsPrintfDoes) {
  const struct {
    const char* version;
    GroupResult result;
    const char* expected;
  } rows[] = {
      {"D1", {1, 20, 0}, "D101020" "00M14"},
      {"", {0, 0, 99}, "  0000099M14"},
      {"7", {90, 900, 13}, " 790900" "13M14"},
      {"AB", {255, -1, 200}, "AB255-01200M14"},
      {"AB", {-5, 12345, 3}, "AB-51234503M14"},
      {"AB", {99, 999, 99}, "AB9999999M14"},       // the widest numbers of the usual width
      {"AB", {100, 1000, 100}, "AB1001000100M14"},  // and one past each
  };
  for (const auto& r : rows) {
    ResultLineBuffer buffer;
    EXPECT_EQ(GrpLinePrefix(Version(r.version), r.result, &buffer), r.expected);
  }
}

TEST(ResultLinesTest, IdentificationPadsFieldsThatTheLineCutsShort) {
  ResultLineBuffer buffer;
  const std::string line = testing::ValidSummaryLine(0);
  EXPECT_EQ(IdentificationLine(line, &buffer),
            "N\xB0 de SSR / N\xB0 de semaine / N\xB0 UM : 0001234 / 112009 / A123\n");
  // 88 characters: the unit number is one character long.
  EXPECT_EQ(IdentificationLine(line.substr(0, 88), &buffer),
            "N\xB0 de SSR / N\xB0 de semaine / N\xB0 UM : 0001234 / 112009 /    A\n");
}

// The header and the identification are written by hand: the same bytes as
// printf's "%lld" and "%7.*s / %6.*s / %4.*s" (a NUL byte ends a field).
TEST(ResultLinesTest, HeaderAndIdentificationAsPrintfWritesThem) {
  const std::string valid = testing::ValidSummaryLine(0);
  std::string with_nul = valid;
  with_nul[14] = '\0';  // inside the stay number
  with_nul[87] = '\0';  // the first character of the unit number
  const std::string lines[] = {valid, with_nul, valid.substr(0, 88), valid.substr(0, 90),
                               std::string(88, ' '), std::string(100, '\xE9')};
  for (const std::string& line : lines) {
    ResultLineBuffer buffer;
    const std::string_view stay = FieldText(line, line_field::kStayNo);
    const std::string_view week = FieldText(line, line_field::kWeekNo);
    const std::string_view unit = FieldText(line, line_field::kUnitNo);
    char want[200];
    const int n = std::snprintf(
        want, sizeof want, "N\xB0 de SSR / N\xB0 de semaine / N\xB0 UM : %7.*s / %6.*s / %4.*s\n",
        static_cast<int>(stay.size()), stay.data(), static_cast<int>(week.size()), week.data(),
        static_cast<int>(unit.size()), unit.data());
    EXPECT_EQ(IdentificationLine(line, &buffer), std::string_view(want, static_cast<size_t>(n)));
  }
  for (int64_t number : {int64_t{1}, int64_t{12}, int64_t{1000000}, INT64_MAX, int64_t{-7}}) {
    ResultLineBuffer buffer;
    char want[200];
    const int n = std::snprintf(want, sizeof want,
                                "====================================Enregistrement n\xB0 %lld\n",
                                static_cast<long long>(number));
    EXPECT_EQ(RecordHeaderLine(number, &buffer), std::string_view(want, static_cast<size_t>(n)));
  }
}

// The .err entry and the .grp line of each kind of outcome.
TEST(ResultLinesTest, EntryAndGrpLineOfEachKindOfOutcome) {
  const std::string line = testing::ValidSummaryLine(0);
  const std::string header = "====================================Enregistrement n\xB0 ";
  const std::string identification =
      "N\xB0 de SSR / N\xB0 de semaine / N\xB0 UM : 0001234 / 112009 / A123\n";
  const TableProblem tree{TableRole::kTree, 99, Status()};
  const TableProblem acts{TableRole::kActs, 99, Status()};
  const TableProblem act_version{TableRole::kActs, 9, Status()};
  const TableProblem diags{TableRole::kDiags, 99, Status()};
  const TableProblem diag_version{TableRole::kDiags, 9, Status()};
  const struct {
    const char* name;
    std::string text;
    LineFormat format;
    OutcomeKind kind;
    GroupResult result;
    const char* version;
    std::vector<int16_t> errors;
    const TableProblem* problem;
    std::string err, grp;  // "LINE" in grp stands for the text
  } rows[] = {
      {"grouped", line, LineFormat::kWellFormed, OutcomeKind::kGrouped, {1, 20, 0}, "D1", {},
       nullptr, "", "D10102000M14LINE\n"},
      {"non-blocking", line, LineFormat::kWellFormed, OutcomeKind::kGrouped, {1, 20, 0}, "D1",
       {17}, nullptr,
       header + "12\n" + identification + "\t->  Liste des erreurs bloquantes: \n" +
           "\t->  Liste des erreurs non bloquantes: 17,\n",
       "D10102000M14LINE\n"},
      {"blocked", line, LineFormat::kWellFormed, OutcomeKind::kBlocked, {90, 900, 47}, "D1",
       {47, 17, 13}, nullptr,
       header + "12\n" + identification + "\t->  Liste des erreurs bloquantes: 47,13,\n" +
           "\t->  Liste des erreurs non bloquantes: 17,\n",
       ""},
      {"walk failed", line, LineFormat::kWellFormed, OutcomeKind::kWalkFailed, {99, 904, 3}, "D1",
       {}, nullptr, "", "D19990403M14LINE\n"},
      {"tree", line, LineFormat::kWellFormed, OutcomeKind::kTableProblem, {0, 0, 99}, "", {}, &tree,
       "Pb d'ouverture des tables arbre: 99\n", "  0000099M14LINE\n"},
      {"acts", line, LineFormat::kWellFormed, OutcomeKind::kTableProblem, {0, 0, 99}, "D1", {},
       &acts, "Pb d'ouverture de la table des actes CCAM: 99\n", "D10000099M14LINE\n"},
      {"act version", line, LineFormat::kWellFormed, OutcomeKind::kTableProblem, {0, 0, 9}, "D1",
       {}, &act_version, "Version des tables incompatible (Arbre - Actes) \n",
       "D10000009M14LINE\n"},
      {"diagnoses", line, LineFormat::kWellFormed, OutcomeKind::kTableProblem, {0, 0, 99}, "D1",
       {}, &diags, "Pb d'ouverture des tables des diags : 99\n", "D10000099M14LINE\n"},
      {"diagnosis version", line, LineFormat::kWellFormed, OutcomeKind::kTableProblem, {0, 0, 9},
       "D1", {}, &diag_version, "Version des tables incompatible (Arbre - Diags) \n",
       "D10000009M14LINE\n"},
      {"unknown format", "012345678RSS1", LineFormat::kUnknownFormat, OutcomeKind::kFormatProblem,
       {}, "", {}, nullptr,
       header + "12\n" + "   -> Format incorrect : N\xB0 de format inconnu : RSS \n", ""},
      {"size", line.substr(0, 100), LineFormat::kSizeProblem, OutcomeKind::kFormatProblem, {}, "",
       {}, nullptr,
       header + "12\n" + identification + "   -> Format incorrect : Taille incompatible : 100 \n",
       ""},
      {"unreadable", "short", LineFormat::kUnreadable, OutcomeKind::kFormatProblem, {}, "", {},
       nullptr, header + "12\n" + "   -> Impossible de lire le format\n", ""},
  };
  for (const auto& r : rows) {
    LineOutcome outcome;
    outcome.Start(r.format);
    outcome.kind = r.kind;
    outcome.result = r.result;
    outcome.version = Version(r.version);
    for (int16_t number : r.errors) AddError(&outcome.errors, number);
    outcome.table_problem = r.problem;
    EXPECT_EQ(ErrEntryText(12, r.text, r.text.size(), outcome), r.err) << r.name;
    std::string grp = r.grp;
    if (size_t at = grp.find("LINE"); at != std::string::npos) grp.replace(at, 4, r.text);
    EXPECT_EQ(GrpLineText(r.text, outcome), grp) << r.name;
  }
}

}  // namespace
}  // namespace grulo
