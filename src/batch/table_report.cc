#include "batch/table_report.h"

#include "platform/files.h"
#include "text/cp1252_text.h"

namespace grulo {
namespace {

// A version as text for a message: quoted, bytes outside printable ASCII
// as \xHH.
std::string QuotedVersion(const VersionText& version) {
  std::string text = "\"";
  for (char c : VersionView(version)) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u < 0x7F) {
      text += c;
    } else {
      static constexpr char kHex[] = "0123456789ABCDEF";
      text += "\\x";
      text += kHex[u >> 4];
      text += kHex[u & 15];
    }
  }
  return text + "\"";
}

std::string SummariesGot(int64_t count, int code) {
  return std::to_string(count) + (count == 1 ? " summary got" : " summaries got") +
         " return code " + std::to_string(code);
}

// Why a table could not be opened, without its path, which the warning
// names already: "missing", "is too short for a table (...)".
std::string Reason(const Status& failure, const std::string& path) {
  if (failure.code() == Status::kNotFound) return "missing";
  std::string_view message = failure.message();
  if (message.starts_with(path + ": ")) message.remove_prefix(path.size() + 2);
  return std::string(message);
}

}  // namespace

std::vector<std::string> TableWarnings(std::string_view rep_tab, std::string_view where,
                                       const TableSession& tables) {
  std::vector<std::string> warnings;
  if (!tables.any_problem()) return warnings;
  for (TableRole role : kTableRoles) {
    const TableStory& story = tables.story(role);
    std::string problem, counts;
    if (story.cannot_open > 0) {
      problem = Reason(story.failure, story.path);
      if (story.state == TableState::kOpen) problem += " (a later summary opened it)";
      counts = SummariesGot(story.cannot_open, kTableCannotOpen);
    }
    if (story.version_differs) {
      if (!problem.empty()) problem += ", then ";
      problem += "version " + QuotedVersion(story.version) + " differs from " +
                 QuotedVersion(tables.tree_version()) + " of " + kTreeTableName;
      counts += (counts.empty() ? "" : ", ") + SummariesGot(1, kTableVersionsDiffer);
    }
    if (story.state == TableState::kNotTried) {
      problem = "not opened";
      counts = "no summary reached it";
    }
    if (problem.empty()) continue;
    warnings.push_back("table file " + Quoted(story.path) + " (" + std::string(where) +
                       "): " + problem + "; " + counts);
  }

  FileInfo dir;
  if (rep_tab.empty()) {
    std::string cwd = CurrentDirectory();
    warnings.push_back("RepTab is empty or missing (" + std::string(where) +
                       "): the tables were looked for in the current directory" +
                       (cwd.empty() ? std::string() : " " + Quoted(cwd)));
  } else if (rep_tab.back() != '/' && rep_tab.back() != '\\' &&
             GetFileInfo(std::string(rep_tab), &dir).ok() && dir.type == FileInfo::kDirectory) {
    std::string value(rep_tab);
    warnings.push_back("the table directory " + Quoted(value) + " (" + std::string(where) +
                       ") does not end with '/': the table names are put right behind it (" +
                       Quoted(value + kTreeTableName) + "); write RepTab=" + value + "/");
  }
  return warnings;
}

}  // namespace grulo
