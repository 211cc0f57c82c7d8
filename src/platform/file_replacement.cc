#include "platform/file_replacement.h"

#include "platform/process.h"

namespace grulo {
namespace {

// How many unique names are tried before giving up.
constexpr int kUniqueNameTries = 100;

size_t DirectoryLength(std::string_view path) {
  for (size_t end = path.size(); end > 0; --end) {
    if (IsPathSeparator(path[end - 1])) return end;
  }
  return 0;
}

}  // namespace

std::string TemporaryPathFor(const std::string& target, std::string_view suffix) {
  const size_t dir = DirectoryLength(target);
  std::string path = target.substr(0, dir);
  path += '.';
  path += std::string_view(target).substr(dir);
  path += suffix;
  return path;
}

std::string DirectoryOf(const std::string& path) {
  const size_t dir = DirectoryLength(path);
  return dir == 0 ? std::string(".") : path.substr(0, dir);
}

Status CheckReplaceableName(const std::string& path) {
  FileInfo info;
  Status status = GetNameInfo(path, &info);
  if (!status.ok()) return status;
  switch (info.type) {
    case FileInfo::kMissing:
    case FileInfo::kRegular:
      return Status();
    case FileInfo::kLink:
      return Status::InvalidArgument("", "it is a symbolic link, which grulo never writes through");
    case FileInfo::kDirectory:
      return Status::InvalidArgument("", "it is a directory");
    case FileInfo::kPipe:
    case FileInfo::kOther:
      break;
  }
  return Status::InvalidArgument("", "it is not a regular file");
}

Status FileReplacement::Begin(const std::string& path, std::string_view temp_suffix,
                              TempNaming naming, std::unique_ptr<FileReplacement>* replacement) {
  replacement->reset();
  Status status = CheckReplaceableName(path);
  if (!status.ok()) return status;
  std::unique_ptr<FileReplacement> r(new FileReplacement());
  r->target_ = path;
  if (naming == TempNaming::kFixed) {
    r->temp_path_ = TemporaryPathFor(path, temp_suffix);
    status = RemoveFile(r->temp_path_);  // a leftover: the caller's lock makes the name ours
    if (status.ok()) status = WritableFile::CreateNew(r->temp_path_, path, &r->file_);
  } else {
    const std::string stem =
        path + std::string(temp_suffix) + "." + std::to_string(CurrentProcessId()) + ".";
    for (int n = 0; n < kUniqueNameTries; ++n) {
      r->temp_path_ = stem + std::to_string(n);
      status = WritableFile::CreateNew(r->temp_path_, path, &r->file_);
      FileInfo there;
      if (status.ok() || !GetNameInfo(r->temp_path_, &there).ok() ||
          there.type == FileInfo::kMissing) {
        break;  // created, or failed for another reason than a name in use
      }
    }
  }
  if (!status.ok()) {
    r->temp_path_.clear();  // not ours: left alone
    return status;
  }
  FileInfo info;
  status = r->file_->Info(&info);
  if (!status.ok()) return status;
  r->temp_id_ = info.id;
  *replacement = std::move(r);
  return Status();
}

FileReplacement::~FileReplacement() {
  file_.reset();
  if (!renamed_ && !kept_ && !temp_path_.empty()) (void)RemoveFile(temp_path_);
}

Status FileReplacement::Finish() {
  Status status = file_->Sync();
  Status closed = file_->Close();
  return status.ok() ? closed : status;
}

Status FileReplacement::Rename() {
  Status status = RenameFile(temp_path_, target_);
  if (status.ok()) renamed_ = true;
  return status;
}

Status FileReplacement::Commit() {
  Status status = Rename();
  if (!status.ok()) return status;
  // A failed sync of the directory loses nothing that a crash would not.
  (void)SyncDirectory(DirectoryOf(target_));
  return Status();
}

Status FileReplacement::CheckCommit() const { return CheckReplaceable(target_); }

Status ReplaceFileAtomically(const std::string& path, std::string_view text,
                             std::string_view temp_suffix, TempNaming naming) {
  std::unique_ptr<FileReplacement> replacement;
  Status status = FileReplacement::Begin(path, temp_suffix, naming, &replacement);
  if (status.ok()) status = replacement->file()->Append(text);
  if (status.ok()) status = replacement->Finish();
  if (status.ok()) status = replacement->Commit();
  return status;
}

}  // namespace grulo
