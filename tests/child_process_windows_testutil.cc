// The processes of process_testutil.h, run on Windows: CreateProcessW with
// standard handles on files, the environment and the directory of the new
// process given to it. Texts are the test's bytes in the system's code page,
// as the started program reads its own arguments.

#include <windows.h>

#include <cwchar>
#include <stdexcept>
#include <string>
#include <vector>

#include "process_testutil.h"

namespace grulo::test {
namespace {

std::wstring Widen(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int size = static_cast<int>(text.size());
  const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), n);
  return wide;
}

// One argument as the C runtime of the started program splits it back:
// quotes around it when needed, backslashes doubled before a quote.
std::wstring QuoteArgument(const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
  std::wstring quoted = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted.push_back(c);
  }
  quoted.append(2 * backslashes, L'\\');
  quoted.push_back(L'"');
  return quoted;
}

// The name part of an environment entry "NAME=value" (an entry may start
// with '=', as the drives' current directories do).
std::wstring EntryName(const std::wstring& entry) {
  return entry.substr(0, entry.find(L'=', 1));
}

// The test's environment with `changes` set, as CreateProcessW takes it.
std::wstring EnvironmentBlock(const std::vector<std::pair<std::string, std::string>>& changes) {
  std::vector<std::wstring> entries;
  wchar_t* current = GetEnvironmentStringsW();
  for (const wchar_t* entry = current; *entry != L'\0'; entry += std::wcslen(entry) + 1) {
    entries.emplace_back(entry);
  }
  FreeEnvironmentStringsW(current);
  for (const auto& [name, value] : changes) {
    const std::wstring wide_name = Widen(name);
    std::erase_if(entries, [&](const std::wstring& entry) {
      return _wcsicmp(EntryName(entry).c_str(), wide_name.c_str()) == 0;
    });
    entries.push_back(wide_name + L"=" + Widen(value));
  }
  std::wstring block;
  for (const std::wstring& entry : entries) {
    block += entry;
    block.push_back(L'\0');
  }
  block.push_back(L'\0');
  return block;
}

// A file the new process inherits as a standard handle.
HANDLE InheritedFile(const std::string& path, bool write) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE handle = CreateFileW(Widen(path).c_str(), write ? GENERIC_WRITE : GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                              write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
  if (handle == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open " + path);
  return handle;
}

}  // namespace

ChildProcess::ChildProcess(const std::string& program, const std::string& argv0,
                           const ProcessOptions& options) {
  if (options.terminal) throw std::runtime_error("no pseudo-terminal on Windows");
  if (options.file_size_limit >= 0) throw std::runtime_error("no file size limit on Windows");
  std::vector<std::pair<std::string, std::string>> env = options.env;
  std::wstring application = Widen(program);
  if (options.search_path) {
    env.emplace_back("PATH", options.path_env);
    wchar_t found[MAX_PATH];
    const DWORD n = SearchPathW(Widen(options.path_env).c_str(), Widen(argv0).c_str(), L".exe",
                                MAX_PATH, found, nullptr);
    if (n == 0 || n >= MAX_PATH) throw std::runtime_error(argv0 + " is not in " + options.path_env);
    application = found;
  }
  std::wstring command_line = QuoteArgument(Widen(argv0));
  for (const std::string& arg : options.args) command_line += L" " + QuoteArgument(Widen(arg));
  std::wstring environment = EnvironmentBlock(env);
  const std::wstring cwd = Widen(options.cwd);

  HANDLE in = InheritedFile(options.stdin_path.empty() ? "NUL" : options.stdin_path, false);
  HANDLE out = InheritedFile(capture_.File("stdout"), true);
  HANDLE err = InheritedFile(capture_.File("stderr"), true);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in;
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION started = {};
  // A program copied a moment ago may still be held by the system (Wine
  // has been seen refusing it once): a few more attempts before giving up.
  DWORD error = 0;
  for (int attempt = 0; attempt < 5; ++attempt) {
    if (CreateProcessW(application.c_str(), command_line.data(), nullptr, nullptr, TRUE,
                       CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW, environment.data(),
                       cwd.empty() ? nullptr : cwd.c_str(), &startup, &started)) {
      error = 0;
      break;
    }
    error = GetLastError();
    Sleep(100);
  }
  CloseHandle(in);
  CloseHandle(out);
  CloseHandle(err);
  if (error != 0) {
    throw std::runtime_error("cannot start " + program + " (Windows error " +
                             std::to_string(error) + ")");
  }
  CloseHandle(started.hThread);
  process_ = started.hProcess;
  pid_ = static_cast<pid_t>(started.dwProcessId);
}

ChildProcess::~ChildProcess() {
  if (process_ != nullptr) {
    TerminateProcess(static_cast<HANDLE>(process_), 1);
    Wait();
  }
}

void ChildProcess::Signal(int /*signal*/) {
  if (process_ == nullptr) return;
  if (TerminateProcess(static_cast<HANDLE>(process_), 1)) signalled_ = true;
}

ProcessResult ChildProcess::Wait() {
  ProcessResult result;
  if (process_ == nullptr) return result;
  HANDLE process = static_cast<HANDLE>(process_);
  WaitForSingleObject(process, INFINITE);
  DWORD code = 0;
  const bool exited = GetExitCodeProcess(process, &code) != 0;
  CloseHandle(process);
  process_ = nullptr;
  pid_ = -1;
  result.exit_status = exited && !signalled_ ? static_cast<int>(code) : -1;
  result.out = ReadFileBytes(capture_.File("stdout"));
  result.err = ReadFileBytes(capture_.File("stderr"));
  return result;
}

}  // namespace grulo::test
