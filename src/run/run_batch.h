// The whole batch run as an operator starts it: the configuration, the
// locks, the input, the batch engine (batch/batch_engine.h), the outputs and
// the counters, and what the operator is told on standard error.
//
// The outputs are all or nothing: .grp and .err are written to temporary
// files beside them, made durable, and put in place together with the
// counters only when the whole input was read and written
// (run/results_commit.h). A run that fails, or is asked to stop
// (run/run_interruption.h), leaves the previous outputs and counters as they
// were (except the one case kept from the classic program: when the .grp
// file cannot be created, the .err file that says so is still written).

#ifndef GRULO_RUN_RUN_BATCH_H_
#define GRULO_RUN_RUN_BATCH_H_

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "calendar/clock.h"
#include "grouper/line_outcome.h"
#include "grouper/summary_grouper.h"
#include "config/run_config.h"
#include "run/run_console.h"

namespace grulo {

// The run's own files, beside the files they serve and named after them, so
// that the next run knows them: the temporary files of the outputs
// (".week.grp.grulo-tmp") and of the configuration file
// (".grulo.ini.grulo-config-tmp"), and the lock files of the outputs
// (".week.grulo-outputs.lock" in the output directory) and of the
// configuration file (".grulo.ini.grulo-config.lock").
inline constexpr char kOutputTempSuffix[] = ".grulo-tmp";
inline constexpr char kConfigTempSuffix[] = ".grulo-config-tmp";
inline constexpr char kOutputLockSuffix[] = ".grulo-outputs.lock";
inline constexpr char kConfigLockSuffix[] = ".grulo-config.lock";

// The exit statuses of a run.
inline constexpr int kExitComplete = 0;
inline constexpr int kExitFailed = 1;  // nothing of this run was put in place
// The run is complete, but a rename failed midway: some of its results are
// in place, the rest is put in place by the next run before anything else.
inline constexpr int kExitResultsPending = 5;
// A run asked to stop ends with 128 + the signal's number (130 for Ctrl-C).
// grulo --report: the run is complete, its report page could not be written.
inline constexpr int kExitReportNotWritten = 3;

// How a run groups: on how many threads, and in chunks of how many lines.
struct RunOptions {
  // With more than one thread, the lines are grouped one after the other
  // until the three tables are open (their opening keeps its place in the
  // input), then on `threads` threads in chunks of `chunk_lines` lines,
  // written out in input order: the outputs are the same for every number
  // of threads.
  int threads = 1;
  size_t chunk_lines = 1024;
  // Told every line and its outcome, then the counters and the tables'
  // story (batch/batch_engine.h); for a report made while the run reads.
  LineObserver* observer = nullptr;
  // A complete run whose summaries met table problems or failed walks
  // returns kExitStrictTableProblems rather than 0 (after the same outputs,
  // counters and warnings).
  bool strict = false;
};

// The exit status of such a run under `strict`.
inline constexpr int kExitStrictTableProblems = 4;

// Makes the grouping of a run whose table directory is `rep_tab` (RepTab).
using GrouperFactory = std::function<std::unique_ptr<SummaryGrouper>(const std::string& rep_tab)>;

// The batch's own grouping (RunGrouper), today's date from `clocks`.
GrouperFactory BatchGrouping(ClockFactory clocks);

// The environment variable that sets the chunk size, in lines: small chunks
// put chunk boundaries everywhere in a test's input.
inline constexpr char kChunkLinesVariable[] = "GRULO_CHUNK_LINES";

// Runs the whole batch with the configuration file of `choice`, every
// well-formed line going to the grouping that `grouping` makes for its
// RepTab (and to those it makes for other threads). The run holds two locks
// from start to
// end, one on the configuration file and one on the output names; a run
// that finds either held by another process stops at once. Temporary files
// that a killed run left behind are removed under the locks.
//
// Returns the exit status: 0 after a complete run, whose outputs and
// counters are in place (kExitStrictTableProblems under options.strict when
// summaries met table problems); 1 when the run failed, after one line on `console`
// that says what failed, with the path, where the path came from and the
// system's reason; kExitResultsPending or 128 + a signal as said above. A
// commit that an earlier run left unfinished is finished first, with a
// warning. A complete run that met table problems warns about each at its
// end; on a terminal the run shows its progress and a closing summary.
int RunBatch(const ConfigChoice& choice, const RunOptions& options,
             const GrouperFactory& grouping, RunConsole& console);

}  // namespace grulo

#endif  // GRULO_RUN_RUN_BATCH_H_
