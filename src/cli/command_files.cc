#include "cli/command_files.h"

#include <cstdlib>
#include <memory>

#include "calendar/calendar.h"
#include "calendar/run_clock.h"
#include "grouper/line_outcome.h"
#include "platform/file_replacement.h"
#include "platform/files.h"
#include "text/cp1252_text.h"
#include "text/number_text.h"

namespace grulo {
namespace {

bool ValidDate(std::string_view text) {
  bool digits = text.size() == 8;
  for (char c : text) digits = digits && IsDigit(c);
  return digits && DateIsValid(text) == 0;
}

std::string NamePart(const std::string& path) {
  const std::string dir = DirectoryOf(path);
  return path.substr(dir == "." ? 0 : dir.size());
}

// Whether `a` and `b` name the same file: the same file id when both are
// there, else the same name in the same directory.
bool SameFile(const std::string& a, const std::string& b) {
  FileInfo x, y;
  if (!GetFileInfo(a, &x).ok() || !GetFileInfo(b, &y).ok()) return a == b;
  if (x.type != FileInfo::kMissing && y.type != FileInfo::kMissing) return x.id == y.id;
  if (x.type != FileInfo::kMissing || y.type != FileInfo::kMissing) return false;
  FileInfo dx, dy;
  return NamePart(a) == NamePart(b) && GetFileInfo(DirectoryOf(a), &dx).ok() &&
         GetFileInfo(DirectoryOf(b), &dy).ok() && dx.type == FileInfo::kDirectory &&
         dy.type == FileInfo::kDirectory && dx.id == dy.id;
}

}  // namespace

std::string_view CheckTodayValue(std::string_view value) {
  return ValidDate(value) ? "" : "a date DDMMYYYY";
}

TodayChoice ChooseToday(const ParsedOptions& options) {
  if (options.Has("today")) return {options.Value("today"), "--today"};
  const char* variable = std::getenv(kTodayVariable);
  if (variable != nullptr && ValidDate(variable)) return {variable, "GRULO_TODAY"};
  return {"", "the computer's clock"};
}

ClockFactory TodayClocks(const TodayChoice& today) {
  const std::string text = today.text;
  return [text] { return MakeRunClock(text.empty() ? nullptr : text.c_str()); };
}

std::string TableDirectory(std::string dir) {
  if (!dir.empty() && dir.back() != '/'
#ifdef _WIN32
      && dir.back() != '\\'
#endif
  ) {
    dir += '/';
  }
  return dir;
}

void AddTableFiles(const std::string& table_dir, std::vector<RunFile>* files) {
  for (TableRole role : kTableRoles) {
    files->push_back({table_dir + TableFileName(role), "a table file"});
  }
}

Status CheckOutputName(const std::string& path, std::string_view what,
                       const std::vector<RunFile>& keep_off) {
  const std::string where = std::string(what) + " " + Quoted(path);
  for (const RunFile& file : keep_off) {
    if (!file.path.empty() && SameFile(path, file.path)) {
      return Status::InvalidArgument("", where + " is " + file.what + " " + Quoted(file.path) +
                                             ", which this command never replaces");
    }
  }
  Status status = CheckReplaceableName(path);
  if (!status.ok()) return Status::InvalidArgument("", where + ": " + status.message());
  return Status();
}

}  // namespace grulo
