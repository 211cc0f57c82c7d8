#include "process_testutil.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
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

std::string BuiltProgram(const std::string& name) {
  const char* build_dir = std::getenv("GRULO_BUILD_DIR");
  if (build_dir == nullptr) throw std::runtime_error("GRULO_BUILD_DIR is not set");
  return std::string(build_dir) + "/" + name;
}

}  // namespace grulo::test
