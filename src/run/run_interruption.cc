#include "run/run_interruption.h"

#include <cstdlib>

#include "platform/files.h"

namespace grulo {

RunInterruption::RunInterruption(RunConsole& console) : console_(console) {
  watch_ = StopSignals::Watch([this](int signal) { OnRequest(signal); });
}

RunInterruption::~RunInterruption() { watch_.reset(); }

void RunInterruption::RemoveOnStop(const std::string& path) {
  std::lock_guard<std::mutex> lock(mu_);
  to_remove_.push_back(path);
}

void RunInterruption::BeginCommit() {
  std::lock_guard<std::mutex> lock(mu_);
  committing_ = true;
}

int RunInterruption::EndCommit() {
  std::lock_guard<std::mutex> lock(mu_);
  committing_ = false;
  return held_;
}

void RunInterruption::OnRequest(int signal) {
  std::unique_lock<std::mutex> lock(mu_);
  if (committing_) {
    if (held_ == 0) held_ = signal;
    return;
  }
  // The lock files go while their locks are still held, as at the end of
  // any run; the system lets the locks go with the process.
  for (const std::string& path : to_remove_) (void)RemoveFile(path);
  console_.Error("interrupted: the previous outputs and counters are kept");
  std::_Exit(ExitStatusFor(signal));
}

}  // namespace grulo
