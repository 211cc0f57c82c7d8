// Whole-file reads and writes of the table toolkit: text sources in, table
// files and dumps out, table files opened for the dump and the check.

#ifndef GRULO_AUTHORING_FILE_IO_H_
#define GRULO_AUTHORING_FILE_IO_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/status.h"
#include "tables/table_file.h"

namespace grulo {

// The largest text source the toolkit reads: far above any real source (one
// of 65535 codes with 12-byte records has some 4 MB).
inline constexpr int64_t kMaxSourceBytes = int64_t{16} << 20;

// Reads a whole regular file of at most `max_bytes` bytes into *bytes. Not ok
// when there is no such file (kNotFound), when it is not a regular file or
// is larger (kInvalidArgument, nothing read) or when it cannot be read
// (kIoError); every message names the path.
Status ReadWholeFile(const std::string& path, int64_t max_bytes, std::string* bytes);

// A file written beside its target under a temporary name, flushed to disk
// and then renamed over the target by Commit, so that a program opening the
// target sees either the old file or the new one, never a part of either.
// Without a successful Commit the temporary file is removed when the object
// goes, and the target is left as it was.
class PendingFile {
 public:
  // Writes `bytes` to a new temporary file in the directory of `path`
  // ("<path>.tmp.<process>.<n>"), with the mode of the file it replaces (or
  // 0666 less the umask) and flushed. Not ok (naming the path and the
  // system's reason; no temporary file left) when it cannot.
  static Status Write(const std::string& path, std::string_view bytes,
                      std::unique_ptr<PendingFile>* file);

  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;
  ~PendingFile();

  // Renames the temporary file over the target, then flushes the directory.
  // Not ok (kIoError) when the rename fails: the target is left as it was
  // and the temporary file removed.
  Status Commit();

  const std::string& temporary_path() const { return temporary_; }

 private:
  PendingFile(std::string path, std::string temporary)
      : path_(std::move(path)), temporary_(std::move(temporary)) {}

  std::string path_;
  std::string temporary_;
  bool done_ = false;  // renamed or removed
};

// Writes one file that way: written, flushed and renamed into place.
Status WriteFileAtomically(const std::string& path, std::string_view bytes);
Status WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes);

// Opens a table file for reading (TableFile::Open). Not ok when there is no
// such file (kNotFound), when it is not a regular file (kInvalidArgument) or
// when it cannot be opened or mapped (kIoError); the message names the path.
Status OpenTableFile(const std::string& path, std::unique_ptr<TableFile>* file);

// The same reading and (atomic) writing for callers that keep a bool: false,
// with the message in *error for the writing.
bool WriteBytesToFile(const std::string& path, const std::vector<uint8_t>& bytes,
                      std::string* error);
bool ReadFileToString(const std::string& path, std::string* text);

}  // namespace grulo

#endif  // GRULO_AUTHORING_FILE_IO_H_
