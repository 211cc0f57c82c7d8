// Whole-program tests of grulo-tables: build, dump and check from the command
// line, with their exit statuses.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "process_testutil.h"

namespace grulo::test {
namespace {

struct ToolRun {
  int status = -1;
  std::string output;  // standard output and standard error together
};

ToolRun Tables(const std::string& arguments) {
  const std::string command = BuiltProgram("grulo-tables") + " " + arguments + " 2>&1";
  ToolRun run;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
  const int status = ::pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

class GruloTablesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFileBytes(dir_.File("tree.txt"),
                   "version 42\n"
                   "root: AgeBelow 18 -> adult [01 001 00]\n"
                   "adult: PairInAnyDiag 38 210 -> [01 002 00] [01 003 00]\n");
    WriteFileBytes(dir_.File("diag.txt"), "version 42\nA000 0xFF 11\nZ00 0xFF 99 38 210\n");
    WriteFileBytes(dir_.File("acts.txt"), "version 42\nAAFA0010 3\n");
  }
  std::string BuildArguments(const std::string& out) const {
    return "build --tree " + dir_.File("tree.txt") + " --diag " + dir_.File("diag.txt") +
           " --acts " + dir_.File("acts.txt") + " --out " + out;
  }

  TempDir dir_;
};

TEST_F(GruloTablesTest, BuildDumpAndCheck) {
  const std::string out = dir_.File("tables");
  ToolRun build = Tables(BuildArguments(out));
  ASSERT_EQ(build.status, 0) << build.output;
  for (const char* name : {"arbressr.tab", "diag10sr.tab", "ccamcssr.tab"}) {
    const std::string table = out + "/" + name;
    ASSERT_TRUE(PathExists(table)) << name;
    ToolRun dump = Tables("dump --out " + dir_.File("again.txt") + " " + table);
    ASSERT_EQ(dump.status, 0) << dump.output;
    const std::string kind = name[0] == 'a' ? "--tree" : name[0] == 'd' ? "--diag" : "--acts";
    ToolRun rebuild =
        Tables("build " + kind + " " + dir_.File("again.txt") + " --out " + dir_.File("re"));
    ASSERT_EQ(rebuild.status, 0) << rebuild.output;
    EXPECT_EQ(ReadFileBytes(dir_.File("re") + "/" + name), ReadFileBytes(table)) << name;
  }
  ToolRun check = Tables("check " + out);
  EXPECT_EQ(check.status, 0) << check.output;
  EXPECT_EQ(check.output, "0 errors, 0 warnings\n");
}

TEST_F(GruloTablesTest, CheckNamesTheBrokenEntryAndFails) {
  const std::string out = dir_.File("tables");
  ASSERT_EQ(Tables(BuildArguments(out)).status, 0);
  std::string diag = ReadFileBytes(out + "/diag10sr.tab");
  diag[96 + 5200 + 4 + 3] = 100;  // Z00's record number: beyond the file
  WriteFileBytes(out + "/diag10sr.tab", diag);
  ToolRun check = Tables("check " + out);
  EXPECT_EQ(check.status, 1);
  EXPECT_NE(check.output.find("error: diag10sr.tab: code Z00 (entry 1): record 100 lies beyond"),
            std::string::npos)
      << check.output;
  ToolRun strict = Tables("check --strict " + out + "/ccamcssr.tab");
  EXPECT_EQ(strict.status, 0) << strict.output;
}

TEST_F(GruloTablesTest, BuildRefusesBrokenSourcesAndTables) {
  WriteFileBytes(dir_.File("bad.txt"), "version 42\nA000 0xFF\n");
  ToolRun bad = Tables("build --diag " + dir_.File("bad.txt") + " --out " + dir_.File("o1"));
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.output.find(dir_.File("bad.txt") + ":2: expected the position flags"),
            std::string::npos)
      << bad.output;

  WriteFileBytes(dir_.File("dup.txt"), "version 42\nA000 0xFF 11\nA000 0xFF 12\n");
  ToolRun dup = Tables("build --diag " + dir_.File("dup.txt") + " --out " + dir_.File("o2"));
  EXPECT_EQ(dup.status, 1);
  EXPECT_NE(dup.output.find("code A000 (entry 1): the same code as entry 0"), std::string::npos);
  EXPECT_FALSE(PathExists(dir_.File("o2") + "/diag10sr.tab"));
  ToolRun forced =
      Tables("build --force --diag " + dir_.File("dup.txt") + " --out " + dir_.File("o2"));
  EXPECT_EQ(forced.status, 0) << forced.output;
  EXPECT_TRUE(PathExists(dir_.File("o2") + "/diag10sr.tab"));

  WriteFileBytes(dir_.File("other.txt"), "version 43\nAAFA0010 3\n");
  ToolRun versions = Tables("build --tree " + dir_.File("tree.txt") + " --acts " +
                            dir_.File("other.txt") + " --out " + dir_.File("o3"));
  EXPECT_EQ(versions.status, 1);
  EXPECT_NE(versions.output.find("version '43' differs from the tree's version '42'"),
            std::string::npos);
}

TEST_F(GruloTablesTest, UsageErrorsExitWithTwo) {
  const struct {
    std::string arguments;
    int status;
    bool usage;  // the usage text is shown
  } kCases[] = {
      {"--help", 0, true},
      {"", 2, true},
      {"frobnicate", 2, true},
      {"build --out x", 2, true},
      {"build --diag", 2, true},
      {"build --diag " + dir_.File("missing.txt") + " --out x", 2, false},
      {"dump", 2, true},
      {"dump " + dir_.File("diag.txt"), 2, true},  // neither name nor header tells the kind
      {"dump --kind tables " + dir_.File("diag.txt"), 2, true},
      {"check --bogus x", 2, true},
      {"check " + dir_.File("missing.tab"), 2, false},
  };
  for (const auto& c : kCases) {
    ToolRun run = Tables(c.arguments);
    EXPECT_EQ(run.status, c.status) << c.arguments << "\n" << run.output;
    EXPECT_EQ(run.output.find("Usage:") != std::string::npos, c.usage) << c.arguments;
  }
  ToolRun short_file = Tables("dump --kind diag " + dir_.File("diag.txt"));
  EXPECT_EQ(short_file.status, 1);
  EXPECT_NE(short_file.output.find("fewer than its header and descriptors"), std::string::npos);
}

}  // namespace
}  // namespace grulo::test
