#include "tables/table_file.h"

#include <cstring>
#include <utility>

#include "platform/file_read.h"

namespace grulo {

std::unique_ptr<TableFile> TableFile::Open(const std::string& path, Status* why) {
  std::unique_ptr<TableFile> file(new TableFile());
  Status status = ReadWholeFile(path, ReadRules{.regular_only = true, .max_size = kMaxSize},
                                &file->bytes_);
  if (!status.ok()) {
    if (why != nullptr) *why = Status(status.code(), path, status.message());
    return nullptr;
  }
  file->path_ = path;
  return file;
}

std::unique_ptr<TableFile> TableFile::FromBytes(std::vector<uint8_t> bytes) {
  std::unique_ptr<TableFile> file(new TableFile());
  file->bytes_ = std::move(bytes);
  return file;
}

bool TableFile::ReadAt(int64_t offset, int64_t n, uint8_t* out) const {
  const uint8_t* p = Peek(offset, n);
  if (p == nullptr) return false;
  if (n > 0) std::memcpy(out, p, static_cast<size_t>(n));
  return true;
}

}  // namespace grulo
