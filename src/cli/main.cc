// grulo: checks and groups the weekly summaries of the input file named in
// its configuration (grulo.ini beside the program, or --config FILE). See
// cli/command_line.h for the command line and docs/running.md.
// "grulo explain", "grulo report" and "grulo errors" read the results.

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <exception>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command_line.h"
#include "cli/report_command.h"
#include "io/paths.h"
#include "options/help_text.h"
#include "run/run_batch.h"
#include "calendar/run_clock.h"
#include "run/run_console.h"
#include "platform/process.h"
#include "text/cp1252_text.h"

namespace {

// The page of --report, checked before the run so that a run that changed
// nothing is the only one to end with status 1: 0 when it may be written, 2
// (a usage error) when it would replace a file of the run or a file that is
// no page of grulo report, 1 when its directory does not take it.
int CheckReportBeforeRun(const std::string& config_path, const std::string& page,
                         grulo::RunConsole& console) {
  std::string why;
  const int refused = grulo::CheckReportPage(config_path, page, &why);
  if (refused == grulo::kExitUsage) {
    return grulo::PrintUsageError(stderr, grulo::kGruloCommand, "--report: " + why);
  }
  if (refused != 0) console.Error(why + "; the run did not start, nothing was changed");
  return refused;
}

}  // namespace

int main(int argc, char** argv) {
  grulo::UseBinaryStandardStreams();  // pages, texts and explanations as bytes, "\n" as written
  const grulo::Utf8Console utf8_console;  // what grulo prints is UTF-8, on a console too
  // The subcommands, each with its own options; anything else is the batch.
  if (argc > 1) {
    const grulo::CommandDefinition* command = grulo::FindCommand(grulo::kGruloCommand, argv[1]);
    if (command != nullptr) return command->run(argc, argv, stdout, stderr);
  }
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  const grulo::ParsedOptions parsed = grulo::ParseGruloOptions(args);
  const int handled = grulo::HandleParsedOptions(grulo::kGruloCommand, parsed, stdout, stderr);
  if (handled >= 0) return handled;
  const grulo::CommandLine line = grulo::BatchCommandLine(parsed);
  grulo::RunConsole console(stderr, grulo::StandardErrorIsTerminal());
  try {
    grulo::ConfigChoice choice;
    choice.given = !line.config_path.empty();
    choice.path = choice.given ? line.config_path
                               : grulo::ConfigPath(argc > 0 ? argv[0] : nullptr);
    // The report is fed by the run itself, line by line.
    std::unique_ptr<grulo::RunReport> report;
    if (!line.report_path.empty()) {
      const int refused = CheckReportBeforeRun(choice.path, line.report_path, console);
      if (refused != 0) return refused;
      report = grulo::MakeRunReport(choice.path);
    }
    auto make_clock = [] { return grulo::MakeRunClock(std::getenv(grulo::kTodayVariable)); };
    grulo::RunOptions options;
    options.threads = line.threads > 0 ? line.threads : grulo::AvailableCores();
    options.strict = line.strict;
    options.observer = report.get();
    if (const char* chunk = std::getenv(grulo::kChunkLinesVariable)) {
      const long lines = std::strtol(chunk, nullptr, 10);
      if (lines > 0) options.chunk_lines = static_cast<size_t>(lines);
    }
    const int status =
        grulo::RunBatch(choice, options, grulo::BatchGrouping(make_clock), console);
    // Only a complete run is reported (under --strict, one with table
    // problems too).
    if (report == nullptr ||
        (status != grulo::kExitComplete && status != grulo::kExitStrictTableProblems)) {
      return status;
    }
    // The run has written its counters into the configuration: the page
    // shows them beside those it counted, as grulo report does.
    report->SetWrittenCounters(report->counters());
    const grulo::Status written = grulo::WriteReportPage(*report, line.report_path);
    if (!written.ok()) {
      console.Error("the run is complete and its outputs and counters are in place, but its "
                    "report could not be written: " + written.message());
      return grulo::kExitReportNotWritten;
    }
    return status;
  } catch (const std::bad_alloc&) {
    console.Error("out of memory: the run is not complete; the previous outputs and counters "
                  "are left as they were");
    return 1;
  } catch (const std::exception& e) {
    console.Error(std::string("the run stopped: ") + e.what() +
                  "; the previous outputs and counters are left as they were");
    return 1;
  }
}
