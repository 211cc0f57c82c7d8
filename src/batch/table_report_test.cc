#include "batch/table_report.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/files.h"
#include "tests/process_testutil.h"

namespace grulo {
namespace {

using test::TempDir;
using test::WriteFileBytes;

// The header and descriptors of a table: the version in bytes 8 and 9, the
// record size of descriptor n in its byte 20.
std::string TableHead(const std::string& version, std::vector<int> record_sizes) {
  std::string bytes(kTableHeaderSize + kSectionDescriptorSize * record_sizes.size(), '\0');
  bytes.replace(8, version.size(), version);
  for (size_t i = 0; i < record_sizes.size(); ++i) {
    bytes[kTableHeaderSize + kSectionDescriptorSize * i + 20] = static_cast<char>(record_sizes[i]);
  }
  return bytes;
}

// The table files of the directory: bytes, or "-" for none.
void WriteTables(const std::string& dir, const std::vector<std::string>& files) {
  for (TableRole role : kTableRoles) {
    const std::string path = dir + "/" + TableFileName(role);
    std::filesystem::remove(path);
    const std::string& bytes = files[static_cast<size_t>(role)];
    if (bytes != "-") WriteFileBytes(path, bytes);
  }
}

// The warnings say what the run met, from the table session's story: the
// files as they are at the end are not looked at again.
TEST(TableReportTest, WarnsOncePerTableWithWhatTheRunSaw) {
  TempDir dir;
  const std::string tables = dir.File("tables");
  std::filesystem::create_directory(tables);
  const std::string where = "RepTab in /etc/grulo.ini";
  const std::string tree = TableHead("T1", {8}), acts = TableHead("T1", {0}),
                    diags = TableHead("T1", {4, 6});
  const std::vector<std::string> good = {tree, acts, diags};
  auto line = [&](const char* name, const std::string& said) {
    return "table file '" + tables + "/" + name + "' (" + where + "): " + said;
  };
  struct Case {
    const char* name;
    std::string rep_tab;
    std::vector<std::string> files;
    int summaries;
    std::vector<std::string> then;  // the files afterwards ({}: unchanged)
    int then_summaries;             // the summaries after the change
    std::vector<std::string> warnings;
  } cases[] = {
      {"clean run", tables + "/", good, 3, {}, 0, {}},
      {"directory without tables", tables + "/", {"-", "-", "-"}, 3, {}, 0,
       {line("arbressr.tab", "missing; 3 summaries got return code 99"),
        line("ccamcssr.tab", "not opened; no summary reached it"),
        line("diag10sr.tab", "not opened; no summary reached it")}},
      {"separator missing", tables, {"-", "-", "-"}, 1, {}, 0,
       {"table file '" + tables + "arbressr.tab' (" + where + "): missing; 1 summary got return "
        "code 99",
        "table file '" + tables + "ccamcssr.tab' (" + where + "): not opened; no summary reached "
        "it",
        "table file '" + tables + "diag10sr.tab' (" + where + "): not opened; no summary reached "
        "it",
        "the table directory '" + tables + "' (" + where + ") does not end with '/': the table "
        "names are put right behind it ('" + tables + "arbressr.tab'); write RepTab=" + tables +
        "/"}},
      {"diagnoses refused", tables + "/", {tree, acts, TableHead("T1", {4, 0})}, 2, {}, 0,
       {line("diag10sr.tab", "has a diagnosis record size of 0 bytes (1 to 12 are accepted); 2 "
                             "summaries got return code 99")}},
      {"acts of another version", tables + "/", {tree, TableHead("T2", {0}), diags}, 3, {}, 0,
       {line("ccamcssr.tab",
             "version \"T2\" differs from \"T1\" of arbressr.tab; 1 summary got return code 9")}},
      {"diagnoses of another version", tables + "/",
       {tree, acts, TableHead(std::string("\x01Z", 2), {4, 6})}, 3, {}, 0,
       {line("diag10sr.tab", "version \"\\x01Z\" differs from \"T1\" of arbressr.tab; 1 summary "
                             "got return code 9")}},
      {"tree back during the run", tables + "/", {"-", acts, diags}, 2, good, 2,
       {line("arbressr.tab",
             "missing (a later summary opened it); 2 summaries got return code 99")}},
      // The reason is the one the run met, even when the file is right by
      // the end of the run.
      {"tree put right after the run", tables + "/", {std::string(40, 'x'), acts, diags}, 1,
       good, 0,
       {line("arbressr.tab", "is too short for a table (40 bytes; its header and descriptor take "
                             "64); 1 summary got return code 99"),
        line("ccamcssr.tab", "not opened; no summary reached it"),
        line("diag10sr.tab", "not opened; no summary reached it")}},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteTables(tables, c.files);
    TableSession session(TableSource::InDirectory(c.rep_tab));
    LineOutcome outcome;
    auto summaries = [&](int count) {
      for (int i = 0; i < count; ++i) {
        outcome.Start(LineFormat::kWellFormed);
        session.ForSummary(&outcome);
      }
    };
    summaries(c.summaries);
    if (!c.then.empty()) WriteTables(tables, c.then);
    summaries(c.then_summaries);
    EXPECT_EQ(TableWarnings(c.rep_tab, where, session), c.warnings);
  }
  TableSession none(TableSource::InDirectory(""));
  LineOutcome outcome;
  outcome.Start(LineFormat::kWellFormed);
  none.ForSummary(&outcome);
  std::vector<std::string> warnings = TableWarnings("", "RepTab in x", none);
  ASSERT_EQ(warnings.size(), 4u);
  EXPECT_TRUE(warnings[3].starts_with("RepTab is empty or missing (RepTab in x): the tables were "
                                      "looked for in the current directory '" +
                                      CurrentDirectory() + "'"))
      << warnings[3];
}

}  // namespace
}  // namespace grulo
