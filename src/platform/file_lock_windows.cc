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
                             nullptr, OPEN_EXISTING,
                             FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (there == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION theirs;
  const bool known = GetFileInformationByHandle(there, &theirs) != 0;
  CloseHandle(there);
  return known && mine.dwVolumeSerialNumber == theirs.dwVolumeSerialNumber &&
         mine.nFileIndexHigh == theirs.nFileIndexHigh && mine.nFileIndexLow == theirs.nFileIndexLow;
}

// Why an open lock file is refused: ok for a regular file of one name.
Status CheckLockFile(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION about;
  if (!GetFileInformationByHandle(handle, &about)) return WindowsError(GetLastError());
  if (about.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
    return Status::InvalidArgument(
        "", "it is a symbolic link, which grulo never writes through; remove it");
  }
  if (about.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    return Status::InvalidArgument("", "it is a directory; remove it");
  }
  if (about.nNumberOfLinks > 1) {
    return Status::InvalidArgument(
        "", "it has other names (hard links), so grulo does not write into it; remove it");
  }
  return Status();
}

// A lock file this user may not write, usually left by another user: when
// a process holds it, that is the answer; when none does, it is removed so
// that a new one can be made, or the message says how to remove it.
Status TakeOverStale(const std::wstring& wide, const std::string& path, int64_t* holder) {
  HANDLE handle = CreateFileW(wide.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    return Status::InvalidArgument(
        "", "this user may neither write nor read it (" + WindowsError(GetLastError()).message() +
                "): when no run of its owner is going on, remove it (del \"" + path +
                "\") as that user or as an administrator, then run again");
  }
  Status status = CheckLockFile(handle);
  if (!status.ok()) {
    CloseHandle(handle);
    return status;
  }
  OVERLAPPED region = LockRegion();
  if (!LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &region)) {
    *holder = HolderOf(handle);
    CloseHandle(handle);
    if (*holder < 0) return Status::IoError("", "held by another process");
    return Status::IoError("", "held by process " + std::to_string(*holder));
  }
  UnlockFileEx(handle, 0, 1, 0, &region);
  CloseHandle(handle);
  if (!DeleteFileW(wide.c_str())) {
    return Status::InvalidArgument(
        "", "no run holds it: it was left by a run that has ended, and this user may not "
            "replace it; remove it (del \"" + path + "\") as its owner or as an administrator, "
            "then run again");
  }
  return Status();
}

}  // namespace

Status LockFile(const std::string& path, std::unique_ptr<FileLock>* lock, int64_t* holder) {
  lock->reset();
  *holder = 0;
  if (path.empty() || path.find('\0') != std::string::npos) {
    return Status::InvalidArgument("", "not a usable path");
  }
  const std::wstring wide = WidePath(path);
  bool took_over = false;
  // A holder removes the file before it lets go: a file being removed cannot
  // be opened for a moment, and a lock taken on a file that is no longer at
  // the path is worth nothing; both are tried again.
  for (int attempt = 0; attempt < 50; ++attempt) {
    // The link itself is opened, never what it names: it is then refused.
    HANDLE handle = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT,
                                nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      if (error == ERROR_ACCESS_DENIED && attempt + 1 < 50) {
        // Being removed by its holder, or not ours to write: the second
        // shows on the tenth try.
        if (attempt == 9 && !took_over &&
            GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES) {
          Status status = TakeOverStale(wide, path, holder);
          if (!status.ok()) return status;
          took_over = true;
          continue;
        }
        Sleep(10);
        continue;
      }
      return WindowsError(error);
    }
    Status checked = CheckLockFile(handle);
    if (!checked.ok()) {
      CloseHandle(handle);
      return checked;
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
