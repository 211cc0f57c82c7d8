// The grulo program run as a user runs it: a copy of the executable beside a
// grulo.ini in a temporary directory, the exact bytes of its files checked.
//
// The table directory is always empty, so every well-formed summary is
// reported with the tree table that cannot be opened ("  0000099M14" on its
// .grp line), whatever the grouping pipeline behind the driver.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "process_testutil.h"

namespace grulo::test {
namespace {

constexpr char kHeader[] = "====================================Enregistrement n\xB0 ";
constexpr char kIdent[] = "N\xB0 de SSR / N\xB0 de semaine / N\xB0 UM : ";
constexpr char kNoTree[] = "Pb d'ouverture des tables arbre: 99\r\n";
constexpr char kUnreadable[] = "   -> Impossible de lire le format\r\n";

// A summary line: 343 + 8 x `acts` characters, format number, stay, week and
// unit numbers and act count as given, digits elsewhere.
std::string Summary(int acts, const std::string& act_count, const std::string& format = "M04") {
  std::string line(343 + 8 * acts, ' ');
  for (size_t i = 0; i < line.size(); ++i) line[i] = static_cast<char>('0' + i % 10);
  line.replace(9, 3, format);
  line.replace(12, 7, "  12345");
  line.replace(74, 6, "032024");
  line.replace(87, 4, "UM01");
  line.replace(341, 2, act_count);
  return line;
}

std::string Ident(const std::string& unit = "UM01") {
  return std::string(kIdent) + "  12345 / 032024 / " + unit + "\r\n";
}
std::string Header(int n) { return kHeader + std::to_string(n) + "\r\n"; }
std::string SizeProblem(size_t n) {
  return "   -> Format incorrect : Taille incompatible : " + std::to_string(n) + " \r\n";
}
std::string UnknownFormat(const std::string& f) {
  return "   -> Format incorrect : N\xB0 de format inconnu : " + f + " \r\n";
}
std::string Grouped(const std::string& line) { return "  0000099M14" + line + "\r\n"; }

class DriverTest : public ::testing::Test {
 protected:
  // Runs the program as "<dir>/bin/grulo" with config_ as its grulo.ini.
  int Run() { return box_.RunWithConfig("", config_); }
  std::string File(std::string_view name) const { return box_.dir().File(name); }
  std::string WithCounters(int lus, int form) const {
    return config_ + "\r\n[R\xE9sultats]\r\nNbLus=" + std::to_string(lus) +
           "\r\nNbErrBloq=0\r\nNbErrNonBloq=0\r\nNbErrForm=" + std::to_string(form) + "\r\n";
  }

