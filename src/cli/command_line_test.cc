#include "cli/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "options/help_text.h"

namespace grulo {
namespace {

TEST(CommandLineTest, ReadsTheBatchOptions) {
  const struct {
    std::vector<std::string> args;
    std::string config_path;
    int threads;
    std::string report_path;
    bool strict;
  } rows[] = {
      {{}, "", 0, "", false},
      {{"-ca.ini", "-j8", "--report=w.html", "--strict"}, "a.ini", 8, "w.html", true},
      {{"--config", "-weird.ini", "--threads", "256", "--"}, "-weird.ini", 256, "", false},
  };
  for (const auto& r : rows) {
    const ParsedOptions parsed = ParseGruloOptions(r.args);
    ASSERT_EQ(parsed.error, "");
    const CommandLine line = BatchCommandLine(parsed);
    EXPECT_EQ(line.config_path, r.config_path);
    EXPECT_EQ(line.threads, r.threads);
    EXPECT_EQ(line.report_path, r.report_path);
    EXPECT_EQ(line.strict, r.strict);
  }
}

TEST(CommandLineTest, UsageErrors) {
  const struct {
    std::vector<std::string> args;
    const char* error;
  } rows[] = {
      {{"somefile"}, "unexpected argument 'somefile'"},
      {{"-j2", "report"}, "the command 'report' comes first: grulo report ..."},
      {{"--", "--help"}, "unexpected argument '--help'"},
      {{"--threads", "0"}, "option '--threads' needs a number of threads from 1 to 256, not '0'"},
      {{"-j", "x2"}, "option '-j' needs a number of threads from 1 to 256, not 'x2'"},
      {{"-j=99999999999"},
       "option '-j' needs a number of threads from 1 to 256, not '=99999999999'"},
      {{"--threads=257"},
       "option '--threads' needs a number of threads from 1 to 256, not '257'"},
      {{"-j", "2", "-j", "3"}, "option '-j' given twice"},
      {{"-c", "a", "--config", "b"}, "option '--config' given twice"},
  };
  for (const auto& r : rows) EXPECT_EQ(ParseGruloOptions(r.args).error, r.error) << r.args[0];
}

// The one line of a usage error names every option and the subcommands;
// the help shows a grulo.ini and where the documentation is.
TEST(CommandLineTest, UsageLineAndHelp) {
  EXPECT_EQ(UsageErrorLine(kGruloCommand, "unknown option '--bogus'"),
            "grulo: unknown option '--bogus' (usage: grulo [--config FILE] [--threads N] "
            "[--report PAGE] [--strict] | grulo explain|report|errors|group|compare ...; see grulo "
            "--help)\n");
  const std::string help = HelpText(kGruloCommand);
  for (const char* piece : {"[G\xC3\xA9n\xC3\xA9ral]\n  RepTab=", "\n  FicEnt=", "\n  RepSor=",
                            "running.md", "  explain  ", "--strict", "4 with --strict"}) {
    EXPECT_NE(help.find(piece), std::string::npos) << piece;
  }
}

}  // namespace
}  // namespace grulo
