// The command line of grulo, in the usual style: long options as
// "--name value" or "--name=value", short ones as "-n value" or "-nvalue",
// "--" ending the options.
//
//   grulo                    the batch run with grulo.ini beside the program
//   grulo --config FILE      the same with the configuration FILE
//   grulo --threads N        the same on N threads (-j N)
//   grulo --report PAGE      the same, then the run's report as an HTML page
//   grulo explain|report|errors ...   the subcommands (main.cc hands them over)
//   grulo --help | -h        the help text, on standard output
//   grulo --version | -V     the version, on standard output
//
// A first word that is no option would name a subcommand; there is none yet,
// so every such word is a usage error, as is an unknown option.

#ifndef GRULO_CLI_COMMAND_LINE_H_
#define GRULO_CLI_COMMAND_LINE_H_

#include <string>
#include <vector>

namespace grulo {

// The most grouping threads a run takes.
inline constexpr int kMaxThreads = 256;

struct CommandLine {
  enum Action { kRun, kHelp, kVersion, kUsageError };
  Action action = kRun;
  // --config: the configuration file; empty for grulo.ini beside the program.
  std::string config_path;
  // --threads: the number of grouping threads; 0 when not given (the cores
  // available to the process).
  int threads = 0;
  // --report: the HTML page to write after a complete run; empty for none.
  std::string report_path;
  // For kUsageError: what is wrong, one line without the program's name.
  std::string error;
};

// Reads the arguments after the program's name. A usage error anywhere wins
// over --help and --version, so that a mistyped command never runs.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// The text of --help, ending with a line feed.
const char* HelpText();

// The text of --version: "grulo <version>\n".
std::string VersionLine();

// The one line of a usage error, ending with a line feed.
std::string UsageErrorText(const std::string& error);

}  // namespace grulo

#endif  // GRULO_CLI_COMMAND_LINE_H_
