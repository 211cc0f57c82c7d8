// Whole-file reading of platform/file_read.h on Windows.

#include <windows.h>

#include "platform/file_read.h"
#include "platform/file_read_internal.h"
#include "platform/windows_text.h"

namespace grulo {
namespace {

class ScopedHandle {
 public:
  explicit ScopedHandle(HANDLE handle) : handle_(handle) {}
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  ~ScopedHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// The status of a failed call, naming the path.
Status Failure(const std::string& path, unsigned long error, const std::string& doing = "") {
  Status reason = WindowsError(error);
  return reason.code() == Status::kNotFound ? Status::NotFound(path, doing + reason.message())
                                            : Status::IoError(path, doing + reason.message());
}

}  // namespace

Status ReadRegularFile(const std::string& path, int64_t max_size, std::vector<uint8_t>* bytes) {
  bytes->clear();
  if (path.find('\0') != std::string::npos) {
    return Status::InvalidArgument(path, "the path holds a NUL byte");
  }
  const std::wstring wide = WidePath(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return Status::InvalidArgument(path, "is a directory");
  }
  ScopedHandle file(CreateFileW(wide.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return Failure(path, GetLastError());
  if (GetFileType(file.get()) != FILE_TYPE_DISK) {
    return Status::InvalidArgument(path, "is not a regular file");
  }
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.get(), &size)) return Failure(path, GetLastError());
  auto read_some = [&](uint8_t* to, size_t room, size_t* got) {
    const DWORD wanted = room > (1u << 30) ? (1u << 30) : static_cast<DWORD>(room);
    DWORD read = 0;
    if (!ReadFile(file.get(), to, wanted, &read, nullptr)) {
      return Failure(path, GetLastError(), "read failed: ");
    }
    *got = read;
    return Status();
  };
  return file_read_internal::ReadToEnd(path, size.QuadPart, max_size, read_some, bytes);
}

}  // namespace grulo
