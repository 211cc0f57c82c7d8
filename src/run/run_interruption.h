// What a run does when it is asked to stop (Ctrl-C, SIGTERM, SIGHUP; the
// console's events on Windows): it removes its temporary files and its lock
// files, wipes the progress line, says "interrupted: the previous outputs
// and counters are kept" and ends with status 128 + the signal's number. The
// previous outputs and counters are untouched, as after any failure.
//
// While the results are being committed (a few milliseconds) a request is
// held: the commit ends first, and the run then ends with the same status,
// saying that the new results are in place.

#ifndef GRULO_RUN_RUN_INTERRUPTION_H_
#define GRULO_RUN_RUN_INTERRUPTION_H_

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/stop_signals.h"
#include "run/run_console.h"

namespace grulo {

class RunInterruption {
 public:
  // Watches the requests from now on (platform/stop_signals.h): create it
  // before the run starts any thread.
  explicit RunInterruption(RunConsole& console);
  ~RunInterruption();  // stops watching
  RunInterruption(const RunInterruption&) = delete;
  RunInterruption& operator=(const RunInterruption&) = delete;

  // A file to remove when the run is interrupted (a temporary file, a lock
  // file), named before it is created.
  void RemoveOnStop(const std::string& path);

  // From BeginCommit to EndCommit a request is held. EndCommit returns the
  // number of a request held meanwhile, or 0.
  void BeginCommit();
  int EndCommit();
  // Acts on a request held during a commit as on one that comes now.
  void Deliver(int signal) { OnRequest(signal); }

  static constexpr int ExitStatusFor(int signal) { return 128 + signal; }

 private:
  void OnRequest(int signal);

  RunConsole& console_;
  std::mutex mu_;
  std::vector<std::string> to_remove_;
  bool committing_ = false;
  int held_ = 0;
  std::unique_ptr<StopSignals> watch_;  // last: stops first
};

}  // namespace grulo

#endif  // GRULO_RUN_RUN_INTERRUPTION_H_
