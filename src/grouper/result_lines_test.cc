#include "grouper/result_lines.h"

#include <cstdint>
#include <cstdio>
#include <string>

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
