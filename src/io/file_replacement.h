// Replacing a file in one step: the new content is written to a temporary
// file beside it, made durable, and renamed over the file, so that a reader,
// a crash or a failure sees either the old file or the new one, never a part.
//
// The temporary file has a fixed name, "." + the file's name + a suffix that
// says what it is for, so that one left behind by a process that was killed
// is known to the next one and removed. Two processes must not replace the
// same file at once: the callers hold a lock that makes the name theirs.

#ifndef GRULO_IO_FILE_REPLACEMENT_H_
#define GRULO_IO_FILE_REPLACEMENT_H_

#include <memory>
#include <string>
#include <string_view>

#include "base/status.h"
#include "platform/files.h"

namespace grulo {

// The temporary file that replaces `target`: ".<name><suffix>" in the same
// directory.
std::string TemporaryPathFor(const std::string& target, std::string_view suffix);

class FileReplacement {
 public:
  // Starts replacing the file at `path`. A symbolic link is followed: the
  // file it names is replaced and the link stays. A leftover temporary file
  // of the same name is removed first; the new one takes the permission
  // bits of the file it replaces. Fails when `path` names something other
  // than a regular file, or when the temporary file cannot be created.
  static Status Begin(const std::string& path, std::string_view temp_suffix,
                      std::unique_ptr<FileReplacement>* replacement);

  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;
  // Removes the temporary file unless the replacement was committed.
  ~FileReplacement();

  // Where the new content is written until Finish.
  WritableFile* file() { return file_.get(); }
  // Makes the written content durable and closes the temporary file.
  Status Finish();
  // Renames the finished temporary file over the file and makes the rename
  // durable. After a failure the old file is still in place.
  Status Commit();
  // Whether Commit could replace the file now (platform/files.h,
  // CheckReplaceable): lets a caller that commits several files check them
  // all before replacing the first.
  Status CheckCommit() const;

  // The file being replaced (a link resolved) and its temporary file.
  const std::string& target() const { return target_; }
  const std::string& temp_path() const { return temp_path_; }

 private:
  FileReplacement() = default;

  std::string target_;
  std::string temp_path_;
  std::unique_ptr<WritableFile> file_;
  bool committed_ = false;
};

// Replaces the file at `path` by `text` in one step.
Status ReplaceFileAtomically(const std::string& path, std::string_view text,
                             std::string_view temp_suffix);

}  // namespace grulo

#endif  // GRULO_IO_FILE_REPLACEMENT_H_
