#include "process_testutil.h"

#include <gtest/gtest.h>

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace grulo::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "grulo-e2e-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::File(std::string_view name) const {
  return path_ + "/" + std::string(name);
}

void MakeDirectory(const std::string& path) { std::filesystem::create_directories(path); }

void WriteFileBytes(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<missing>";
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool PathExists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

std::string BuiltProgram(const std::string& name) {
  const char* build_dir = std::getenv("GRULO_BUILD_DIR");
  if (build_dir == nullptr) throw std::runtime_error("GRULO_BUILD_DIR is not set");
  return std::string(build_dir) + "/" + name;
}

ProcessResult RunProgram(const std::string& program, const std::string& argv0,
                         const std::string& cwd, bool search_path, const std::string& path_env) {
  TempDir capture;
  std::string out_path = capture.File("stdout");
  std::string err_path = capture.File("stderr");
  pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    int in = ::open("/dev/null", O_RDONLY);
    int out = ::open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int err = ::open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 ||
        ::dup2(err, 2) < 0 || ::chdir(cwd.c_str()) != 0) {
      ::_exit(126);
    }
    char* argv[] = {const_cast<char*>(argv0.c_str()), nullptr};
    if (search_path) {
      ::setenv("PATH", path_env.c_str(), 1);
      ::execvp(argv0.c_str(), argv);
    } else {
      ::execv(program.c_str(), argv);
    }
    ::_exit(127);
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  ProcessResult result;
  result.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = ReadFileBytes(out_path);
  result.err = ReadFileBytes(err_path);
  return result;
}

GruloSandbox::GruloSandbox() {
  for (const char* name : {"bin", "tables", "data", "out"}) MakeDirectory(dir_.File(name));
  program_ = dir_.File("bin/grulo");
  std::filesystem::copy_file(BuiltProgram("grulo"), program_);
  std::filesystem::permissions(program_, static_cast<std::filesystem::perms>(0755));
}

void GruloSandbox::WriteInput(const std::string& bytes) const {
  WriteFileBytes(dir_.File("data/week.rss"), bytes);
}

std::string GruloSandbox::StandardConfig() const {
  return "[G\xE9n\xE9ral]\r\nRepTab=" + TableDir() + "\r\nFicEnt=" + dir_.File("data/week.rss") +
         "\r\nRepSor=" + dir_.File("out") + "\r\n";
}

int GruloSandbox::RunWithConfig(const std::string& today, const std::string& config) const {
  WriteFileBytes(dir_.File("bin/grulo.ini"), config);
  ::setenv("GRULO_TODAY", today.c_str(), 1);
  ProcessResult result = RunProgram(program_, program_, dir_.path());
  ::unsetenv("GRULO_TODAY");
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "");
  return result.exit_status;
}

std::string GruloSandbox::Counters() const {
  std::string config = Config();
  size_t at = config.find("[R\xE9sultats]");
  return at == std::string::npos ? std::string() : config.substr(at);
}

}  // namespace grulo::test
