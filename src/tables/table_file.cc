#include "tables/table_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace grulo {

std::unique_ptr<TableFile> TableFile::Open(const std::string& path) {
  if (path.find('\0') != std::string::npos) return nullptr;
  // Non-blocking, so that opening a FIFO or a device cannot hang the run;
  // anything but a regular file is refused right after.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return nullptr;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  std::unique_ptr<TableFile> file(new TableFile());
  file->size_ = static_cast<int64_t>(st.st_size);
  if (file->size_ > 0) {
    void* p = ::mmap(nullptr, static_cast<size_t>(file->size_), PROT_READ, MAP_PRIVATE, fd, 0);
    if (p == MAP_FAILED) {
      ::close(fd);
      return nullptr;
    }
    file->mapping_ = p;
    file->data_ = static_cast<const uint8_t*>(p);
  }
  ::close(fd);
  return file;
}

std::unique_ptr<TableFile> TableFile::FromBytes(std::vector<uint8_t> bytes) {
  std::unique_ptr<TableFile> file(new TableFile());
  file->owned_ = std::move(bytes);
  file->data_ = file->owned_.data();
  file->size_ = static_cast<int64_t>(file->owned_.size());
  return file;
}

TableFile::~TableFile() {
  if (mapping_ != nullptr) ::munmap(mapping_, static_cast<size_t>(size_));
}

bool TableFile::ReadAt(int64_t offset, int64_t n, uint8_t* out) const {
  const uint8_t* p = Peek(offset, n);
  if (p == nullptr) return false;
  if (n > 0) std::memcpy(out, p, static_cast<size_t>(n));
  return true;
}

}  // namespace grulo
