#include "cli/report_target.h"

#include <memory>

#include "platform/file_replacement.h"
#include "report/rejected_list.h"
#include "platform/files.h"
#include "text/cp1252_text.h"

namespace grulo {
namespace {

// What a page that grulo wrote starts with, and one of the marks it holds
// near its start (the generator's name; pages of earlier versions only have
// their title).
constexpr char kPageStart[] = "<!DOCTYPE html>";
constexpr const char* kPageMarks[] = {"<meta name=\"generator\" content=\"grulo report\">",
                                      "<title>grulo run report"};
constexpr int64_t kPageHeadBytes = 4096;

constexpr char kTableNames[][13] = {"arbressr.tab", "ccamcssr.tab", "diag10sr.tab"};

std::string NamePart(const std::string& path) {
  return path.substr(DirectoryOf(path) == "." ? 0 : DirectoryOf(path).size());
}

// Whether `a` and `b` name the same file: the same file id when both are
// there, else the same name in the same directory.
bool SameName(const std::string& a, const std::string& b) {
  FileInfo x, y;
  if (!GetFileInfo(a, &x).ok() || !GetFileInfo(b, &y).ok()) return a == b;
  if (x.type != FileInfo::kMissing && y.type != FileInfo::kMissing) return x.id == y.id;
  if (x.type != FileInfo::kMissing || y.type != FileInfo::kMissing) return false;
  FileInfo dx, dy;
  return NamePart(a) == NamePart(b) && GetFileInfo(DirectoryOf(a), &dx).ok() &&
         GetFileInfo(DirectoryOf(b), &dy).ok() && dx.type == FileInfo::kDirectory &&
         dy.type == FileInfo::kDirectory && dx.id == dy.id;
}

// The first bytes of a file; empty when it cannot be read.
std::string HeadOf(const std::string& path) {
  std::unique_ptr<ReadableFile> file;
  if (!ReadableFile::Open(path, &file).ok()) return "";
  std::string head(kPageHeadBytes, '\0');
  size_t have = 0;
  while (have < head.size()) {
    size_t got = 0;
    if (!file->Read(head.data() + have, head.size() - have, &got).ok() || got == 0) break;
    have += got;
  }
  head.resize(have);
  return head;
}

bool IsGruloPage(const std::string& path) {
  const std::string head = HeadOf(path);
  if (!head.starts_with(kPageStart)) return false;
  for (const char* mark : kPageMarks) {
    if (head.find(mark) != std::string::npos) return true;
  }
  return false;
}

bool IsRejectedList(const std::string& path) {
  return HeadOf(path).starts_with(std::string(RejectedList::kHeader) + "\r\n");
}

}  // namespace

std::vector<RunFile> RunFilesOf(const std::string& input, const std::string& grp,
                                const std::string& err) {
  return {{input, "the run's input file"}, {grp, "the run's .grp file"},
          {err, "the run's .err file"}};
}

void AddConfigFiles(const std::string& config_path, const std::string& rep_tab,
                    std::vector<RunFile>* files) {
  files->push_back({config_path, "the configuration file"});
  for (const char* table : kTableNames) files->push_back({rep_tab + table, "the table file"});
}

namespace {

Status CheckTarget(const std::string& page, const std::vector<RunFile>& run_files,
                   std::string_view what, bool (*ours)(const std::string&),
                   std::string_view not_ours) {
  const std::string where = std::string(what) + " " + Quoted(page);
  for (const RunFile& file : run_files) {
    if (!file.path.empty() && SameName(page, file.path)) {
      return Status::InvalidArgument("", where + " is " + file.what + " " + Quoted(file.path) +
                                             ": a report never replaces it");
    }
  }
  FileInfo info;
  Status status = GetNameInfo(page, &info);
  if (!status.ok()) return Status::IoError("cannot reach " + where, status.message());
  switch (info.type) {
    case FileInfo::kMissing:
      return Status();
    case FileInfo::kRegular:
      if (ours(page)) return Status();
      return Status::InvalidArgument(
          "", where + " is a file that is " + std::string(not_ours) +
                  ": a report never replaces it (choose another name, or remove it first)");
    case FileInfo::kLink:
      return Status::InvalidArgument(
          "", where + " is a symbolic link, which grulo never writes through");
    case FileInfo::kDirectory:
      return Status::InvalidArgument("", where + " is a directory");
    case FileInfo::kPipe:
    case FileInfo::kOther:
      break;
  }
  return Status::InvalidArgument("", where + " is not a regular file");
}

}  // namespace

Status CheckReportTarget(const std::string& page, const std::vector<RunFile>& run_files) {
  return CheckTarget(page, run_files, "the report page", IsGruloPage,
                     "no page of grulo report");
}

Status CheckRejectedListTarget(const std::string& list, const std::vector<RunFile>& run_files) {
  return CheckTarget(list, run_files, "the rejected list", IsRejectedList,
                     "no list of rejected summaries of grulo report");
}

Status CheckReportWritable(const std::string& page) {
  std::unique_ptr<FileReplacement> probe;
  Status status = FileReplacement::Begin(page, ".grulo-report-tmp", TempNaming::kUnique, &probe);
  if (!status.ok()) {
    return Status::IoError("cannot write the report page " + Quoted(page), status.message());
  }
  return Status();  // the probe's temporary file goes with it
}

}  // namespace grulo
