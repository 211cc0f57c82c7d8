// The stop requests of platform/stop_signals.h on Windows: a console control
// handler, which the system calls on a thread of its own. The handler takes
// no argument, so the watch is found through the one pointer below: only one
// watch may exist at a time.

#include <windows.h>

#include <atomic>

#include "platform/stop_signals.h"

namespace grulo {
namespace {

class WindowsStopSignals;

// The current watch, for the handler.
std::atomic<WindowsStopSignals*> current_watch{nullptr};

class WindowsStopSignals final : public StopSignals {
 public:
  explicit WindowsStopSignals(std::function<void(int)> on_request)
      : on_request_(std::move(on_request)) {
    current_watch.store(this);
    SetConsoleCtrlHandler(Handler, TRUE);
  }

  ~WindowsStopSignals() override {
    SetConsoleCtrlHandler(Handler, FALSE);
    current_watch.store(nullptr);
  }

 private:
  static BOOL WINAPI Handler(DWORD event) {
    WindowsStopSignals* watch = current_watch.load();
    if (watch == nullptr) return FALSE;
    int number = kSignalHangUp;
    if (event == CTRL_C_EVENT) number = kSignalInterrupt;
    if (event == CTRL_BREAK_EVENT) number = kSignalBreak;
    watch->on_request_(number);
    return TRUE;
  }

  std::function<void(int)> on_request_;
};

}  // namespace

std::unique_ptr<StopSignals> StopSignals::Watch(std::function<void(int)> on_request) {
  return std::make_unique<WindowsStopSignals>(std::move(on_request));
}

}  // namespace grulo
