// Read-only access to a table file: blocks at absolute offsets, every read
// checked against the file's size. The file is mapped read-only, never
// copied into memory as a whole; a read costs no system call.

#ifndef GRULO_TABLES_TABLE_FILE_H_
#define GRULO_TABLES_TABLE_FILE_H_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace grulo {

class TableFile {
 public:
  // Opens a regular file for reading; nullptr when it cannot be opened, is
  // not a regular file or cannot be mapped.
  static std::unique_ptr<TableFile> Open(const std::string& path);
  // A table held in memory, for tests and tools.
  static std::unique_ptr<TableFile> FromBytes(std::vector<uint8_t> bytes);

  TableFile(const TableFile&) = delete;
  TableFile& operator=(const TableFile&) = delete;
  ~TableFile();

  int64_t size() const { return size_; }

  // The n bytes at the offset, or nullptr when they are not all inside the
  // file (a negative offset or length included). Zero bytes at an offset
  // from 0 to size() are inside, even in an empty file.
  const uint8_t* Peek(int64_t offset, int64_t n) const {
    if (offset < 0 || n < 0 || offset > size_ || n > size_ - offset) return nullptr;
    return data_ != nullptr ? data_ + offset : kNoBytes;
  }

  // Copies the n bytes at the offset into `out`; false, and nothing copied,
  // when they are not all inside the file.
  bool ReadAt(int64_t offset, int64_t n, uint8_t* out) const;

 private:
  TableFile() = default;

  static constexpr uint8_t kNoBytes[1] = {0};  // what an empty file's Peek points at

  const uint8_t* data_ = nullptr;
  int64_t size_ = 0;
  void* mapping_ = nullptr;  // the mapped region, when the file is mapped
  std::vector<uint8_t> owned_;
};

}  // namespace grulo

#endif  // GRULO_TABLES_TABLE_FILE_H_
