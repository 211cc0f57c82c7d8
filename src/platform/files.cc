// What the file interface offers on every system, built on the parts that
// files_posix.cc and files_windows.cc implement.

#include "platform/files.h"

#include <memory>

namespace grulo {

Status ReadWholeFile(const std::string& path, std::string* text) {
  text->clear();
  std::unique_ptr<ReadableFile> file;
  Status status = ReadableFile::Open(path, &file);
  if (!status.ok()) return status;
  char block[8192];
  for (;;) {
    size_t got = 0;
    status = file->Read(block, sizeof block, &got);
    if (!status.ok()) {
      text->clear();
      return status;
    }
    if (got == 0) return Status();
    text->append(block, got);
  }
}

}  // namespace grulo
