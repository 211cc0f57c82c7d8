#include "batch/table_report.h"

#include <array>
#include <memory>

#include "platform/files.h"

namespace grulo {
namespace {

struct RoleFacts {
  const char* file_name;
  int descriptors;  // section descriptors after the header
};

RoleFacts FactsOf(TableRole role) {
  switch (role) {
    case TableRole::kTree: return {kTreeTableName, 1};
    case TableRole::kActs: return {kActTableName, 1};
    case TableRole::kDiags: return {kDiagTableName, 2};
  }
  return {kTreeTableName, 1};
}

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

}  // namespace

TableFileState ExamineTableFile(std::string_view rep_tab, TableRole role) {
  RoleFacts facts = FactsOf(role);
  TableFileState state;
  state.path = std::string(rep_tab) + facts.file_name;
  FileInfo info;
  Status status = GetFileInfo(state.path, &info);
  if (!status.ok()) {
    state.problem = "cannot be reached: " + status.message();
    return state;
  }
  if (info.type == FileInfo::kMissing) {
    state.problem = "missing";
    return state;
  }
  if (info.type != FileInfo::kRegular) {
    state.problem = info.type == FileInfo::kDirectory ? "a directory, not a table file"
                                                      : "not a regular file";
    return state;
  }
  const int needed = kTableHeaderSize + facts.descriptors * kSectionDescriptorSize;
  if (info.size < needed) {
    state.problem = "too short (" + std::to_string(info.size) + " bytes; a table needs at least " +
                    std::to_string(needed) + ")";
    return state;
  }
  std::unique_ptr<ReadableFile> file;
  status = ReadableFile::Open(state.path, &file);
  std::array<uint8_t, kTableHeaderSize + 2 * kSectionDescriptorSize> header{};
  size_t have = 0;
  while (status.ok() && have < static_cast<size_t>(needed)) {
    size_t got = 0;
    status = file->Read(reinterpret_cast<char*>(header.data()) + have,
                        static_cast<size_t>(needed) - have, &got);
    if (got == 0) break;
    have += got;
  }
  if (!status.ok()) {
    state.problem = "cannot be read: " + status.message();
    return state;
  }
  if (have < static_cast<size_t>(needed)) {
    state.problem = "too short (its header and descriptors could not be read)";
    return state;
  }
  const uint8_t* first = header.data() + kTableHeaderSize;
  if (role == TableRole::kTree) {
    int16_t size = ReadSectionDescriptor(first).record_size;
    if (size < 6 || size > 12) {
      state.problem = "node size " + std::to_string(size) + " refused (6 to 12 allowed)";
      return state;
    }
  }
  if (role == TableRole::kDiags) {
    int16_t size = ReadSectionDescriptor(first + kSectionDescriptorSize).record_size;
    if (size == 0 || size > 12) {
      state.problem = "diagnosis record size " + std::to_string(size) +
                      " refused (1 to 12 allowed)";
      return state;
    }
  }
  state.usable = true;
  state.version = ReadHeaderVersion(header.data());
  return state;
}

std::vector<std::string> TableWarnings(std::string_view rep_tab, std::string_view where,
                                       const TableOutcomes& outcomes) {
  std::vector<std::string> warnings;
  if (!outcomes.any()) return warnings;
  const TableFileState tree = ExamineTableFile(rep_tab, TableRole::kTree);
  const TableFileState acts = ExamineTableFile(rep_tab, TableRole::kActs);
  const TableFileState diags = ExamineTableFile(rep_tab, TableRole::kDiags);
  std::array<std::string, 3> counts;  // tree, acts, diagnoses: what the summaries got
  std::array<std::string, 3> problems = {tree.problem, acts.problem, diags.problem};
  const std::string kNotNow = "could not be opened during the run (it can be now)";

  if (outcomes.tree_failed > 0) {
    counts[0] = SummariesGot(outcomes.tree_failed, kTableCannotOpen);
    if (tree.usable) problems[0] = kNotNow;
  }
  // The act table is opened before the diagnosis table: while it fails, the
  // diagnosis table is not tried.
  if (outcomes.later_failed > 0) {
    int i = !acts.usable || diags.usable ? 1 : 2;
    counts[i] = SummariesGot(outcomes.later_failed, kTableCannotOpen);
    if (i == 1 && acts.usable) problems[1] = kNotNow;
  }
  if (outcomes.versions_differ > 0) {
    bool acts_differ = !acts.usable || !tree.usable || !VersionsAgree(acts.version, tree.version);
    int i = acts_differ ? 1 : 2;
    const TableFileState& other = i == 1 ? acts : diags;
    if (other.usable && tree.usable) {
      problems[i] = "version " + QuotedVersion(other.version) + " differs from " +
                    QuotedVersion(tree.version) + " of " + kTreeTableName;
    } else if (problems[i].empty()) {
      problems[i] = "of another version than " + std::string(kTreeTableName);
    }
    std::string got = SummariesGot(outcomes.versions_differ, kTableVersionsDiffer);
    counts[i] = counts[i].empty() ? got : counts[i] + ", " + got;
  }
  const TableFileState* states[3] = {&tree, &acts, &diags};
  for (int i = 0; i < 3; ++i) {
    if (problems[i].empty()) continue;
    std::string line = "table file " + states[i]->path + " (" + std::string(where) +
                       "): " + problems[i] + "; ";
    line += counts[i].empty() ? "no summary reached it" : counts[i];
    warnings.push_back(line);
  }

  FileInfo dir;
  if (rep_tab.empty()) {
    std::string cwd = CurrentDirectory();
    warnings.push_back("RepTab is empty or missing (" + std::string(where) +
                       "): the tables were looked for in the current directory" +
                       (cwd.empty() ? std::string() : " " + cwd));
  } else if (rep_tab.back() != '/' && rep_tab.back() != '\\' &&
             GetFileInfo(std::string(rep_tab), &dir).ok() && dir.type == FileInfo::kDirectory) {
    std::string value(rep_tab);
    warnings.push_back("the table directory " + value + " (" + std::string(where) +
                       ") does not end with '/': the table names are put right behind it (" +
                       value + kTreeTableName + "); write RepTab=" + value + "/");
  }
  return warnings;
}

}  // namespace grulo
