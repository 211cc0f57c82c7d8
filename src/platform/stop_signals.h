// The requests to stop that a person or the system sends a process: on a
// POSIX system the signals SIGINT (Ctrl-C), SIGTERM and SIGHUP; on Windows
// the console's control events (Ctrl-C, Ctrl-Break, the console closed, the
// user logging off, the system shutting down). While watched, they no longer
// end the process: each is handed to a function, on a thread of its own,
// which may clean up and end the process itself.

#ifndef GRULO_PLATFORM_STOP_SIGNALS_H_
#define GRULO_PLATFORM_STOP_SIGNALS_H_

#include <functional>
#include <memory>

namespace grulo {

// The numbers handed over: the POSIX signal numbers, which Windows gives its
// events too (Ctrl-C SIGINT, Ctrl-Break 21, the others SIGHUP).
inline constexpr int kSignalHangUp = 1;
inline constexpr int kSignalInterrupt = 2;
inline constexpr int kSignalTerminate = 15;
inline constexpr int kSignalBreak = 21;

class StopSignals {
 public:
  // Starts watching: from now on each request calls `on_request(number)` on
  // the watching thread. On POSIX systems the signals are blocked in the
  // calling thread and in the threads it starts from now on: call it before
  // starting any.
  static std::unique_ptr<StopSignals> Watch(std::function<void(int)> on_request);
  // Stops watching: the requests act as before again.
  virtual ~StopSignals() = default;
};

}  // namespace grulo

#endif  // GRULO_PLATFORM_STOP_SIGNALS_H_
