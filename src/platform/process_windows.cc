// The process of platform/process.h on Windows.

#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <windows.h>

#include <vector>

#include "platform/process.h"
#include "platform/windows_text.h"

namespace grulo {

int64_t CurrentProcessId() { return static_cast<int64_t>(GetCurrentProcessId()); }

std::string ExecutablePath() {
  std::vector<wchar_t> path(MAX_PATH);
  for (int attempt = 0; attempt < 6; ++attempt) {
    DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return std::string();
    if (n < path.size()) return NarrowText(std::wstring_view(path.data(), n));
    path.resize(path.size() * 4);
  }
  return std::string();
}

bool StandardErrorIsTerminal() {
  // _isatty says yes for any character device (NUL among them): a console
  // is what also has a console mode.
  DWORD mode = 0;
  return _isatty(_fileno(stderr)) != 0 &&
         GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

int AvailableCores() {
  DWORD_PTR process_mask = 0, system_mask = 0;
  if (GetProcessAffinityMask(GetCurrentProcess(), &process_mask, &system_mask) &&
      process_mask != 0) {
    int count = 0;
    for (DWORD_PTR m = process_mask; m != 0; m &= m - 1) ++count;
    return count;
  }
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  return info.dwNumberOfProcessors > 0 ? static_cast<int>(info.dwNumberOfProcessors) : 1;
}

int64_t MonotonicNanos() {
  LARGE_INTEGER frequency;
  LARGE_INTEGER count;
  if (!QueryPerformanceFrequency(&frequency) || !QueryPerformanceCounter(&count) ||
      frequency.QuadPart <= 0) {
    return static_cast<int64_t>(GetTickCount64()) * 1000000;
  }
  const int64_t seconds = count.QuadPart / frequency.QuadPart;
  const int64_t rest = count.QuadPart % frequency.QuadPart;
  return seconds * 1000000000 + rest * 1000000000 / frequency.QuadPart;
}

int64_t CoarseMonotonicMillis() { return static_cast<int64_t>(GetTickCount64()); }

void KillThisProcess() {
  TerminateProcess(GetCurrentProcess(), 137);
  ExitProcess(137);  // not reached
}

void UseBinaryStandardStreams() {
  (void)_setmode(_fileno(stdout), _O_BINARY);
  (void)_setmode(_fileno(stderr), _O_BINARY);
}

Utf8Console::Utf8Console() {
  DWORD mode = 0;
  const bool console = GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0 ||
                       GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
  const UINT previous = GetConsoleOutputCP();
  if (console && previous != 0 && previous != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) {
    previous_code_page_ = previous;
  }
}

Utf8Console::~Utf8Console() {
  if (previous_code_page_ != 0) SetConsoleOutputCP(previous_code_page_);
}

}  // namespace grulo
