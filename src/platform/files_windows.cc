// The files of platform/files.h on Windows, through the wide-character calls:
// the program's paths are Windows-1252 bytes, converted to UTF-16 for every
// call. Files are handles, read and written as bytes (no text mode).

#include <windows.h>

#include <vector>

#include "platform/files.h"
#include "platform/windows_text.h"

namespace grulo {
namespace {

// A path the system cannot take (an embedded NUL byte, nothing at all).
bool Unusable(const std::string& path) {
  return path.empty() || path.find('\0') != std::string::npos;
}

Status UnusablePath() { return Status::InvalidArgument("", "not a usable path"); }

Status LastError() { return WindowsError(GetLastError()); }

// The kind, size and id of an open handle.
Status HandleInfo(HANDLE handle, FileInfo* info) {
  const DWORD kind = GetFileType(handle);
  if (kind != FILE_TYPE_DISK) {
    *info = FileInfo();
    info->type = kind == FILE_TYPE_PIPE ? FileInfo::kPipe : FileInfo::kOther;
    return Status();
  }
  BY_HANDLE_FILE_INFORMATION about;
  if (!GetFileInformationByHandle(handle, &about)) return LastError();
  const bool directory = (about.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  info->type = directory ? FileInfo::kDirectory : FileInfo::kRegular;
  info->size = directory ? 0
                         : static_cast<int64_t>((static_cast<uint64_t>(about.nFileSizeHigh) << 32) |
                                                about.nFileSizeLow);
  info->id = {about.dwVolumeSerialNumber,
              (static_cast<uint64_t>(about.nFileIndexHigh) << 32) | about.nFileIndexLow};
  // FILETIME counts 100 ns steps from 1601-01-01 UTC.
  const uint64_t ticks = (static_cast<uint64_t>(about.ftLastWriteTime.dwHighDateTime) << 32) |
                         about.ftLastWriteTime.dwLowDateTime;
  constexpr uint64_t kTicksPerSecond = 10000000;
  constexpr uint64_t kSecondsFrom1601To1970 = 11644473600;
  info->modified = ticks == 0 ? 0
                              : static_cast<int64_t>(ticks / kTicksPerSecond) -
                                    static_cast<int64_t>(kSecondsFrom1601To1970);
  return Status();
}

class WindowsReadableFile final : public ReadableFile {
 public:
  explicit WindowsReadableFile(HANDLE handle) : handle_(handle) {}
  ~WindowsReadableFile() override { CloseHandle(handle_); }

  Status Read(char* buffer, size_t n, size_t* got) override {
    DWORD wanted = n > (1u << 30) ? (1u << 30) : static_cast<DWORD>(n);
    DWORD read = 0;
    if (!ReadFile(handle_, buffer, wanted, &read, nullptr)) {
      *got = 0;
      if (GetLastError() == ERROR_BROKEN_PIPE) return Status();  // a pipe's end
      return LastError();
    }
    *got = read;
    return Status();
  }

  Status Info(FileInfo* info) const override { return HandleInfo(handle_, info); }

 private:
  HANDLE handle_;
};

class WindowsWritableFile final : public WritableFile {
 public:
  explicit WindowsWritableFile(HANDLE handle) : handle_(handle) {}
  ~WindowsWritableFile() override { Close(); }

  Status Append(std::string_view data) override {
    while (!data.empty()) {
      DWORD wanted = data.size() > (1u << 30) ? (1u << 30) : static_cast<DWORD>(data.size());
      DWORD written = 0;
      if (!WriteFile(handle_, data.data(), wanted, &written, nullptr)) return LastError();
      if (written == 0) return Status::IoError("", "nothing could be written");
      data.remove_prefix(written);
    }
    return Status();
  }

  Status Sync() override {
    if (!FlushFileBuffers(handle_)) return LastError();
    return Status();
  }

  Status Info(FileInfo* info) const override { return HandleInfo(handle_, info); }

  Status Close() override {
    if (handle_ == INVALID_HANDLE_VALUE) return Status();
    const bool closed = CloseHandle(handle_) != 0;
    handle_ = INVALID_HANDLE_VALUE;
    if (!closed) return LastError();
    return Status();
  }

 private:
  HANDLE handle_;
};

// Opens `path` to ask about it, directories included.
HANDLE OpenForQuery(const std::wstring& path) {
  return CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

}  // namespace

Status GetFileInfo(const std::string& path, FileInfo* info) {
  *info = FileInfo();
  if (Unusable(path)) return UnusablePath();
  const std::wstring wide = WidePath(path);
  HANDLE handle = OpenForQuery(wide);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (IsMissingError(error)) return Status();
    // Some devices cannot be opened this way; their attributes still tell.
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
      info->type = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? FileInfo::kDirectory
                                                           : FileInfo::kOther;
      return Status();
    }
    return WindowsError(error);
  }
  Status status = HandleInfo(handle, info);
  CloseHandle(handle);
  return status;
}

Status GetNameInfo(const std::string& path, FileInfo* info) {
  *info = FileInfo();
  if (Unusable(path)) return UnusablePath();
  const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    info->type = FileInfo::kLink;
    return Status();
  }
  return GetFileInfo(path, info);
}

