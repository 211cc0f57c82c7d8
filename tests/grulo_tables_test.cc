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

// Exit statuses: 0 for a good run, 1 for a refused source or a broken
// table, 2 for a usage error.
TEST(GruloTablesTest, BuildDumpCheckAndTheirExitStatuses) {
  TempDir dir;
  WriteFileBytes(dir.File("tree.txt"),
                 "version 42\n"
                 "root: AgeBelow 18 -> adult [01 001 00]\n"
                 "adult: PairInAnyDiag 38 210 -> [01 002 00] [01 003 00]\n");
  WriteFileBytes(dir.File("diag.txt"), "version 42\nA000 0xFF 11\nZ00 0xFF 99 38 210\n");
  WriteFileBytes(dir.File("acts.txt"), "version 42\nAAFA0010 3\n");
  const std::string out = dir.File("tables");
  ToolRun run = Tables("build --tree " + dir.File("tree.txt") + " --diag " + dir.File("diag.txt") +
                       " --acts " + dir.File("acts.txt") + " --out " + out);
  ASSERT_EQ(run.status, 0) << run.output;
  run = Tables("dump --out " + dir.File("again.txt") + " " + out + "/diag10sr.tab");
  ASSERT_EQ(run.status, 0) << run.output;
  run = Tables("build --diag " + dir.File("again.txt") + " --out " + dir.File("re"));
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(ReadFileBytes(dir.File("re/diag10sr.tab")), ReadFileBytes(out + "/diag10sr.tab"));
  run = Tables("check " + out);
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(run.output, "0 errors, 0 warnings\n");

  std::string diag = ReadFileBytes(out + "/diag10sr.tab");
  diag[96 + 5200 + 4 + 3] = 100;  // Z00's record number: beyond the file
  WriteFileBytes(out + "/diag10sr.tab", diag);
  run = Tables("check " + out);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.output.find("error: diag10sr.tab: code Z00 (entry 1): record 100 lies beyond"),
            std::string::npos)
      << run.output;

  WriteFileBytes(dir.File("bad.txt"), "version 42\nA000 0xFF\n");
  run = Tables("build --diag " + dir.File("bad.txt") + " --out " + dir.File("o1"));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.output.find(dir.File("bad.txt") + ":2: expected the position flags"),
            std::string::npos)
      << run.output;
  EXPECT_FALSE(PathExists(dir.File("o1") + "/diag10sr.tab"));

  // The last: neither the name nor the header of the file tells its kind.
  for (const std::string& usage : {std::string(), std::string("build --diag"),
                                   "dump " + dir.File("diag.txt")}) {
    run = Tables(usage);
    EXPECT_EQ(run.status, 2) << usage << "\n" << run.output;
    EXPECT_NE(run.output.find("Usage:"), std::string::npos) << usage;
  }
}

}  // namespace
}  // namespace grulo::test
