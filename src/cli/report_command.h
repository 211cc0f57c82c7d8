// grulo report: the HTML report of a run, made from its input and outputs.
// docs/report.md describes the command and the page.

#ifndef GRULO_CLI_REPORT_COMMAND_H_
#define GRULO_CLI_REPORT_COMMAND_H_

#include <cstdio>

#include "options/option_parser.h"

namespace grulo {

// Its command line; run: RunReportCommand.
extern const CommandDefinition kReportCommand;

// Runs "grulo report ...": argv[0] is the program's path, argv[1] "report".
// Reads the run's input, .grp and .err files (named by options, or by the
// configuration as the batch names them) and writes one HTML page. Returns
// 0 when the page is written, 1 when a file cannot be read or the page
// cannot be written, 2 for a usage error (one line on `err`).
int RunReportCommand(int argc, char** argv, std::FILE* out, std::FILE* err);

}  // namespace grulo

#endif  // GRULO_CLI_REPORT_COMMAND_H_
