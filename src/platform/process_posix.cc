// The process of platform/process.h on a POSIX system (Linux for the path of
// the executable).

#include <limits.h>
#include <sched.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <thread>
#include <vector>

#include "platform/process.h"

namespace grulo {

int64_t CurrentProcessId() { return static_cast<int64_t>(::getpid()); }

std::string ExecutablePath() {
  std::vector<char> path(PATH_MAX + 1);
  ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
  if (n <= 0 || static_cast<size_t>(n) >= path.size()) return std::string();
  return std::string(path.data(), static_cast<size_t>(n));
}

bool StandardErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

int AvailableCores() {
#ifdef CPU_COUNT
  cpu_set_t set;
  if (::sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0) return CPU_COUNT(&set);
#endif
  const unsigned n = std::thread::hardware_concurrency();
  return n > 0 ? static_cast<int>(n) : 1;
}

int64_t MonotonicNanos() {
  struct timespec now;
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

int64_t CoarseMonotonicMillis() {
  struct timespec now;
#ifdef CLOCK_MONOTONIC_COARSE
  ::clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
#else
  ::clock_gettime(CLOCK_MONOTONIC, &now);
#endif
  return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

void UseBinaryStandardStreams() {}  // POSIX streams hold bytes as they are

Utf8Console::Utf8Console() = default;
Utf8Console::~Utf8Console() = default;

void KillThisProcess() {
  ::kill(::getpid(), SIGKILL);
  ::_exit(137);  // not reached
}

}  // namespace grulo
