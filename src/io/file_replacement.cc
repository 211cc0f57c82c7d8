#include "io/file_replacement.h"

#include "io/paths.h"

namespace grulo {

std::string TemporaryPathFor(const std::string& target, std::string_view suffix) {
  std::string_view dir = DirectoryPart(target);
  std::string path(dir);
  path += '.';
  path += std::string_view(target).substr(dir.size());
  path += suffix;
  return path;
}

Status FileReplacement::Begin(const std::string& path, std::string_view temp_suffix,
                              std::unique_ptr<FileReplacement>* replacement) {
  replacement->reset();
  std::unique_ptr<FileReplacement> r(new FileReplacement());
  r->target_ = ResolveLinks(path);
  FileInfo info;
  Status status = GetFileInfo(r->target_, &info);
  if (!status.ok()) return status;
  if (info.type != FileInfo::kMissing && info.type != FileInfo::kRegular) {
    return Status::IoError("", info.type == FileInfo::kDirectory ? "Is a directory"
                                                                 : "not a regular file");
  }
  r->temp_path_ = TemporaryPathFor(r->target_, temp_suffix);
  status = RemoveFile(r->temp_path_);
  if (!status.ok()) return status;
  std::string model = info.type == FileInfo::kRegular ? r->target_ : std::string();
  status = WritableFile::CreateNew(r->temp_path_, model, &r->file_);
  if (!status.ok()) return status;
  *replacement = std::move(r);
  return Status();
}

FileReplacement::~FileReplacement() {
  file_.reset();
  if (!committed_ && !temp_path_.empty()) (void)RemoveFile(temp_path_);
}

Status FileReplacement::Finish() {
  Status status = file_->Sync();
  Status closed = file_->Close();
  return status.ok() ? closed : status;
}

Status FileReplacement::Commit() {
  Status status = RenameFile(temp_path_, target_);
  if (!status.ok()) return status;
  committed_ = true;
  std::string dir(DirectoryPart(target_));
  // A failed sync of the directory loses nothing that a crash would not.
  (void)SyncDirectory(dir.empty() ? "." : dir);
  return Status();
}

Status FileReplacement::CheckCommit() const { return CheckReplaceable(target_); }

Status ReplaceFileAtomically(const std::string& path, std::string_view text,
                             std::string_view temp_suffix) {
  std::unique_ptr<FileReplacement> replacement;
  Status status = FileReplacement::Begin(path, temp_suffix, &replacement);
  if (status.ok()) status = replacement->file()->Append(text);
  if (status.ok()) status = replacement->Finish();
  if (status.ok()) status = replacement->Commit();
  return status;
}

}  // namespace grulo
