// Files as the operating system gives them: their kind and size, reading and
// writing opened files, removal, renaming and syncing. Whole files are read by
// platform/file_read.h and replaced by platform/file_replacement.h.
//
// Every failure is a Status whose message is the system's reason alone ("No
// such file or directory"): the caller knows which file it was and what it
// was for, and names them in its own message. A file that is not there (or a
// path through something that is not a directory) gives a kNotFound status,
// other failures kIoError.

#ifndef GRULO_PLATFORM_FILES_H_
#define GRULO_PLATFORM_FILES_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "base/status.h"

namespace grulo {

// Which file a path or an open file is: equal ids are the same file.
struct FileId {
  uint64_t device = 0;
  uint64_t inode = 0;
  bool operator==(const FileId&) const = default;
};

struct FileInfo {
  // kPipe: a FIFO or a pipe. kLink: a symbolic link (on Windows any reparse
  // point: a link or a junction), told by GetNameInfo only.
  enum Type { kMissing, kRegular, kDirectory, kPipe, kLink, kOther };
  Type type = kMissing;
  int64_t size = 0;  // in bytes, for a regular file
  FileId id;
  // When the content was last written, in seconds since 1970-01-01 UTC (0
  // when the system cannot tell).
  int64_t modified = 0;
};

// What the path names, symbolic links followed. A missing file is no
// failure: ok with type kMissing. Other failures (a path that cannot be
// searched) return their reason.
Status GetFileInfo(const std::string& path, FileInfo* info);

// What the name itself is, a final symbolic link not followed: kLink for a
// link (its size and id are the link's), otherwise as GetFileInfo.
Status GetNameInfo(const std::string& path, FileInfo* info);

// Removes a file; ok when there is none.
Status RemoveFile(const std::string& path);

// Renames `from` to `to`, replacing a file at `to` in one step.
Status RenameFile(const std::string& from, const std::string& to);

// Whether RenameFile could replace the file at `path` now: ok when it could
// or when there is no file. POSIX systems replace a file that is open, so
// this is always ok there; Windows refuses while another program holds the
// file open without sharing its removal (an editor), and this says so with
// that reason.
Status CheckReplaceable(const std::string& path);

class ReadableFile;

// The regular file at `path` (not through a link) held open, so that a
// rename over it does not free its blocks inside the rename: on POSIX
// systems the last name of a large file going makes the call wait until it
// is freed, tens of milliseconds for a hundred megabytes. The blocks are
// freed when the returned file goes. Null when there is no such file, and
// on Windows, where a rename does not wait so.
std::unique_ptr<ReadableFile> KeepWhileReplaced(const std::string& path);

// Makes the entries of a directory (a rename into it) durable.
Status SyncDirectory(const std::string& dir);

// The path that a chain of symbolic links at `path` ends at; `path` itself
// when it is no link or the chain cannot be followed.
std::string ResolveLinks(const std::string& path);

// The current directory, or the empty text when it cannot be told.
std::string CurrentDirectory();

// True when `path` is absolute (starts at the root of the file system; on
// Windows also at a drive, C:\ or C:/, or at a network share, \\server).
bool IsAbsolutePath(std::string_view path);

// True when `c` separates the directories of a path: '/', and on Windows
// also the backslash.
bool IsPathSeparator(char c);

// A file opened for reading from its start.
class ReadableFile {
 public:
  // Opens the file, symbolic links followed; a directory is refused with its
  // reason. A FIFO is opened as the system does, once a writer has opened it.
  static Status Open(const std::string& path, std::unique_ptr<ReadableFile>* file);
  // The process's standard input, read as bytes from where it stands (a
  // copy of its descriptor or handle: closing the file leaves it open).
  static Status OpenStandardInput(std::unique_ptr<ReadableFile>* file);
  virtual ~ReadableFile() = default;

  // Reads up to `n` bytes into `buffer`: `*got` is the count read, 0 at the
  // end of the file.
  virtual Status Read(char* buffer, size_t n, size_t* got) = 0;
  // The kind, size and id of the open file, now.
  virtual Status Info(FileInfo* info) const = 0;
};

// A new file opened for writing.
class WritableFile {
 public:
  // Creates the file at `path`, which must not exist yet: a name taken by
  // anything, a symbolic link included, is refused ("File exists"), so no
  // file is ever created through a link. When `model` is not empty and names
  // a regular file (itself, not through a link), the new file takes its
  // permission bits (and its owner, where the system allows).
  static Status CreateNew(const std::string& path, const std::string& model,
                          std::unique_ptr<WritableFile>* file);
  virtual ~WritableFile() = default;  // closes the file when still open

  // Writes all of `data`.
  virtual Status Append(std::string_view data) = 0;
  // Makes what was written durable (fsync).
  virtual Status Sync() = 0;
  // The kind, size and id of the open file; a writer that is no file of the
  // system (an output handed to a function) has none.
  virtual Status Info(FileInfo* info) const {
    *info = FileInfo();
    return Status::InvalidArgument("", "not a file of the system");
  }
  // Closes the file; later calls do nothing.
  virtual Status Close() = 0;
};

}  // namespace grulo

#endif  // GRULO_PLATFORM_FILES_H_
