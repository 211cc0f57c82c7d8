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

// Makes standard output and standard error write bytes as they are: where
// the system would turn "\n" into "\r\n" on the way (Windows), it no longer
// does, so that a message or an output piped to a file has the same bytes on
// every system. Called once, before anything is written.
void UseBinaryStandardStreams();

}  // namespace grulo

#endif  // GRULO_PLATFORM_PROCESS_H_
