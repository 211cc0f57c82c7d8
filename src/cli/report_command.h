// grulo report: the HTML report of a run, made from its input and outputs.
// docs/report.md describes the command and the page.

#ifndef GRULO_CLI_REPORT_COMMAND_H_
#define GRULO_CLI_REPORT_COMMAND_H_

#include <cstdio>
#include <string>

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

// For "grulo --report PAGE", before the run starts: whether the page of the
// run of `config_path` may be written there. 0 when it may; 2 when PAGE
// names a file of the run (the configuration, the input, an output, a
// table) or an existing file that is no page of grulo report; 1 when its
// directory does not take a new file; `*message` then says why. A
// configuration that cannot be read is left to the run to report (0).
int CheckReportPage(const std::string& config_path, const std::string& page,
                    std::string* message);

}  // namespace grulo

#endif  // GRULO_CLI_REPORT_COMMAND_H_
