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

Status Failure(unsigned long error, const std::string& doing = "") {
  Status reason = WindowsError(error);
  return reason.code() == Status::kNotFound ? Status::NotFound("", doing + reason.message())
                                            : Status::IoError("", doing + reason.message());
}

template <typename Bytes>
Status ReadAll(const std::string& path, const ReadRules& rules, Bytes* bytes) {
  bytes->clear();
  if (path.empty() || path.find('\0') != std::string::npos) {
    return Status::InvalidArgument("", "not a usable path");
  }
  const std::wstring wide = WidePath(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return Status::InvalidArgument("", "is a directory");
  }
  ScopedHandle file(CreateFileW(wide.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return Failure(GetLastError());
  const bool disk = GetFileType(file.get()) == FILE_TYPE_DISK;
  if (rules.regular_only && !disk) return Status::InvalidArgument("", "is not a regular file");
  LARGE_INTEGER size;
  size.QuadPart = 0;
  if (disk && !GetFileSizeEx(file.get(), &size)) return Failure(GetLastError());
  auto read_some = [&](char* to, size_t room, size_t* got) {
    const DWORD wanted = room > (1u << 30) ? (1u << 30) : static_cast<DWORD>(room);
    DWORD read = 0;
    if (!ReadFile(file.get(), to, wanted, &read, nullptr)) {
      const DWORD error = GetLastError();
      *got = 0;
      if (error == ERROR_BROKEN_PIPE) return Status();  // a pipe's end
      return Failure(error, "read failed: ");
    }
    *got = read;
    return Status();
  };
  return file_read_internal::ReadToEnd(size.QuadPart, rules.max_size, read_some, bytes);
}

}  // namespace

Status ReadWholeFile(const std::string& path, const ReadRules& rules, std::string* bytes) {
  return ReadAll(path, rules, bytes);
}

Status ReadWholeFile(const std::string& path, const ReadRules& rules,
                     std::vector<uint8_t>* bytes) {
  return ReadAll(path, rules, bytes);
}

}  // namespace grulo
