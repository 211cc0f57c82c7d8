#include "authoring/file_io.h"

#include "platform/file_read.h"

namespace grulo {
namespace {

// The temporary files of the toolkit: "<path>.tmp.<process>.<n>".
constexpr char kTempSuffix[] = ".tmp";

// The status of a failed platform call for `path`: what was being done and
// the system's reason, with the platform's code.
Status Failed(const std::string& path, std::string_view doing, const Status& reason) {
  std::string what(doing);
  if (!what.empty()) what += ": ";
  what += reason.message();
  return Status(reason.code(), path, what);
}

}  // namespace

Status ReadTextSource(const std::string& path, std::string* text) {
  const ReadRules rules{.regular_only = true, .max_size = kMaxSourceBytes};
  Status status = ReadWholeFile(path, rules, text);
  return status.ok() ? status : Failed(path, "", status);
}

Status WritePendingFile(const std::string& path, std::string_view bytes,
                        std::unique_ptr<FileReplacement>* file) {
  Status status = FileReplacement::Begin(path, kTempSuffix, TempNaming::kUnique, file);
  if (!status.ok()) return Failed(path, "cannot be replaced", status);
  status = (*file)->file()->Append(bytes);
  if (status.ok()) status = (*file)->Finish();
  if (!status.ok()) {
    file->reset();  // the temporary file goes
    return Failed(path, "cannot write", status);
  }
  return Status();
}

Status CommitFile(FileReplacement& file) {
  Status status = file.Commit();
  return status.ok() ? status : Failed(file.target(), "cannot replace", status);
}

Status WriteFileAtomically(const std::string& path, std::string_view bytes) {
  std::unique_ptr<FileReplacement> file;
  Status status = WritePendingFile(path, bytes, &file);
  return status.ok() ? CommitFile(*file) : status;
}

Status WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
  return WriteFileAtomically(
      path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

Status OpenTableFile(const std::string& path, std::unique_ptr<TableFile>* file) {
  Status why;
  *file = TableFile::Open(path, &why);
  return why;
}

bool WriteBytesToFile(const std::string& path, const std::vector<uint8_t>& bytes,
                      std::string* error) {
  const Status status = WriteFileAtomically(path, bytes);
  if (!status.ok()) *error = status.message();
  return status.ok();
}

}  // namespace grulo
