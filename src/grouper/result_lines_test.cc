#include "grouper/result_lines.h"

#include <string>

#include <gtest/gtest.h>

#include "checks/summary_testutil.h"

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

TEST(ResultLinesTest, ErrEntryOfEachKindOfLine) {
  const std::string line = testing::ValidSummaryLine(0);
  ErrorList none;
  EXPECT_EQ(ErrEntryText(3, line, line.size(), LineFormat::kWellFormed, none), "");

  ErrorList errors;
  AddError(&errors, int16_t{47});
  AddError(&errors, int16_t{17});
  AddError(&errors, int16_t{13});
  EXPECT_EQ(ErrEntryText(12, line, line.size(), LineFormat::kWellFormed, errors),
            "====================================Enregistrement n\xB0 12\n"
            "N\xB0 de SSR / N\xB0 de semaine / N\xB0 UM : 0001234 / 112009 / A123\n"
            "\t->  Liste des erreurs bloquantes: 47,13,\n"
            "\t->  Liste des erreurs non bloquantes: 17,\n");

  EXPECT_EQ(ErrEntryText(5, "012345678RSS1", 13, LineFormat::kUnknownFormat, none),
            "====================================Enregistrement n\xB0 5\n"
            "   -> Format incorrect : N\xB0 de format inconnu : RSS \n");
  EXPECT_EQ(ErrEntryText(6, line.substr(0, 100), 100, LineFormat::kSizeProblem, none),
            "====================================Enregistrement n\xB0 6\n"
            "N\xB0 de SSR / N\xB0 de semaine / N\xB0 UM : 0001234 / 112009 / A123\n"
            "   -> Format incorrect : Taille incompatible : 100 \n");
  EXPECT_EQ(ErrEntryText(7, "short", 5, LineFormat::kUnreadable, none),
            "====================================Enregistrement n\xB0 7\n"
            "   -> Impossible de lire le format\n");
}

TEST(ResultLinesTest, GrpLineOnlyWithoutBlockingError) {
  ErrorList errors;
  AddError(&errors, int16_t{17});  // does not block
  EXPECT_EQ(GrpLineText(Version("D1"), {1, 20, 0}, "LINE", errors), "D10102000M14LINE\n");
  AddError(&errors, int16_t{13});
  EXPECT_EQ(GrpLineText(Version("D1"), {90, 900, 13}, "LINE", errors), "");
}

TEST(ResultLinesTest, TableMessages) {
  EXPECT_EQ(TableProblemLine(TableProblemKind::kTreeCannotOpen, 99),
            "Pb d'ouverture des tables arbre: 99\n");
  EXPECT_EQ(TableProblemLine(TableProblemKind::kActsCannotOpen, 99),
            "Pb d'ouverture de la table des actes CCAM: 99\n");
  EXPECT_EQ(TableProblemLine(TableProblemKind::kActVersionDiffers, 9),
            "Version des tables incompatible (Arbre - Actes) \n");
  EXPECT_EQ(TableProblemLine(TableProblemKind::kDiagsCannotOpen, 99),
            "Pb d'ouverture des tables des diags : 99\n");
  EXPECT_EQ(TableProblemLine(TableProblemKind::kDiagVersionDiffers, 9),
            "Version des tables incompatible (Arbre - Diags) \n");
}

}  // namespace
}  // namespace grulo
