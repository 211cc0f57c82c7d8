// The running process: its id, its executable, its standard streams and a
// clock for measuring durations.

#ifndef GRULO_PLATFORM_PROCESS_H_
#define GRULO_PLATFORM_PROCESS_H_

#include <cstdint>
#include <string>

namespace grulo {

int64_t CurrentProcessId();

// The path of the running executable, or the empty text when the system
// cannot tell it.
std::string ExecutablePath();

// True when standard error is a terminal.
bool StandardErrorIsTerminal();

// The number of processors the process may run on (at least 1).
int AvailableCores();

// A steady clock in nanoseconds from an arbitrary start, for durations only.
int64_t MonotonicNanos();

// A steady clock in milliseconds from an arbitrary start, coarse (it moves
// in steps of up to 16 ms) and read without a system call, for what must
// look at the time for every summary.
int64_t CoarseMonotonicMillis();

// Makes standard output and standard error write bytes as they are: where
// the system would turn "\n" into "\r\n" on the way (Windows), it no longer
// does, so that a message or an output piped to a file has the same bytes on
// every system. Called once, before anything is written.
void UseBinaryStandardStreams();

// While it lives, a console that the process writes to shows UTF-8, the
// encoding of everything grulo prints (Windows: the console's output code
// page is UTF-8 until the end, then the previous one again; elsewhere
// terminals take the bytes as they come).
class Utf8Console {
 public:
  Utf8Console();
  ~Utf8Console();
  Utf8Console(const Utf8Console&) = delete;
  Utf8Console& operator=(const Utf8Console&) = delete;

 private:
  [[maybe_unused]] unsigned previous_code_page_ = 0;  // Windows only; 0: unchanged
};

// Ends the process at once, as SIGKILL does (on Windows, TerminateProcess):
// nothing is flushed, nothing cleaned up. For tests that stop a run at a
// chosen step.
[[noreturn]] void KillThisProcess();

}  // namespace grulo

#endif  // GRULO_PLATFORM_PROCESS_H_
