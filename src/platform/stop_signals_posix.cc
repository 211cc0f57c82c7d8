// The stop requests of platform/stop_signals.h on a POSIX system: the
// signals are blocked in every thread and taken by one that waits for them
// (sigwait), so that the function runs as ordinary code, not in a signal
// handler.

#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <thread>

#include "platform/stop_signals.h"

namespace grulo {
namespace {

// Wakes the waiting thread when the watch ends; ignored by default, so
// blocking it changes nothing for anyone else.
constexpr int kWakeSignal = SIGURG;

class PosixStopSignals final : public StopSignals {
 public:
  explicit PosixStopSignals(std::function<void(int)> on_request)
      : on_request_(std::move(on_request)) {
    sigemptyset(&set_);
    for (int signal : {SIGINT, SIGTERM, SIGHUP, kWakeSignal}) sigaddset(&set_, signal);
    pthread_sigmask(SIG_BLOCK, &set_, &previous_);
    thread_ = std::thread([this] { Wait(); });
  }

  ~PosixStopSignals() override {
    stopping_.store(true);
    pthread_kill(thread_.native_handle(), kWakeSignal);
    thread_.join();
    // A request that came meanwhile is still pending: taken as the watch
    // ends, it acts as it would have.
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
  }

 private:
  void Wait() {
    for (;;) {
      int signal = 0;
      if (sigwait(&set_, &signal) != 0) continue;
      if (stopping_.load()) return;
      if (signal != kWakeSignal) on_request_(signal);
    }
  }

  std::function<void(int)> on_request_;
  sigset_t set_;
  sigset_t previous_;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

}  // namespace

std::unique_ptr<StopSignals> StopSignals::Watch(std::function<void(int)> on_request) {
  return std::make_unique<PosixStopSignals>(std::move(on_request));
}

}  // namespace grulo
