#include "process_testutil.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "platform/process.h"

namespace grulo::test {

TempDir::TempDir() {
  // A name no other directory has: the process, the clock, and a retry when
  // the name is taken all the same.
  const auto base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    std::string name = "grulo-e2e-" + std::to_string(CurrentProcessId()) + "-" +
                       std::to_string(ticks % 1000000007) + "-" + std::to_string(attempt);
    std::error_code error;
    if (std::filesystem::create_directory(base / name, error)) {
      path_ = (base / name).generic_string();
      return;
    }
  }
  throw std::runtime_error("cannot make a temporary directory");
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::File(std::string_view name) const {
  return path_ + "/" + std::string(name);
}

std::string NativePath(const std::string& path) {
  return std::filesystem::path(path).make_preferred().string();
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
  std::error_code error;
  return std::filesystem::exists(std::filesystem::symlink_status(path, error));
}

std::vector<std::string> DirectoryNames(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string SourcePath(const std::string& relative) {
  return std::string(GRULO_SOURCE_DIR) + "/" + relative;
}

std::string BuildFile(const std::string& name) {
  const char* build_dir = std::getenv("GRULO_BUILD_DIR");
  if (build_dir == nullptr) throw std::runtime_error("GRULO_BUILD_DIR is not set");
  return std::string(build_dir) + "/" + name;
}

std::string BuiltProgram(const std::string& name) { return BuildFile(name + kExecutableSuffix); }

ProcessResult RunProgram(const std::string& program, const std::string& argv0,
                         const ProcessOptions& options) {
  ChildProcess child(program, argv0, options);
  return child.Wait();
}

ProcessResult RunProgram(const std::string& program, const std::string& argv0,
                         const std::string& cwd, bool search_path, const std::string& path_env) {
  ProcessOptions options;
  options.cwd = cwd;
  options.search_path = search_path;
  options.path_env = path_env;
  return RunProgram(program, argv0, options);
}

int RunBuiltProgram(const std::string& name, const std::vector<std::string>& args) {
  ProcessOptions options;
  options.args = args;
  const std::string program = BuiltProgram(name);
  return RunProgram(program, program, options).exit_status;
}

int BuildDemoTables(const std::string& table_dir) {
  return RunBuiltProgram("grulo-tables", {"build", "--tree", SourcePath("data/demo/tree.txt"),
                                          "--acts", SourcePath("data/demo/acts.txt"), "--diag",
                                          SourcePath("data/demo/diag.txt"), "--out", table_dir});
}

GruloSandbox::GruloSandbox() {
  for (const char* name : {"bin", "tables", "data", "out"}) MakeDirectory(dir_.File(name));
  program_ = dir_.File("bin/grulo");
  program_ += kExecutableSuffix;
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

int GruloSandbox::RunWithConfig(const std::string& today, const std::string& config) {
  WriteFileBytes(dir_.File("bin/grulo.ini"), config);
  ProcessOptions options;
  options.env = {{"GRULO_TODAY", today}};
  ProcessResult result = RunGrulo(options);
  EXPECT_EQ(result.out, "");
  last_err_ = result.err;
  return result.exit_status;
}

ProcessResult GruloSandbox::RunGrulo(ProcessOptions options) const {
  if (options.cwd.empty()) options.cwd = dir_.path();
  return RunProgram(program_, program_, options);
}

std::string GruloSandbox::Counters() const {
  std::string config = Config();
  size_t at = config.find("[R\xE9sultats]");
  return at == std::string::npos ? std::string() : config.substr(at);
}

}  // namespace grulo::test
