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
  ToolRun dump = Tables("dump --out " + dir_.File("again.txt") + " " + out + "/diag10sr.tab");
  ASSERT_EQ(dump.status, 0) << dump.output;
  ToolRun rebuild = Tables("build --diag " + dir_.File("again.txt") + " --out " + dir_.File("re"));
  ASSERT_EQ(rebuild.status, 0) << rebuild.output;
  EXPECT_EQ(ReadFileBytes(dir_.File("re/diag10sr.tab")), ReadFileBytes(out + "/diag10sr.tab"));
  ToolRun check = Tables("check " + out);
  EXPECT_EQ(check.status, 0) << check.output;
  EXPECT_EQ(check.output, "0 errors, 0 warnings\n");

  std::string diag = ReadFileBytes(out + "/diag10sr.tab");
  diag[96 + 5200 + 4 + 3] = 100;  // Z00's record number: beyond the file
  WriteFileBytes(out + "/diag10sr.tab", diag);
  check = Tables("check " + out);
  EXPECT_EQ(check.status, 1);
  EXPECT_NE(check.output.find("error: diag10sr.tab: code Z00 (entry 1): record 100 lies beyond"),
            std::string::npos)
      << check.output;
}

TEST_F(GruloTablesTest, FailuresExitWithOneAndUsageErrorsWithTwo) {
  WriteFileBytes(dir_.File("bad.txt"), "version 42\nA000 0xFF\n");
  ToolRun bad = Tables("build --diag " + dir_.File("bad.txt") + " --out " + dir_.File("o1"));
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.output.find(dir_.File("bad.txt") + ":2: expected the position flags"),
            std::string::npos)
      << bad.output;
  EXPECT_FALSE(PathExists(dir_.File("o1") + "/diag10sr.tab"));

  const struct {
    std::string arguments;
    int status;
    bool usage;  // the usage text is shown
  } kCases[] = {
      {"--help", 0, true},
      {"", 2, true},
      {"build --diag", 2, true},
      {"build --diag " + dir_.File("missing.txt") + " --out x", 2, false},
      {"dump " + dir_.File("diag.txt"), 2, true},  // neither name nor header tells the kind
      {"check " + dir_.File("missing.tab"), 2, false},
  };
  for (const auto& c : kCases) {
    ToolRun run = Tables(c.arguments);
    EXPECT_EQ(run.status, c.status) << c.arguments << "\n" << run.output;
    EXPECT_EQ(run.output.find("Usage:") != std::string::npos, c.usage) << c.arguments;
  }
}

}  // namespace
}  // namespace grulo::test
