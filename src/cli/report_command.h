// grulo report: the HTML report of a run, made from the outcomes of its
// lines: those the run itself tells (grulo --report), or those of its input
// grouped again and found to give its .grp and .err files byte for byte.
// docs/report.md describes the command and the page.

#ifndef GRULO_CLI_REPORT_COMMAND_H_
#define GRULO_CLI_REPORT_COMMAND_H_

#include <cstdio>
#include <memory>
#include <string>

#include "base/status.h"
#include "options/option_parser.h"
#include "report/run_report.h"

namespace grulo {

// Its command line; run: RunReportCommand.
extern const CommandDefinition kReportCommand;

// Runs "grulo report ...": argv[0] is the program's path, argv[1] "report".
// Groups the run's input again with its tables and date (named by options,
// or by the configuration as the batch names them), checks that this gives
// the run's .grp and .err files byte for byte, and writes one HTML page from
// the outcomes. Returns 0 when the page is written; 1 when a file cannot be
// read, the outputs are not what the input, tables and date give, or the
// page cannot be written; 2 for a usage error (one line on `err`).
int RunReportCommand(int argc, char** argv, std::FILE* out, std::FILE* err);

// For "grulo --report PAGE", before the run starts: whether the page of the
// run of `config_path` may be written there. 0 when it may; 2 when PAGE
// names a file of the run (the configuration, the input, an output, a
// table) or an existing file that is no page of grulo report; 1 when its
// directory does not take a new file; `*message` then says why. A
// configuration that cannot be read is left to the run to report (0).
int CheckReportPage(const std::string& config_path, const std::string& page,
                    std::string* message);

// For "grulo --report PAGE": the report of the run of `config_path`, to be
// the run's LineObserver (run/run_batch.h), its files named as the batch
// names them.
std::unique_ptr<RunReport> MakeRunReport(const std::string& config_path);

// Writes the page of `report` at `page`, whole (a temporary file beside it,
// renamed over it); the reason, naming the page, when it cannot.
Status WriteReportPage(const RunReport& report, const std::string& page);

}  // namespace grulo

#endif  // GRULO_CLI_REPORT_COMMAND_H_