Status RemoveFile(const std::string& path) {
  if (Unusable(path)) return UnusablePath();
  if (!DeleteFileW(WidePath(path).c_str())) {
    const DWORD error = GetLastError();
    if (!IsMissingError(error)) return WindowsError(error);
  }
  return Status();
}

Status RenameFile(const std::string& from, const std::string& to) {
  if (Unusable(from) || Unusable(to)) return UnusablePath();
  // Replaces the target in one step, and returns once the move is on disk.
  // A target that another program holds open cannot be replaced: that is a
  // failure, never a copy.
  if (!MoveFileExW(WidePath(from).c_str(), WidePath(to).c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return LastError();
  }
  return Status();
}

Status CheckReplaceable(const std::string& path) {
  if (Unusable(path)) return UnusablePath();
  // Opening for removal, sharing everything, fails exactly when another
  // handle on the file does not share its removal, as a rename over it would.
  HANDLE handle = CreateFileW(WidePath(path).c_str(), DELETE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return IsMissingError(error) ? Status() : WindowsError(error);
  }
  CloseHandle(handle);
  return Status();
}

std::unique_ptr<ReadableFile> KeepWhileReplaced(const std::string&) { return nullptr; }

Status SyncDirectory(const std::string& dir) {
  // The renames are written through (RenameFile): nothing is left to flush.
  if (Unusable(dir)) return UnusablePath();
  return Status();
}

std::string ResolveLinks(const std::string& path) { return path; }

std::string CurrentDirectory() {
  DWORD size = GetCurrentDirectoryW(0, nullptr);
  if (size == 0) return std::string();
  std::vector<wchar_t> buffer(size + 1);
  DWORD n = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
  if (n == 0 || n >= buffer.size()) return std::string();
  return NarrowText(std::wstring_view(buffer.data(), n));
}

bool IsAbsolutePath(std::string_view path) {
  if (!path.empty() && IsPathSeparator(path.front())) return true;  // \\server, \dir
  return path.size() >= 3 && path[1] == ':' && IsPathSeparator(path[2]) &&
         ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

bool IsPathSeparator(char c) { return c == '/' || c == '\\'; }

Status ReadableFile::Open(const std::string& path, std::unique_ptr<ReadableFile>* file) {
  file->reset();
  if (Unusable(path)) return UnusablePath();
  const std::wstring wide = WidePath(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return Status::IoError("", "Is a directory");
  }
  HANDLE handle =
      CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return LastError();
  *file = std::make_unique<WindowsReadableFile>(handle);
  return Status();
}

Status ReadableFile::OpenStandardInput(std::unique_ptr<ReadableFile>* file) {
  file->reset();
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  if (input == nullptr) return Status::NotFound("", "no standard input");
  if (input == INVALID_HANDLE_VALUE) return LastError();
  HANDLE copy = INVALID_HANDLE_VALUE;
  if (!DuplicateHandle(GetCurrentProcess(), input, GetCurrentProcess(), &copy, 0, FALSE,
                       DUPLICATE_SAME_ACCESS)) {
    return LastError();
  }
  *file = std::make_unique<WindowsReadableFile>(copy);
  return Status();
}

Status WritableFile::CreateNew(const std::string& path, const std::string& model,
                               std::unique_ptr<WritableFile>* file) {
  (void)model;  // the new file takes the permissions its directory gives
  file->reset();
  if (Unusable(path)) return UnusablePath();
  // CREATE_NEW fails on any name that is taken, a link included; the flag
  // keeps a link from being followed all the same.
  HANDLE handle = CreateFileW(WidePath(path).c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return LastError();
  *file = std::make_unique<WindowsWritableFile>(handle);
  return Status();
}

}  // namespace grulo
