// Helpers for the driver's tests: a temporary directory and whole-file
// reading and writing.

#ifndef GRULO_DRIVER_DRIVER_TESTUTIL_H_
#define GRULO_DRIVER_DRIVER_TESTUTIL_H_

#include <string>
#include <string_view>

namespace grulo {

// A fresh directory, removed with everything in it on destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // path() + "/" + name
  std::string File(std::string_view name) const;

 private:
  std::string path_;
};

void WriteFileBytes(const std::string& path, std::string_view bytes);
// The file's bytes; "<missing>" when it cannot be read.
std::string ReadFileBytes(const std::string& path);
bool PathExists(const std::string& path);

}  // namespace grulo

#endif  // GRULO_DRIVER_DRIVER_TESTUTIL_H_
