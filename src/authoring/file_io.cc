#include "authoring/file_io.h"

#include "platform/files.h"
#include "platform/process.h"

namespace grulo {
namespace {

// The status of a failed platform call for `path`: what was being done and
// the system's reason, with the platform's code.
Status Failed(const std::string& path, std::string_view doing, const Status& reason) {
  std::string what(doing);
  what += ": ";
  what += reason.message();
  return reason.code() == Status::kNotFound ? Status::NotFound(path, what)
                                            : Status::IoError(path, what);
}

// The directory part of `path`, "." when it has none.
std::string DirectoryOf(const std::string& path) {
  for (size_t end = path.size(); end > 0; --end) {
    if (IsPathSeparator(path[end - 1])) return path.substr(0, end);
  }
  return ".";
}

}  // namespace

Status ReadWholeFile(const std::string& path, int64_t max_bytes, std::string* bytes) {
  // Anything but a regular file (a FIFO, which could hang the tool) is
  // refused before it is opened.
  FileInfo info;
  if (Status s = GetFileInfo(path, &info); !s.ok()) return Failed(path, "cannot open", s);
  if (info.type == FileInfo::kMissing) {
    return Failed(path, "cannot open", Status::NotFound("", "No such file or directory"));
  }
  if (info.type != FileInfo::kRegular) return Status::InvalidArgument(path, "not a regular file");
  if (info.size > max_bytes) {
    return Status::InvalidArgument(path, std::to_string(info.size) + " bytes, more than the " +
                                             std::to_string(max_bytes) + " a source may have");
  }
  std::unique_ptr<ReadableFile> file;
  if (Status s = ReadableFile::Open(path, &file); !s.ok()) return Failed(path, "cannot open", s);
  if (Status s = file->Info(&info); !s.ok()) return Failed(path, "cannot read", s);
  if (info.type != FileInfo::kRegular) return Status::InvalidArgument(path, "not a regular file");
  bytes->clear();
  // The size may change while the file is read: read to its end, never more
  // than max_bytes + 1 bytes.
  char buffer[1 << 16];
  while (true) {
    size_t n = 0;
    if (Status s = file->Read(buffer, sizeof buffer, &n); !s.ok()) {
      return Failed(path, "cannot read", s);
    }
    if (n == 0) break;
    bytes->append(buffer, n);
    if (static_cast<int64_t>(bytes->size()) > max_bytes) {
      bytes->clear();
      return Status::InvalidArgument(
          path, "more than the " + std::to_string(max_bytes) + " bytes a source may have");
    }
  }
  return Status();
}

Status PendingFile::Write(const std::string& path, std::string_view bytes,
                          std::unique_ptr<PendingFile>* file) {
  // A name no other file has: this process's number and the first free n.
  // The new file takes the mode of the file it replaces.
  FileInfo old;
  const bool replaces = GetFileInfo(path, &old).ok() && old.type == FileInfo::kRegular;
  std::string temporary;
  std::unique_ptr<WritableFile> out;
  Status created;
  for (int n = 0; out == nullptr && n < 100; ++n) {
    temporary = path + ".tmp." + std::to_string(CurrentProcessId()) + "." + std::to_string(n);
    created = WritableFile::CreateNew(temporary, replaces ? path : std::string(), &out);
    FileInfo there;
    if (!created.ok() && !(GetFileInfo(temporary, &there).ok() && there.type != FileInfo::kMissing)) {
      break;  // failed for another reason than a name in use
    }
  }
  if (out == nullptr) return Failed(path, "cannot create a temporary file beside it", created);
  std::unique_ptr<PendingFile> pending(new PendingFile(path, temporary));
  if (Status s = out->Append(bytes); !s.ok()) return Failed(path, "cannot write", s);
  if (Status s = out->Sync(); !s.ok()) return Failed(path, "cannot flush", s);
  if (Status s = out->Close(); !s.ok()) return Failed(path, "cannot write", s);
  *file = std::move(pending);
  return Status();
}

PendingFile::~PendingFile() {
  if (!done_) (void)RemoveFile(temporary_);
}

Status PendingFile::Commit() {
  if (done_) return Status::IoError(path_, "already committed");
  done_ = true;
  if (Status s = RenameFile(temporary_, path_); !s.ok()) {
    (void)RemoveFile(temporary_);
    return Failed(path_, "cannot replace", s);
  }
  // The rename itself lasts once the directory is flushed.
  (void)SyncDirectory(DirectoryOf(path_));
  return Status();
}

Status WriteFileAtomically(const std::string& path, std::string_view bytes) {
  std::unique_ptr<PendingFile> file;
  if (Status s = PendingFile::Write(path, bytes, &file); !s.ok()) return s;
  return file->Commit();
}

Status WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
  return WriteFileAtomically(
      path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

Status OpenTableFile(const std::string& path, std::unique_ptr<TableFile>* file) {
  FileInfo info;
  if (Status s = GetFileInfo(path, &info); !s.ok()) return Failed(path, "cannot open", s);
  if (info.type == FileInfo::kMissing) {
    return Failed(path, "cannot open", Status::NotFound("", "No such file or directory"));
  }
  if (info.type != FileInfo::kRegular) return Status::InvalidArgument(path, "not a regular file");
  *file = TableFile::Open(path);
  if (*file == nullptr) return Status::IoError(path, "cannot be opened or mapped");
  return Status();
}

bool WriteBytesToFile(const std::string& path, const std::vector<uint8_t>& bytes,
                      std::string* error) {
  const Status status = WriteFileAtomically(path, bytes);
  if (!status.ok()) *error = status.message();
  return status.ok();
}

bool ReadFileToString(const std::string& path, std::string* text) {
  return ReadWholeFile(path, kMaxSourceBytes, text).ok();
}

}  // namespace grulo
