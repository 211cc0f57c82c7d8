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

TEST(TableReportTest, ExaminesTableFilesAsTheRunOpensThem) {
  TempDir dir;
  const std::string tables = dir.File("");
  struct Case {
    const char* name;
    TableRole role;
    std::string bytes;  // "-" for no file, "/" for a directory
    std::string problem;
    std::string version;
  } cases[] = {
      {"good tree", TableRole::kTree, TableHead("T1", {8}), "", "T1"},
      {"missing", TableRole::kTree, "-", "missing", ""},
      {"directory", TableRole::kActs, "/", "a directory, not a table file", ""},
      {"short", TableRole::kActs, std::string(40, 'x'),
       "too short (40 bytes; a table needs at least 64)", ""},
      {"short diagnoses", TableRole::kDiags, TableHead("T1", {0}),
       "too short (64 bytes; a table needs at least 96)", ""},
      {"node size", TableRole::kTree, TableHead("T1", {5}), "node size 5 refused (6 to 12 allowed)",
       ""},
      {"node size 13", TableRole::kTree, TableHead("T1", {13}),
       "node size 13 refused (6 to 12 allowed)", ""},
      {"record size", TableRole::kDiags, TableHead("T1", {4, 0}),
       "diagnosis record size 0 refused (1 to 12 allowed)", ""},
      {"acts of any record size", TableRole::kActs, TableHead("A", {0}), "", "A"},
      {"diagnoses", TableRole::kDiags, TableHead("T2", {4, 12}) + "more", "", "T2"},
  };
  for (const Case& c : cases) {
    std::filesystem::remove_all(dir.path());
    std::filesystem::create_directory(dir.path());
    const char* name = c.role == TableRole::kTree   ? kTreeTableName
                       : c.role == TableRole::kActs ? kActTableName
                                                    : kDiagTableName;
    if (c.bytes == "/") {
      std::filesystem::create_directory(tables + name);
    } else if (c.bytes != "-") {
      WriteFileBytes(tables + name, c.bytes);
    }
    TableFileState state = ExamineTableFile(tables, c.role);
    EXPECT_EQ(state.path, tables + name) << c.name;
    EXPECT_EQ(state.usable, c.problem.empty()) << c.name;
    EXPECT_EQ(state.problem, c.problem) << c.name;
    EXPECT_EQ(VersionView(state.version), c.version) << c.name;
  }
}

TEST(TableReportTest, CountsTableStatusesByTable) {
  TableOutcomes outcomes;
  const VersionText none{};
  const VersionText v1{'V', '1', '\0'};
  outcomes.Count(99, none);  // the tree table: no version yet
  outcomes.Count(99, none);
  outcomes.Count(99, v1);
  outcomes.Count(9, v1);
  EXPECT_EQ(outcomes.tree_failed, 2);
  EXPECT_EQ(outcomes.later_failed, 1);
  EXPECT_EQ(outcomes.versions_differ, 1);
  EXPECT_FALSE(TableOutcomes().any());
}

TEST(TableReportTest, WarnsOncePerProblemWithItsSummaries) {
  TempDir dir;
  const std::string tables = dir.File("tables");
  std::filesystem::create_directory(tables);
  const std::string where = "RepTab in /etc/grulo.ini";
  struct Case {
    const char* name;
    std::string rep_tab;
    std::string tree, acts, diags;  // file bytes, "-" for none
    TableOutcomes outcomes;
    std::vector<std::string> warnings;
  } cases[] = {
      {"clean run", tables + "/", TableHead("T1", {8}), TableHead("T1", {0}),
       TableHead("T1", {4, 6}), {}, {}},
      {"directory without tables", tables + "/", "-", "-", "-", {3, 0, 0},
       {"table file " + tables + "/arbressr.tab (" + where + "): missing; 3 summaries got return "
        "code 99",
        "table file " + tables + "/ccamcssr.tab (" + where + "): missing; no summary reached it",
        "table file " + tables + "/diag10sr.tab (" + where + "): missing; no summary reached it"}},
      {"separator missing", tables, "-", "-", "-", {1, 0, 0},
       {"table file " + tables + "arbressr.tab (" + where + "): missing; 1 summary got return "
        "code 99",
        "table file " + tables + "ccamcssr.tab (" + where + "): missing; no summary reached it",
        "table file " + tables + "diag10sr.tab (" + where + "): missing; no summary reached it",
        "the table directory " + tables + " (" + where + ") does not end with '/': the table "
        "names are put right behind it (" + tables + "arbressr.tab); write RepTab=" + tables +
        "/"}},
      {"diagnoses missing", tables + "/", TableHead("T1", {8}), TableHead("T1", {0}), "-",
       {0, 2, 0},
       {"table file " + tables + "/diag10sr.tab (" + where + "): missing; 2 summaries got return "
        "code 99"}},
      {"acts of another version", tables + "/", TableHead("T1", {8}), TableHead("T2", {0}),
       TableHead("T1", {4, 6}), {0, 0, 1},
       {"table file " + tables + "/ccamcssr.tab (" + where + "): version \"T2\" differs from "
        "\"T1\" of arbressr.tab; 1 summary got return code 9"}},
      {"diagnoses of another version", tables + "/", TableHead("T1", {8}), TableHead("T1", {0}),
       TableHead(std::string("\x01Z", 2), {4, 6}), {0, 0, 1},
       {"table file " + tables + "/diag10sr.tab (" + where + "): version \"\\x01Z\" differs from "
        "\"T1\" of arbressr.tab; 1 summary got return code 9"}},
      {"tree back during the run", tables + "/", TableHead("T1", {8}), TableHead("T1", {0}),
       TableHead("T1", {4, 6}), {4, 0, 0},
       {"table file " + tables + "/arbressr.tab (" + where + "): could not be opened during the "
        "run (it can be now); 4 summaries got return code 99"}},
  };
  for (const Case& c : cases) {
    std::filesystem::remove_all(tables);
    std::filesystem::create_directory(tables);
    const std::string files[] = {c.tree, c.acts, c.diags};
    const char* names[] = {kTreeTableName, kActTableName, kDiagTableName};
    for (int i = 0; i < 3; ++i) {
      if (files[i] != "-") WriteFileBytes(tables + "/" + names[i], files[i]);
    }
    EXPECT_EQ(TableWarnings(c.rep_tab, where, c.outcomes), c.warnings) << c.name;
  }
  TableOutcomes one;
  one.tree_failed = 1;
  std::vector<std::string> warnings = TableWarnings("", "RepTab in x", one);
  ASSERT_EQ(warnings.size(), 4u);
  EXPECT_TRUE(warnings[3].starts_with("RepTab is empty or missing (RepTab in x): the tables were "
                                      "looked for in the current directory " +
                                      CurrentDirectory()))
      << warnings[3];
}

}  // namespace
}  // namespace grulo