  GruloSandbox box_;
  std::string config_ = box_.StandardConfig();
};

TEST_F(DriverTest, RecognizesRecordFormats) {
  struct Case {
    std::string line;
    std::string err;  // the .err lines for it; empty for a well-formed line
  } cases[] = {
      {"123456789M0", Header(1) + kUnreadable},
      {"123456789X04", Header(2) + UnknownFormat("X04")},
      {Summary(0, "00", "M40").substr(0, 87), Header(3) + UnknownFormat("M40")},
      {Summary(0, "00", "MA0").substr(0, 88), Header(4) + Ident("   U") + UnknownFormat("MA0")},
      {Summary(0, "00").substr(0, 342), Header(5) + Ident() + SizeProblem(342)},
      {Summary(0, "00"), ""},
      {Summary(0, "  "), ""},
      {Summary(0, "ab", "MA4"), ""},
      {Summary(2, "02").substr(0, 358), Header(9) + Ident() + SizeProblem(358)},
      {Summary(2, "02"), ""},
      {Summary(2, "02") + "9", Header(11) + Ident() + SizeProblem(360)},
      {Summary(3, "+3"), ""},
      {Summary(19, "19"), ""},
      {Summary(19, "19") + "1234", Header(14) + Ident() + SizeProblem(499)},
      {Summary(20, "20"), Header(15) + Ident() + SizeProblem(503)},
      {Summary(0, "00", "m04"), Header(16) + Ident() + UnknownFormat("m04")},
      {"123456789M04", Header(17) + SizeProblem(12)},
      {Summary(1, "01").substr(0, 343), Header(18) + Ident() + SizeProblem(343)},
      // The act count read as a plain number.
      {Summary(0, "-0"), ""},
      {Summary(1, "1 "), ""},
      {Summary(12, "12"), ""},
      {Summary(0, "-1"), Header(22) + Ident() + SizeProblem(343)},
  };
  std::string input, err, grp;
  int malformed = 0;
  for (const Case& c : cases) {
    input += c.line + "\n";
    if (c.err.empty()) {
      err += kNoTree;
      grp += Grouped(c.line);
    } else {
      err += c.err;
      ++malformed;
    }
  }
  box_.WriteInput(input);
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(box_.Err(), err);
  EXPECT_EQ(box_.Grp(), grp);
  EXPECT_EQ(box_.Config(), WithCounters(22, malformed));
}

TEST_F(DriverTest, EmptyInputWritesZeroCounters) {
  box_.WriteInput("");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(box_.LastErr(), "grulo: warning: the input file '" + File("data/week.rss") +
                                "' (FicEnt in '" + File("bin/grulo.ini") +
                                "') is empty: the outputs are empty and the counters 0\n");
  EXPECT_EQ(box_.Err(), "");
  EXPECT_EQ(box_.Grp(), "");
  EXPECT_EQ(box_.Config(), WithCounters(0, 0));
}

TEST_F(DriverTest, MissingInputCreatesNothing) {
  WriteFileBytes(File("out/week.grp"), "previous");
  EXPECT_EQ(Run(), 1);
  EXPECT_FALSE(PathExists(File("out/week.err")));
  EXPECT_EQ(box_.Grp(), "previous");
  EXPECT_EQ(box_.Config(), config_);
}

TEST_F(DriverTest, MissingOutputDirectoryStopsTheRun) {
  config_ = "[G\xE9n\xE9ral]\r\nFicEnt=" + File("data/week.rss") + "\r\nRepSor=" +
            File("nowhere") + "\r\n";
  box_.WriteInput(Summary(0, "00") + "\n");
  EXPECT_EQ(Run(), 1);
  EXPECT_EQ(box_.Config(), config_);
}

TEST_F(DriverTest, GrpFileThatCannotBeCreatedIsReportedInTheErrFile) {
  MakeDirectory(File("out/week.grp"));
  box_.WriteInput(Summary(0, "00") + "\n");
  EXPECT_EQ(Run(), 1);
  EXPECT_EQ(box_.Err(), "Pb d'ouverture fichier en sortie : " + File("out/week") + ".grp\r\n");
  EXPECT_EQ(box_.Config(), config_);
}

TEST_F(DriverTest, FindsItsConfigurationThroughTheProgramPath) {
  box_.WriteInput("x\n");
  WriteFileBytes(File("bin/grulo.ini"), config_);
  // A relative path, from another directory.
  ProcessResult relative = RunProgram(box_.program(), "./grulo", File("bin"));
  EXPECT_EQ(relative.exit_status, 0);
  EXPECT_EQ(box_.Config(), WithCounters(1, 1));
  // Found through PATH: argv[0] has no directory, the executable's own
  // directory is used, not the current one.
  WriteFileBytes(File("bin/grulo.ini"), config_);
  WriteFileBytes(File("data/grulo.ini"), "[G\xE9n\xE9ral]\r\nFicEnt=/nonexistent\r\n");
  ProcessResult searched = RunProgram("", "grulo", File("data"), true, File("bin"));
  EXPECT_EQ(searched.exit_status, 0);
  EXPECT_EQ(searched.out + searched.err, "");
  EXPECT_EQ(box_.Config(), WithCounters(1, 1));
}

}  // namespace
}  // namespace grulo::test
