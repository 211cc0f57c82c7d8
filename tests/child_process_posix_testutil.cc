// The processes of process_testutil.h, run on a POSIX system: fork and
// exec, a pseudo-terminal, resource limits.

#include <gtest/gtest.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "process_testutil.h"

namespace grulo::test {

ChildProcess::ChildProcess(const std::string& program, const std::string& argv0,
                           const ProcessOptions& options) {
  const std::string out_path = capture_.File("stdout");
  const std::string err_path = capture_.File("stderr");
  std::string terminal_path;
  if (options.terminal) {
    terminal_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (terminal_ < 0 || ::grantpt(terminal_) != 0 || ::unlockpt(terminal_) != 0) {
      throw std::runtime_error("no pseudo-terminal");
    }
    terminal_path = ::ptsname(terminal_);
  }
  std::vector<std::string> words = {argv0};
  words.insert(words.end(), options.args.begin(), options.args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_ = ::fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    int in = ::open(options.stdin_path.empty() ? "/dev/null" : options.stdin_path.c_str(),
                    O_RDONLY);
    int out = ::open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int err = -1;
    if (options.terminal) {
      ::setsid();
      ::close(terminal_);
      err = ::open(terminal_path.c_str(), O_RDWR);
    } else {
      err = ::open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    }
    if (in < 0 || out < 0 || err < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 ||
        ::dup2(err, 2) < 0 || (!options.cwd.empty() && ::chdir(options.cwd.c_str()) != 0)) {
      ::_exit(126);
    }
    for (const auto& [name, value] : options.env) ::setenv(name.c_str(), value.c_str(), 1);
    if (options.file_size_limit >= 0) {
      ::signal(SIGXFSZ, SIG_IGN);
      struct rlimit limit;
      limit.rlim_cur = limit.rlim_max = static_cast<rlim_t>(options.file_size_limit);
      if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(126);
    }
    if (options.search_path) {
      ::setenv("PATH", options.path_env.c_str(), 1);
      ::execvp(argv0.c_str(), argv.data());
    } else {
      ::execv(program.c_str(), argv.data());
    }
    ::_exit(127);
  }
}

ChildProcess::~ChildProcess() {
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    Wait();
  }
  if (terminal_ >= 0) ::close(terminal_);
}

void ChildProcess::Signal(int signal) {
  if (pid_ > 0) ::kill(pid_, signal);
}

ProcessResult ChildProcess::Wait() {
  ProcessResult result;
  if (pid_ <= 0) return result;
  if (terminal_ >= 0) {
    // Read what the terminal shows until the process lets go of it.
    char block[4096];
    for (;;) {
      ssize_t n = ::read(terminal_, block, sizeof block);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      terminal_text_.append(block, static_cast<size_t>(n));
    }
  }
  int status = 0;
  while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  pid_ = -1;
  result.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = ReadFileBytes(capture_.File("stdout"));
  result.err = terminal_ >= 0 ? terminal_text_ : ReadFileBytes(capture_.File("stderr"));
  return result;
}

}  // namespace grulo::test
