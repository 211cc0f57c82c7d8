// Whole-program tests of grulo-tables: build, dump and check from the command
// line, with their exit statuses.

#include <gtest/gtest.h>
#ifndef _WIN32
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "process_testutil.h"
#include "tables/table_file.h"

namespace grulo::test {
namespace {

struct ToolRun {
  int status = -1;
  std::string output;  // standard output and standard error together
};

// Runs grulo-tables with the words of `arguments` (split at spaces).
ToolRun Tables(const std::string& arguments) {
  ProcessOptions options;
  size_t start = 0;
  while (start < arguments.size()) {
    size_t end = arguments.find(' ', start);
    if (end == std::string::npos) end = arguments.size();
    if (end > start) options.args.push_back(arguments.substr(start, end - start));
    start = end + 1;
  }
  const std::string program = BuiltProgram("grulo-tables");
  const ProcessResult result = RunProgram(program, program, options);
  return {result.exit_status, result.out + result.err};
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
  // A usage error is one line that gives the usage.
  for (const std::string& usage : {std::string(), std::string("build --diag"),
                                   std::string("build --tree t.txt"), std::string("bogus"),
                                   "dump " + dir.File("diag.txt")}) {
    run = Tables(usage);
    EXPECT_EQ(run.status, 2) << usage << "\n" << run.output;
    EXPECT_NE(run.output.find("(usage: grulo-tables "), std::string::npos) << usage;
    EXPECT_EQ(run.output.find('\n'), run.output.size() - 1) << run.output;
  }
}

// The address sanitizer reserves far more address space than any limit a
// test could set; under it only the peak memory is measured.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

constexpr long kPeakLimitKib = 256 * 1024;

struct BoundedRun {
  int status = -1;  // the exit status, -1 when the tool did not exit normally
  std::string out, err;
  long peak_kib = 0;  // the peak resident memory of the tool (0 on Windows: not measured)
};

// No size limit for the files a bounded run writes.
constexpr int64_t kNoFileSizeLimit = -1;

#ifdef _WIN32
// Windows has no limits on a process's address space and file sizes: the
// run is not bounded there, and its peak memory is not measured.
BoundedRun RunBounded(const std::vector<std::string>& arguments, const TempDir& /*dir*/,
                      int64_t file_size_limit = kNoFileSizeLimit) {
  if (file_size_limit != kNoFileSizeLimit) throw std::runtime_error("no file size limit");
  ProcessOptions options;
  options.args = arguments;
  const std::string program = BuiltProgram("grulo-tables");
  const ProcessResult result = RunProgram(program, program, options);
  return {result.exit_status, result.out, result.err, 0};
}
#else
constexpr rlim_t kAddressSpaceLimit = rlim_t{512} << 20;

// Runs grulo-tables with `arguments` in a child process limited to
// kAddressSpaceLimit of address space and to files of `file_size_limit`
// bytes (a longer write fails); standard output and error go to files of
// `dir`.
BoundedRun RunBounded(const std::vector<std::string>& arguments, const TempDir& dir,
                      int64_t file_size_limit = kNoFileSizeLimit) {
  const std::string program = BuiltProgram("grulo-tables");
  const std::string out_path = dir.File("bounded.out");
  const std::string err_path = dir.File("bounded.err");
  std::vector<std::string> words = {program};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  BoundedRun run;
  const pid_t pid = ::fork();
  if (pid < 0) return run;
  if (pid == 0) {
    const int out = ::open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = ::open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || err < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) ::_exit(126);
    if (!kAddressSanitizer) {
      const struct rlimit limit = {kAddressSpaceLimit, kAddressSpaceLimit};
      if (::setrlimit(RLIMIT_AS, &limit) != 0) ::_exit(126);
    }
    if (file_size_limit != kNoFileSizeLimit) {
      ::signal(SIGXFSZ, SIG_IGN);  // the write fails instead of ending the tool
      const struct rlimit limit = {static_cast<rlim_t>(file_size_limit),
                                   static_cast<rlim_t>(file_size_limit)};
      if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(126);
    }
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  int status = 0;
  struct rusage usage = {};
  if (::wait4(pid, &status, 0, &usage) != pid) return run;
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.peak_kib = usage.ru_maxrss;
  run.out = ReadFileBytes(out_path);
  run.err = ReadFileBytes(err_path);
  return run;
}
#endif

// A table whose sizes and offsets claim far more than the file holds: the
// dump and the check stay within the file's bytes and their caps, say what
// is wrong and exit normally.
TEST(GruloTablesTest, CorruptTablesAreReadWithinBoundedMemory) {
  TempDir dir;
  // 96 bytes: the header and two descriptors, the second placing the
  // records at 0x7FFF0000, and nothing else.
  const std::string corrupt_hex =
      "4752554c4f5441424431000064696167313073722e7461620000000000000000"
      "646961676e6f73697320696e6465780000000000020000560800000060000000"
      "646961676e6f736973207265636f7264730000000c000011887fff0000000000";
  std::string corrupt;
  for (size_t i = 0; i < corrupt_hex.size(); i += 2) {
    corrupt.push_back(static_cast<char>(std::stoi(corrupt_hex.substr(i, 2), nullptr, 16)));
  }
  const std::string diag = dir.File("corrupt.tab");
  WriteFileBytes(diag, corrupt);

  // An act table whose index goes up and down: every other prefix runs over
  // the same 3000 entries again.
  std::string source = "version 11\n";
  for (int n = 0; n < 3000; ++n) {
    char line[32];
    std::snprintf(line, sizeof line, "AAA%c%04d 1\n", 'A' + n % 26, n);
    source += line;
  }
  WriteFileBytes(dir.File("acts.txt"), source);
  ToolRun built = Tables("build --acts " + dir.File("acts.txt") + " --out " + dir.path());
  ASSERT_EQ(built.status, 0) << built.output;
  std::string acts = ReadFileBytes(dir.File("ccamcssr.tab"));
  for (int p = 0; p < 17576; ++p) {
    const int end = p % 2 == 0 ? 3000 : 0;
    acts[64 + 2 * p] = static_cast<char>(end >> 8);
    acts[64 + 2 * p + 1] = static_cast<char>(end & 0xFF);
  }
  const std::string amplified = dir.File("amplified.tab");
  WriteFileBytes(amplified, acts);

  const struct {
    std::vector<std::string> arguments;
    int status;
    std::string out, err;  // expected within standard output and error
  } kRuns[] = {
      {{"dump", "--kind", "diag", diag},
       0,
       "# note: the prefix index (5200 bytes at offset 96) is not inside the file (96 bytes)\n",
       "grulo-tables: warning: " + diag +
           ": building this text does not give the same bytes as the file it was read from: "
           "the prefix index (5200 bytes at offset 96) is not inside the file (96 bytes)\n"},
      {{"check", "--kind", "diag", diag},
       1,
       "error: " + diag +
           ": the prefix index (5200 bytes at offset 96) is not inside the file (96 bytes)\n",
       ""},
      {{"dump", "--kind", "acts", amplified},
       0,
       "# note: ... 8589 more notes\n",
       "grulo-tables: warning: " + amplified +
           ": building this text does not give the same bytes as the file it was read from: "
           "prefix AAB: the index end 0 is below the end 3000"},
      {{"check", "--kind", "acts", amplified}, 1, "warning: " + amplified + ": 8589 more findings",
       ""},
  };
  for (const auto& r : kRuns) {
    const std::string name = r.arguments[0] + " " + r.arguments.back();
    const BoundedRun run = RunBounded(r.arguments, dir);
    EXPECT_EQ(run.status, r.status) << name << "\n" << run.err;
    EXPECT_NE(run.out.find(r.out), std::string::npos) << name << "\n" << run.out.substr(0, 2000);
    EXPECT_NE(run.err.find(r.err), std::string::npos) << name << "\n" << run.err;
    EXPECT_LT(run.peak_kib, kPeakLimitKib) << name;
    EXPECT_LT(run.out.size(), size_t{4} << 20) << name;  // 65535 entries at most
  }
}

// The names in a directory that look like temporary files.
std::vector<std::string> TemporaryFiles(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    if (name.find(".tmp.") != std::string::npos) names.push_back(name);
  }
  return names;
}

// A program that opened a table before a build keeps reading the old file
// whole; a build that fails while writing leaves every old table as it was
// and no temporary file.
TEST(GruloTablesTest, BuildReplacesTablesWholeOrNotAtAll) {
  TempDir dir;
  auto sources = [&](const std::string& version) {
    WriteFileBytes(dir.File("tree.txt"), "version " + version + "\nroot: leaf 01 001 00\n");
    WriteFileBytes(dir.File("acts.txt"), "version " + version + "\nAAFA0010 3\n");
    WriteFileBytes(dir.File("diag.txt"), "version " + version + "\nA000 0xFF 11\n");
  };
  const std::string build = "build --tree " + dir.File("tree.txt") + " --acts " +
                            dir.File("acts.txt") + " --diag " + dir.File("diag.txt") + " --out " +
                            dir.File("tables");
  sources("42");
  ToolRun run = Tables(build);
  ASSERT_EQ(run.status, 0) << run.output;
  const std::string table = dir.File("tables/diag10sr.tab");
  const std::string old_bytes = ReadFileBytes(table);
  std::unique_ptr<TableFile> reader = TableFile::Open(table);
  ASSERT_NE(reader, nullptr);

  sources("43");
  run = Tables(build);
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(ReadFileBytes(table).substr(8, 2), "43");
  ASSERT_EQ(reader->size(), static_cast<int64_t>(old_bytes.size()));
  EXPECT_TRUE(std::string(reinterpret_cast<const char*>(reader->Peek(0, reader->size())),
                          old_bytes.size()) == old_bytes);

#ifdef _WIN32
  GTEST_SKIP() << "a failing write needs a file size limit, which Windows does not have";
#endif
  // The tree table fits in 4096 bytes, the act table does not: its write
  // fails after the tree's temporary file is written.
  const std::string tables[] = {"arbressr.tab", "ccamcssr.tab", "diag10sr.tab"};
  std::vector<std::string> before;
  for (const std::string& name : tables) before.push_back(ReadFileBytes(dir.File("tables/" + name)));
  sources("44");
  std::vector<std::string> arguments = {"build"};
  for (const char* kind : {"tree", "acts", "diag"}) {
    arguments.push_back(std::string("--") + kind);
    arguments.push_back(dir.File(std::string(kind) + ".txt"));
  }
  arguments.push_back("--out");
  arguments.push_back(dir.File("tables"));
  const BoundedRun failed = RunBounded(arguments, dir, 4096);
  EXPECT_EQ(failed.status, 2);
  EXPECT_EQ(failed.err.rfind("grulo-tables: " + dir.File("tables/ccamcssr.tab") + ": cannot write: ",
                             0),
            0u)
      << failed.err;
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_TRUE(ReadFileBytes(dir.File("tables/" + tables[i])) == before[i]) << tables[i];
  }
  EXPECT_TRUE(TemporaryFiles(dir.File("tables")).empty());
}

}  // namespace
}  // namespace grulo::test
