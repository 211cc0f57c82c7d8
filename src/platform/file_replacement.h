// Replacing a file in one step, the one way every program of grulo replaces
// a file (the outputs, the configuration, the report page, the tables): the
// new content is written to a temporary file beside it, made durable, and
// renamed over the file, so that a reader, a crash or a failure sees either
// the old file or the new one, never a part.
//
// Nothing is ever written through a symbolic link: a name that is a link
// (on Windows any reparse point), a directory or anything but a regular
// file is refused before anything is written, the temporary file is created
// only where no name stands (never through a link), and the rename replaces
// the name itself. So a link planted at the name after the check is
// replaced, its target left untouched, and nothing is written outside the
// file's directory.

#ifndef GRULO_PLATFORM_FILE_REPLACEMENT_H_
#define GRULO_PLATFORM_FILE_REPLACEMENT_H_

#include <memory>
#include <string>
#include <string_view>

#include "base/status.h"
#include "platform/files.h"

namespace grulo {

// How the temporary file is named.
enum class TempNaming {
  // ".<name><suffix>" beside the file, always the same, so that one left
  // behind by a process that was killed is known to the next one and
  // removed (Begin removes it). Two processes must not replace the same file
  // at once: the callers hold a lock that makes the name theirs.
  kFixed,
  // "<name><suffix>.<process id>.<n>", a name no other process takes, for
  // callers without a lock; one left behind by a killed process stays.
  kUnique,
};

// The temporary file of kFixed naming: ".<name><suffix>" in the directory of
// `target`.
std::string TemporaryPathFor(const std::string& target, std::string_view suffix);

// The directory part of `path` up to its last separator, or "." when it has
// none: where a file's temporary file lies, and the directory to sync.
std::string DirectoryOf(const std::string& path);

// Why a name may not be replaced: ok for a regular file or no file at all;
// otherwise "it is a symbolic link, which grulo never writes through", "it
// is a directory" or "it is not a regular file".
Status CheckReplaceableName(const std::string& path);

class FileReplacement {
 public:
  // Starts replacing the file at `path` (CheckReplaceableName first). The
  // new file takes the permission bits of the file it replaces. Fails when
  // the name is refused or the temporary file cannot be created.
  static Status Begin(const std::string& path, std::string_view temp_suffix, TempNaming naming,
                      std::unique_ptr<FileReplacement>* replacement);

  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;
  // Removes the temporary file unless it was renamed or kept (Keep).
  ~FileReplacement();

  // Where the new content is written until Finish.
  WritableFile* file() { return file_.get(); }
  // Makes the written content durable and closes the temporary file.
  Status Finish();
  // Renames the finished temporary file over the file and makes the rename
  // durable. After a failure the old file is still in place.
  Status Commit();
  // Renames only, for a caller that replaces several files and syncs their
  // directories once (SyncDirectory(DirectoryOf(target()))).
  Status Rename();
  // Whether the rename could replace the file now (platform/files.h,
  // CheckReplaceable): lets a caller that commits several files check them
  // all before replacing the first.
  Status CheckCommit() const;
  // From now on the temporary file stays when this object goes: a record
  // names it, and whoever reads the record renames or removes it.
  void Keep() { kept_ = true; }

  // The file being replaced and its temporary file, with the temporary
  // file's id (the file keeps it once renamed).
  const std::string& target() const { return target_; }
  const std::string& temp_path() const { return temp_path_; }
  const FileId& temp_id() const { return temp_id_; }

 private:
  FileReplacement() = default;

  std::string target_;
  std::string temp_path_;
  FileId temp_id_;
  std::unique_ptr<WritableFile> file_;
  bool renamed_ = false;
  bool kept_ = false;
};

// Replaces the file at `path` by `text` in one step.
Status ReplaceFileAtomically(const std::string& path, std::string_view text,
                             std::string_view temp_suffix, TempNaming naming);

}  // namespace grulo

#endif  // GRULO_PLATFORM_FILE_REPLACEMENT_H_
