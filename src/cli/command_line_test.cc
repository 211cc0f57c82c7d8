#include "cli/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace grulo {
namespace {

TEST(CommandLineTest, ReadsTheUsualForms) {
  struct Case {
    std::vector<std::string> args;
    CommandLine::Action action;
    std::string config_path;
    std::string error;
  } cases[] = {
      {{}, CommandLine::kRun, "", ""},
      {{"--config", "a.ini"}, CommandLine::kRun, "a.ini", ""},
      {{"--config=a.ini"}, CommandLine::kRun, "a.ini", ""},
      {{"--config=x=y.ini"}, CommandLine::kRun, "x=y.ini", ""},
      {{"-c", "a.ini"}, CommandLine::kRun, "a.ini", ""},
      {{"-ca.ini"}, CommandLine::kRun, "a.ini", ""},
      {{"--config", "-weird.ini"}, CommandLine::kRun, "-weird.ini", ""},
      {{"--config", "a.ini", "--"}, CommandLine::kRun, "a.ini", ""},
      {{"--help"}, CommandLine::kHelp, "", ""},
      {{"-h"}, CommandLine::kHelp, "", ""},
      {{"--version"}, CommandLine::kVersion, "", ""},
      {{"-V"}, CommandLine::kVersion, "", ""},
      {{"-V", "-h"}, CommandLine::kHelp, "", ""},
      {{"-c", "a.ini", "--help"}, CommandLine::kHelp, "a.ini", ""},
      // Usage errors, even beside --help.
      {{"somefile"}, CommandLine::kUsageError, "", "unexpected argument 'somefile'"},
      {{"report"}, CommandLine::kUsageError, "", "unexpected argument 'report'"},
      {{"--help", "x"}, CommandLine::kUsageError, "", "unexpected argument 'x'"},
      {{"--", "--help"}, CommandLine::kUsageError, "", "unexpected argument '--help'"},
      {{"-"}, CommandLine::kUsageError, "", "unexpected argument '-'"},
      {{"--bogus"}, CommandLine::kUsageError, "", "unknown option '--bogus'"},
      {{"--bogus=1"}, CommandLine::kUsageError, "", "unknown option '--bogus'"},
      {{"--threads", "0"}, CommandLine::kUsageError, "",
       "option '--threads' needs a number of threads from 1 to 256, not '0'"},
      {{"-j", "x2"}, CommandLine::kUsageError, "",
       "option '-j' needs a number of threads from 1 to 256, not 'x2'"},
      {{"--threads=257"}, CommandLine::kUsageError, "",
       "option '--threads' needs a number of threads from 1 to 256, not '257'"},
      {{"--threads=99999999999"}, CommandLine::kUsageError, "",
       "option '--threads' needs a number of threads from 1 to 256, not '99999999999'"},
      {{"-x"}, CommandLine::kUsageError, "", "unknown option '-x'"},
      {{"-hV"}, CommandLine::kUsageError, "", "unknown option '-hV'"},
      {{"--conf", "a"}, CommandLine::kUsageError, "", "unknown option '--conf'"},
      {{"--config"}, CommandLine::kUsageError, "", "option '--config' needs a value"},
      {{"-c"}, CommandLine::kUsageError, "", "option '-c' needs a value"},
      {{"--config="}, CommandLine::kUsageError, "", "option '--config' needs a file name"},
      {{"-c", "a", "-c", "b"}, CommandLine::kUsageError, "", "option '-c' given twice"},
      {{"--help=yes"}, CommandLine::kUsageError, "", "option '--help' takes no value"},
  };
  for (const Case& c : cases) {
    std::string label;
    for (const std::string& a : c.args) label += a + " ";
    CommandLine line = ParseCommandLine(c.args);
    EXPECT_EQ(line.action, c.action) << label;
    EXPECT_EQ(line.error, c.error) << label;
    if (c.action != CommandLine::kUsageError) {
      EXPECT_EQ(line.config_path, c.config_path) << label;
    }
  }
}

TEST(CommandLineTest, ReadsTheNumberOfThreads) {
  EXPECT_EQ(ParseCommandLine({}).threads, 0);  // the cores available
  EXPECT_EQ(ParseCommandLine({"--threads", "1"}).threads, 1);
  EXPECT_EQ(ParseCommandLine({"-j8"}).threads, 8);
  EXPECT_EQ(ParseCommandLine({"--threads=256", "-c", "a.ini"}).threads, 256);
  EXPECT_EQ(ParseCommandLine({"--report", "week.html"}).report_path, "week.html");
  EXPECT_EQ(ParseCommandLine({"--report="}).action, CommandLine::kUsageError);
}

TEST(CommandLineTest, UsageErrorIsOneLine) {
  std::string text = UsageErrorText("unknown option '--bogus'");
  EXPECT_EQ(text,
            "grulo: unknown option '--bogus' (usage: grulo [--config FILE] [--threads N]; see "
            "grulo --help)\n");
  EXPECT_TRUE(VersionLine().starts_with("grulo "));
  EXPECT_NE(std::string(HelpText()).find("docs/running.md"), std::string::npos);
}

}  // namespace
}  // namespace grulo
