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
  DriverTest() {
    MakeDirectory(dir_.File("bin"));
    MakeDirectory(dir_.File("tables"));
    MakeDirectory(dir_.File("data"));
    MakeDirectory(dir_.File("out"));
    program_ = InstallProgram("grulo", dir_.File("bin"));
    config_ = "[G\xE9n\xE9ral]\r\nRepTab=" + dir_.File("tables/") + "\r\nFicEnt=" +
              dir_.File("data/week.rss") + "\r\nRepSor=" + dir_.File("out") + "\r\n";
  }

  // Runs the program as "<dir>/bin/grulo" and checks that it said nothing.
  int Run() {
    WriteFileBytes(dir_.File("bin/grulo.ini"), config_);
    ProcessResult result = RunProgram(program_, program_, dir_.path());
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "");
    return result.exit_status;
  }
  void WriteInput(const std::string& bytes) { WriteFileBytes(dir_.File("data/week.rss"), bytes); }
  std::string Err() const { return ReadFileBytes(dir_.File("out/week.err")); }
  std::string Grp() const { return ReadFileBytes(dir_.File("out/week.grp")); }
  std::string Config() const { return ReadFileBytes(dir_.File("bin/grulo.ini")); }
  std::string WithCounters(int lus, int form) const {
    return config_ + "\r\n[R\xE9sultats]\r\nNbLus=" + std::to_string(lus) +
           "\r\nNbErrBloq=0\r\nNbErrNonBloq=0\r\nNbErrForm=" + std::to_string(form) + "\r\n";
  }

  TempDir dir_;
  std::string program_;
  std::string config_;
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
  WriteInput(input);
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(Err(), err);
  EXPECT_EQ(Grp(), grp);
  EXPECT_EQ(Config(), WithCounters(18, malformed));
}

TEST_F(DriverTest, ReadsLineEndingsAndNulBytes) {
  std::string a = Summary(0, "00");
  std::string b = Summary(1, "01");
  // CR LF, a NUL ending the text of a line, a NUL making a line unreadable,
  // a last line without line feed that keeps its last character.
  WriteInput(a + "\r\n" + b + std::string("\0junk\r\n", 7) + std::string("12345\0M04", 9) +
             "\n" + a);
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(Err(), std::string(kNoTree) + kNoTree + Header(3) + kUnreadable + kNoTree);
  EXPECT_EQ(Grp(), Grouped(a) + Grouped(b) + Grouped(a));
  EXPECT_EQ(Config(), WithCounters(4, 1));
}

TEST_F(DriverTest, EmptyInputWritesZeroCounters) {
  WriteInput("");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(Err(), "");
  EXPECT_EQ(Grp(), "");
  EXPECT_EQ(Config(), WithCounters(0, 0));
}

TEST_F(DriverTest, CountersReplaceOldValuesAndKeepOtherLines) {
  config_ = "; grulo settings\n[g\xC3\xA9N\xC3\xA9RAL]\n  ficent = \"" + dir_.File("data/week.rss") +
            "\" \nREPSOR=" + dir_.File("out") + "\nRepTab='" + dir_.File("tables/") +
            "'\n\n[R\xC3\xA9sultats]\nNbErrForm=77\nNbLus = 12\n\n[Autre]\nNbLus=5\n";
  WriteInput("bad\n");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(Err(), Header(1) + kUnreadable);
  EXPECT_EQ(Config(), "; grulo settings\n[g\xC3\xA9N\xC3\xA9RAL]\n  ficent = \"" + dir_.File("data/week.rss") +
                          "\" \nREPSOR=" + dir_.File("out") + "\nRepTab='" +
                          dir_.File("tables/") +
                          "'\n\n[R\xC3\xA9sultats]\nNbErrForm=1\nNbLus=1\nNbErrBloq=0\n"
                          "NbErrNonBloq=0\n\n[Autre]\nNbLus=5\n");
}

TEST_F(DriverTest, LongLinesKeepLineNumbersInStep) {
  std::string good = Summary(0, "00");
  WriteInput(Summary(0, "00") + std::string(200000, '7') + "\n" + good + "\n");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(Err(), Header(1) + Ident() + SizeProblem(200343) + kNoTree);
  EXPECT_EQ(Grp(), Grouped(good));
  EXPECT_EQ(Config(), WithCounters(2, 1));
}

TEST_F(DriverTest, MissingInputCreatesNothing) {
  WriteFileBytes(dir_.File("out/week.grp"), "previous");
  EXPECT_EQ(Run(), 1);
  EXPECT_FALSE(PathExists(dir_.File("out/week.err")));
  EXPECT_EQ(Grp(), "previous");
  EXPECT_EQ(Config(), config_);
}

TEST_F(DriverTest, MissingOutputDirectoryStopsTheRun) {
  config_ = "[G\xE9n\xE9ral]\r\nFicEnt=" + dir_.File("data/week.rss") + "\r\nRepSor=" +
            dir_.File("nowhere") + "\r\n";
  WriteInput(Summary(0, "00") + "\n");
  EXPECT_EQ(Run(), 1);
  EXPECT_EQ(Config(), config_);
}

TEST_F(DriverTest, GrpFileThatCannotBeCreatedIsReportedInTheErrFile) {
  MakeDirectory(dir_.File("out/week.grp"));
  WriteInput(Summary(0, "00") + "\n");
  EXPECT_EQ(Run(), 1);
  EXPECT_EQ(Err(), "Pb d'ouverture fichier en sortie : " + dir_.File("out/week") + ".grp\r\n");
  EXPECT_EQ(Config(), config_);
}

TEST_F(DriverTest, FindsItsConfigurationThroughTheProgramPath) {
  WriteInput("x\n");
  WriteFileBytes(dir_.File("bin/grulo.ini"), config_);
  // A relative path, from another directory.
  ProcessResult relative = RunProgram(program_, "./grulo", dir_.File("bin"));
  EXPECT_EQ(relative.exit_status, 0);
  EXPECT_EQ(Config(), WithCounters(1, 1));
  // Found through PATH: argv[0] has no directory, the executable's own
  // directory is used, not the current one.
  WriteFileBytes(dir_.File("bin/grulo.ini"), config_);
  WriteFileBytes(dir_.File("data/grulo.ini"), "[G\xE9n\xE9ral]\r\nFicEnt=/nonexistent\r\n");
  ProcessResult searched = RunProgram("", "grulo", dir_.File("data"), true, dir_.File("bin"));
  EXPECT_EQ(searched.exit_status, 0);
  EXPECT_EQ(searched.out + searched.err, "");
  EXPECT_EQ(Config(), WithCounters(1, 1));
}

}  // namespace
}  // namespace grulo::test
