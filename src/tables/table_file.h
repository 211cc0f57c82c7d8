// Read-only access to a table file: blocks at absolute offsets, every read
// checked against the file's size. The whole file is read into memory when it
// is opened, so that a run sees one version of the table whatever happens to
// the file afterwards (rewritten, truncated, replaced); a read costs no
// system call.

#ifndef GRULO_TABLES_TABLE_FILE_H_
#define GRULO_TABLES_TABLE_FILE_H_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/status.h"

namespace grulo {

class TableFile {
 public:
  // The largest table file that is read: far above any real table (tens of
  // kilobytes to a few megabytes), it keeps a wrong path (a disk image, a
  // log) from being taken into memory.
  static constexpr int64_t kMaxSize = int64_t{1} << 30;

  // Reads a regular file whole; nullptr when it cannot be opened or read, is
  // not a regular file or is larger than kMaxSize. `why`, when given, then
  // names the path and the reason.
  static std::unique_ptr<TableFile> Open(const std::string& path, Status* why = nullptr);
  // A table held in memory, for tests and tools.
  static std::unique_ptr<TableFile> FromBytes(std::vector<uint8_t> bytes);

  TableFile(const TableFile&) = delete;
  TableFile& operator=(const TableFile&) = delete;

  const std::string& path() const { return path_; }  // empty for FromBytes
  int64_t size() const { return static_cast<int64_t>(bytes_.size()); }

  // The n bytes at the offset, or nullptr when they are not all inside the
  // file (a negative offset or length included). Zero bytes at an offset
  // from 0 to size() are inside, even in an empty file.
  const uint8_t* Peek(int64_t offset, int64_t n) const {
    const int64_t size = this->size();
    if (offset < 0 || n < 0 || offset > size || n > size - offset) return nullptr;
    return bytes_.empty() ? kNoBytes : bytes_.data() + offset;
  }

  // Copies the n bytes at the offset into `out`; false, and nothing copied,
  // when they are not all inside the file.
  bool ReadAt(int64_t offset, int64_t n, uint8_t* out) const;

 private:
  TableFile() = default;

  static constexpr uint8_t kNoBytes[1] = {0};  // what an empty file's Peek points at

  std::string path_;
  std::vector<uint8_t> bytes_;
};

}  // namespace grulo

#endif  // GRULO_TABLES_TABLE_FILE_H_
