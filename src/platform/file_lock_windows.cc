// The lock of platform/file_lock.h on Windows: LockFileEx on one byte far
// beyond the end of the lock file, which the system drops when the process
// ends. The byte lies beyond the text, so that another process can still
// read the holder's id, which a lock of the text itself would forbid.

#include <windows.h>

#include <string>

#include "platform/file_lock.h"
#include "platform/windows_text.h"

namespace grulo {
namespace {

constexpr DWORD kLockOffsetHigh = 0x40000000;  // 2^62: no lock file gets there

OVERLAPPED LockRegion() {
  OVERLAPPED region = {};
  region.Offset = 0;
  region.OffsetHigh = kLockOffsetHigh;
  return region;
}

class WindowsFileLock final : public FileLock {
 public:
  WindowsFileLock(HANDLE handle, std::wstring path) : handle_(handle), path_(std::move(path)) {}
  // Removed while still held, as on POSIX systems: the file disappears when
  // the handle closes, and nobody can lock it meanwhile.
  ~WindowsFileLock() override {
    DeleteFileW(path_.c_str());
    OVERLAPPED region = LockRegion();
    UnlockFileEx(handle_, 0, 1, 0, &region);
    CloseHandle(handle_);
  }

 private:
  HANDLE handle_;
  std::wstring path_;
};

// The id of the process that wrote its id into the open lock file, or -1.
int64_t HolderOf(HANDLE handle) {
  char text[32];
  DWORD got = 0;
  OVERLAPPED start = {};
  if (!ReadFile(handle, text, sizeof text - 1, &got, &start)) return -1;
  int64_t pid = 0;
  DWORD i = 0;
  for (; i < got && text[i] >= '0' && text[i] <= '9' && pid < (int64_t{1} << 40); ++i) {
    pid = pid * 10 + (text[i] - '0');
  }
  return i > 0 && pid > 0 ? pid : -1;
}

bool SameFile(HANDLE handle, const std::wstring& path) {
  BY_HANDLE_FILE_INFORMATION mine;
  if (!GetFileInformationByHandle(handle, &mine)) return false;
  HANDLE there = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (there == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION theirs;
  const bool known = GetFileInformationByHandle(there, &theirs) != 0;
  CloseHandle(there);
  return known && mine.dwVolumeSerialNumber == theirs.dwVolumeSerialNumber &&
         mine.nFileIndexHigh == theirs.nFileIndexHigh && mine.nFileIndexLow == theirs.nFileIndexLow;
}

}  // namespace

Status LockFile(const std::string& path, std::unique_ptr<FileLock>* lock, int64_t* holder) {
  lock->reset();
  *holder = 0;
  if (path.empty() || path.find('\0') != std::string::npos) {
    return Status::InvalidArgument("", "not a usable path");
  }
  const std::wstring wide = WidePath(path);
  // A holder removes the file before it lets go: a file being removed cannot
  // be opened for a moment, and a lock taken on a file that is no longer at
  // the path is worth nothing; both are tried again.
  for (int attempt = 0; attempt < 50; ++attempt) {
    HANDLE handle = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      if (error == ERROR_ACCESS_DENIED && attempt + 1 < 50) {
        Sleep(10);
        continue;
      }
      return WindowsError(error);
    }
    OVERLAPPED region = LockRegion();
    if (!LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                    &region)) {
      const DWORD error = GetLastError();
      if (error != ERROR_LOCK_VIOLATION && error != ERROR_IO_PENDING) {
        CloseHandle(handle);
        return WindowsError(error);
      }
      *holder = HolderOf(handle);
      CloseHandle(handle);
      if (*holder < 0) return Status::IoError("", "held by another process");
      return Status::IoError("", "held by process " + std::to_string(*holder));
    }
    if (!SameFile(handle, wide)) {
      CloseHandle(handle);
      continue;
    }
    std::string pid = std::to_string(GetCurrentProcessId()) + "\n";
    DWORD written = 0;
    if (SetFilePointer(handle, 0, nullptr, FILE_BEGIN) == 0 && SetEndOfFile(handle)) {
      WriteFile(handle, pid.data(), static_cast<DWORD>(pid.size()), &written, nullptr);
    }
    *lock = std::make_unique<WindowsFileLock>(handle, wide);
    return Status();
  }
  return Status::IoError("", "the lock file keeps being replaced");
}

}  // namespace grulo
