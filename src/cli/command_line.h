// The command line of grulo, read by the parser of every command
// (options/option_parser.h) from the definition kGruloCommand, which also
// makes its usage line and help:
//
//   grulo                    the batch run with grulo.ini beside the program
//   grulo --config FILE      the same with the configuration FILE (-c)
//   grulo --threads N        the same on N threads (-j N)
//   grulo --report PAGE      the same, then the run's report as an HTML page
//   grulo --strict           the same, exit status 4 after table problems
//   grulo explain|report|errors|group|compare ...   the subcommands
//                            (kGruloCommand.commands)
//   grulo --help | -h        the help text, on standard output
//   grulo --version | -V     the version, on standard output
//
// A subcommand is added by defining its CommandDefinition with its run
// function (as cli/explain_command.h does) and listing it in
// kGruloCommand's commands (command_line.cc).

#ifndef GRULO_CLI_COMMAND_LINE_H_
#define GRULO_CLI_COMMAND_LINE_H_

#include <string>

#include "options/option_parser.h"

namespace grulo {

// The most grouping threads a run takes.
inline constexpr int kMaxThreads = 256;

// grulo itself: the batch run's options, and the subcommands.
extern const CommandDefinition kGruloCommand;

// What a batch run was asked for.
struct CommandLine {
  // --config: the configuration file; empty for grulo.ini beside the program.
  std::string config_path;
  // --threads: the number of grouping threads; 0 when not given (the cores
  // available to the process).
  int threads = 0;
  // --report: the HTML page to write after a complete run; empty for none.
  std::string report_path;
  // --strict: table problems and failed walks give an exit status of their
  // own (run/run_batch.h, kExitStrictTableProblems).
  bool strict = false;
};

// The batch run's settings from its options, read without usage error.
CommandLine BatchCommandLine(const ParsedOptions& parsed);

// Reads the words after "grulo" (args, without the program's name) that do
// not start with a subcommand. A subcommand's name after options is a usage
// error that says it comes first.
ParsedOptions ParseGruloOptions(std::span<const std::string> args);

}  // namespace grulo

#endif  // GRULO_CLI_COMMAND_LINE_H_
