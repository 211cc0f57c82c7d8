// The running process: its id, its executable, its standard error stream
// and a clock for measuring durations.

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

}  // namespace grulo

#endif  // GRULO_PLATFORM_PROCESS_H_
