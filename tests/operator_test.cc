// The grulo program as an operator meets it when something goes wrong: each
// failure ends with exit status 1, one line on standard error that says
// what, where and why, and the previous outputs and counters untouched; a
// usage error touches nothing at all; two runs never write the same outputs
// at once; a killed run leaves nothing that the next run keeps.

#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "process_testutil.h"

namespace grulo::test {
namespace {

// A well-formed summary line without acts.
std::string Summary(int n) {
  std::string line(343, '0');
  line.replace(9, 3, "M04");
  line.replace(12, 7, std::to_string(1000000 + n));
  line.replace(341, 2, "00");
  return line;
}

std::string Lines(int from, int count) {
  std::string text;
  for (int i = from; i < from + count; ++i) text += Summary(i) + "\n";
  return text;
}

// Every file under the sandbox (but the program) with its bytes.
std::map<std::string, std::string> Snapshot(const TempDir& dir) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.path())) {
    std::string name = entry.path().generic_string().substr(dir.path().size());
    if (name == std::string("/bin/grulo") + kExecutableSuffix) continue;
    files[name] = entry.is_regular_file() ? ReadFileBytes(entry.path().string()) : "<dir>";
  }
  return files;
}

int64_t LineCount(const std::string& text) { return std::count(text.begin(), text.end(), '\n'); }

bool Contains(const std::string& text, const std::string& piece) {
  return text.find(piece) != std::string::npos;
}

#ifndef _WIN32
// Opens the writing end of a FIFO once a reader has opened it; -1 after
// five seconds without one.
int OpenFifoWriter(const std::string& path) {
  for (int i = 0; i < 500; ++i) {
    int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
    if (fd >= 0) {
      ::fcntl(fd, F_SETFL, 0);  // blocking writes from here on
      return fd;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return -1;
}

void WriteAllTo(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    ASSERT_GT(n, 0);
    done += static_cast<size_t>(n);
  }
}
#endif

class OperatorTest : public ::testing::Test {
 protected:
  OperatorTest() {
    WriteFileBytes(File("out/week.grp"), "last week's grp");
    WriteFileBytes(File("out/week.err"), "last week's err");
    config_ = box_.StandardConfig() + "\r\n[R\xE9sultats]\r\nNbLus=7\r\n";
    WriteFileBytes(File("bin/grulo.ini"), config_);
    box_.WriteInput(Lines(0, 3));
  }
  std::string File(std::string_view name) const { return box_.dir().File(name); }
  ProcessResult Run(std::vector<std::string> args = {}) const {
    ProcessOptions options;
    options.args = std::move(args);
    return box_.RunGrulo(options);
  }
  // Checks a failed run: status 1, one line on standard error holding every
  // piece, nothing changed in the sandbox.
  void ExpectFailure(const ProcessResult& r, const std::vector<std::string>& pieces,
                     const std::map<std::string, std::string>& before) const {
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(r.err.starts_with("grulo: ")) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    for (const std::string& piece : pieces) EXPECT_TRUE(Contains(r.err, piece)) << r.err;
    EXPECT_EQ(Snapshot(box_.dir()), before);
  }

  GruloSandbox box_;
  std::string config_;
};

TEST_F(OperatorTest, EachFailureSaysWhatAndChangesNothing) {
  const std::string ini = File("bin/grulo.ini");
  const std::string input = File("data/week.rss");
  struct Case {
    const char* name;
    std::string config;  // "-" for no grulo.ini
    std::vector<std::string> pieces;
  } cases[] = {
      {"no grulo.ini", "-",
       {"cannot read the configuration file " + ini + " (beside the program): No such file"}},
      {"section without its accents",
       "[General]\r\nFicEnt=" + input + "\r\nRepSor=" + File("out") + "\r\n",
       {"has no section [G\xC3\xA9n\xC3\xA9ral]", "[General] needs the accents"}},
      {"no FicEnt", "[G\xE9n\xE9ral]\r\nRepSor=" + File("out") + "\r\n",
       {"the key FicEnt is missing", ini}},
      {"input missing", "[G\xE9n\xE9ral]\r\nFicEnt=" + input + ".old\r\nRepSor=" + File("out") + "\r\n",
       {"cannot open the input file " + input + ".old (FicEnt in " + ini +
        "): No such file or directory"}},
      {"input a directory", "[G\xE9n\xE9ral]\r\nFicEnt=" + File("data") + "\r\nRepSor=" + File("out") + "\r\n",
       {"cannot open the input file " + File("data"), "Is a directory"}},
      {"no RepSor", "[G\xE9n\xE9ral]\r\nFicEnt=" + input + "\r\n",
       {"the key RepSor is missing", "root directory"}},
      {"RepSor missing", "[G\xE9n\xE9ral]\r\nFicEnt=" + input + "\r\nRepSor=" + File("outs") + "\r\n",
       {"the output directory " + File("outs") + " (RepSor in " + ini + ") does not exist"}},
      {"RepSor not writable", "[G\xE9n\xE9ral]\r\nFicEnt=" + input + "\r\nRepSor=/sys\r\n",
       {"cannot write into the output directory /sys (RepSor in " + ini + ")",
        "Permission denied"}},
      {"relative path from another directory",
       "[G\xE9n\xE9ral]\r\nFicEnt=data/week.rss\r\nRepSor=out\r\n",
       {"the output directory out (RepSor in " + ini + "; relative to the current directory " +
        NativePath(File("bin")) + ") does not exist"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
#ifdef _WIN32
    // No directory that every user is refused writing into.
    if (c.config.find("RepSor=/sys") != std::string::npos) continue;
#endif
    if (c.config == "-") {
      std::filesystem::remove(ini);
    } else {
      WriteFileBytes(ini, c.config);
    }
    auto before = Snapshot(box_.dir());
    ProcessOptions options;
    options.cwd = File("bin");
    ExpectFailure(box_.RunGrulo(options), c.pieces, before);
  }
}

TEST_F(OperatorTest, ConfigurationDirectoryThatCannotBeWritten) {
#ifdef _WIN32
  GTEST_SKIP() << "a read-only directory attribute does not refuse new files on Windows";
#else
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into any directory";
  ASSERT_EQ(::chmod(File("bin").c_str(), 0555), 0);
  auto before = Snapshot(box_.dir());
  ProcessResult r = Run();
  ::chmod(File("bin").c_str(), 0755);
  ExpectFailure(r, {"beside the configuration file", "Permission denied"}, before);
#endif
}

// A write that fails (the disk full) leaves last week's outputs and counters
// as they were, and no temporary file.
TEST_F(OperatorTest, DiskFullLeavesThePreviousOutputs) {
#ifdef _WIN32
  GTEST_SKIP() << "a full disk is simulated with a file size limit, which Windows does not have";
#else
  box_.WriteInput(Lines(0, 300));
  auto before = Snapshot(box_.dir());
  ProcessOptions options;
  options.file_size_limit = 50000;  // the .grp file needs about 100 kB
  ProcessResult r = box_.RunGrulo(options);
  ExpectFailure(r, {"cannot write the output file " + File("out/week.grp") + ": File too large",
                    "the previous week.grp, week.err and counters are left as they were"},
                before);
#endif
}

// A run killed midway leaves last week's outputs and counters; the next run
// removes what it left.
TEST_F(OperatorTest, KilledRunLeavesThePreviousOutputs) {
#ifdef _WIN32
  GTEST_SKIP() << "the run is held midway through a FIFO input, which Windows does not have";
#else
  const std::string fifo = File("data/week.rss");
  std::filesystem::remove(fifo);
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  auto before = Snapshot(box_.dir());
  {
    ProcessOptions options;
    options.cwd = box_.dir().path();
    ChildProcess run(box_.program(), box_.program(), options);
    int fd = OpenFifoWriter(fifo);
    ASSERT_GE(fd, 0);
    WriteAllTo(fd, Lines(0, 500));
    for (int i = 0; i < 500 && !PathExists(File("out/.week.grp.grulo-tmp")); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(PathExists(File("out/.week.grp.grulo-tmp")));
    run.Signal(SIGKILL);
    EXPECT_EQ(run.Wait().exit_status, -1);
    ::close(fd);
  }
  auto after = Snapshot(box_.dir());
  for (const auto& [name, bytes] : before) EXPECT_EQ(after[name], bytes) << name;

  std::filesystem::remove(fifo);
  box_.WriteInput(Lines(0, 2));
  ProcessResult r = Run();
  EXPECT_EQ(r.exit_status, 0) << r.err;
  EXPECT_EQ(DirectoryNames(File("out")), (std::vector<std::string>{"week.err", "week.grp"}));
  EXPECT_EQ(DirectoryNames(File("bin")), (std::vector<std::string>{"grulo", "grulo.ini"}));
  EXPECT_TRUE(Contains(box_.Config(), "NbLus=2\r\n"));
#endif
}

// Two runs started together on the same configuration: one runs, the other
// refuses at once and names it.
TEST_F(OperatorTest, TwoRunsAtOnce) {
#ifdef _WIN32
  GTEST_SKIP() << "the runs are held together through a FIFO input, which Windows does not have";
#else
  const std::string fifo = File("data/week.rss");
  std::filesystem::remove(fifo);
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  ProcessOptions options;
  options.cwd = box_.dir().path();
  ChildProcess first(box_.program(), box_.program(), options);
  ChildProcess second(box_.program(), box_.program(), options);
  int fd = OpenFifoWriter(fifo);  // the reader is the run that holds the locks
  ASSERT_GE(fd, 0);
  WriteAllTo(fd, Lines(0, 100));
  ::close(fd);
  const pid_t pids[] = {first.pid(), second.pid()};
  ProcessResult results[] = {first.Wait(), second.Wait()};
  int winner = results[0].exit_status == 0 ? 0 : 1;
  const ProcessResult& lost = results[1 - winner];
  EXPECT_EQ(results[winner].exit_status, 0) << results[winner].err;
  EXPECT_EQ(lost.exit_status, 1);
  EXPECT_TRUE(Contains(lost.err, "grulo: another run (process " + std::to_string(pids[winner]) +
                                     ") is "))
      << lost.err;
  EXPECT_TRUE(Contains(lost.err, "this run stops and changes nothing")) << lost.err;
  EXPECT_EQ(LineCount(box_.Grp()), 100);
  EXPECT_TRUE(Contains(box_.Config(), "NbLus=100\r\n"));
  EXPECT_EQ(DirectoryNames(File("out")), (std::vector<std::string>{"week.err", "week.grp"}));
#endif
}

// Windows does not replace a file that another program holds open without
// sharing its removal (an editor): the run stops before replacing anything,
// names the file and says why. POSIX systems replace such a file.
TEST_F(OperatorTest, FileHeldOpenByAnotherProgram) {
  const struct {
    const char* held;
    std::string piece;
  } cases[] = {
      {"out/week.grp", "cannot write the output file " + File("out/week.grp")},
      {"out/week.err", "cannot write the output file " + File("out/week.err")},
      {"bin/grulo.ini", "cannot write the counters into " + File("bin/grulo.ini")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.held);
#ifdef _WIN32
    auto before = Snapshot(box_.dir());
    HANDLE held = CreateFileW(std::filesystem::path(File(c.held)).wstring().c_str(), GENERIC_READ,
                              FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    ProcessResult r = Run();
    CloseHandle(held);
    ExpectFailure(r, {c.piece, "the file is in use by another program", "left as they were"},
                  before);
#else
    std::ifstream held(File(c.held));  // replaced all the same
    ProcessResult r = Run();
    EXPECT_EQ(r.exit_status, 0) << r.err;
    EXPECT_TRUE(Contains(box_.Config(), "NbLus=3\r\n"));
#endif
  }
}

TEST_F(OperatorTest, UsageErrorsTouchNothing) {
  auto before = Snapshot(box_.dir());
  const std::vector<std::vector<std::string>> usage_errors = {
      {"--bogus"}, {"somefile"}, {"-c"}, {"--help", "--bogus"}, {"--threads", "0"}, {"--", "x"}};
  for (const auto& args : usage_errors) {
    ProcessResult r = Run(args);
    EXPECT_EQ(r.exit_status, 2) << args[0];
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(r.err.starts_with("grulo: ")) << r.err;
    EXPECT_TRUE(Contains(r.err, "see grulo --help)\n")) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
  for (const char* arg : {"--help", "-h", "--version", "-V"}) {
    ProcessResult r = Run({arg});
    EXPECT_EQ(r.exit_status, 0) << arg;
    EXPECT_TRUE(r.out.starts_with(arg[1] == 'V' || arg[2] == 'v' ? "grulo " : "Usage: grulo"))
        << r.out;
    EXPECT_EQ(r.err, "");
  }
  EXPECT_EQ(Snapshot(box_.dir()), before);
}

TEST_F(OperatorTest, ConfigurationFromTheCommandLine) {
  const std::string other = File("data/other.ini");
  WriteFileBytes(other, box_.StandardConfig());
  std::filesystem::remove(File("bin/grulo.ini"));
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"--config", other}, {"--config=" + other},
                                             {"-c", other}}) {
    ProcessResult r = Run(args);
    EXPECT_EQ(r.exit_status, 0) << r.err;
    EXPECT_TRUE(Contains(ReadFileBytes(other), "[R\xE9sultats]\r\nNbLus=3\r\n"));
    EXPECT_FALSE(PathExists(File("bin/grulo.ini")));
  }
  ProcessResult r = Run({"--config", other + ".x"});
  EXPECT_EQ(r.exit_status, 1);
  EXPECT_TRUE(Contains(r.err, "cannot read the configuration file " + other +
                                  ".x (given with --config): No such file or directory"))
      << r.err;
}

// Table problems do not stop the run: its outputs carry them, and its end
// says which file was tried and why.
TEST_F(OperatorTest, TableProblemsAreWarnedAtTheEnd) {
  const std::string tables = File("tables");
  const std::string ini = File("bin/grulo.ini");
  struct Case {
    const char* name;
    std::string rep_tab_line;
    std::vector<std::string> pieces;
  } cases[] = {
      {"no separator", "RepTab=" + tables + "\r\n",
       {"warning: table file " + tables + "arbressr.tab (RepTab in " + ini +
            "): missing; 3 summaries got return code 99\n",
        "warning: the table directory " + tables + " (RepTab in " + ini +
            ") does not end with '/'",
        "write RepTab=" + tables + "/\n"}},
      {"no tables", "RepTab=" + tables + "/\r\n",
       {"warning: table file " + tables + "/arbressr.tab", "3 summaries got return code 99",
        "warning: table file " + tables + "/ccamcssr.tab (RepTab in " + ini +
            "): not opened; no summary reached it\n"}},
      {"no RepTab", "",
       {"warning: table file arbressr.tab (RepTab in " + ini + "): missing",
        "warning: RepTab is empty or missing (RepTab in " + ini +
            "): the tables were looked for in the current directory " +
            NativePath(box_.dir().path())}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFileBytes(ini, "[G\xE9n\xE9ral]\r\n" + c.rep_tab_line + "FicEnt=" + File("data/week.rss") +
                            "\r\nRepSor=" + File("out") + "\r\n");
    ProcessResult r = Run();
    EXPECT_EQ(r.exit_status, 0);
    for (const std::string& piece : c.pieces) EXPECT_TRUE(Contains(r.err, piece)) << r.err;
    EXPECT_EQ(LineCount(box_.Grp()), 3);
  }
}

// On a terminal a run longer than a second shows its progress and every
// run closes with a summary; in a pipe neither appears.
TEST_F(OperatorTest, ProgressAndSummaryOnATerminalOnly) {
  ProcessOptions options;
  options.cwd = box_.dir().path();
  ProcessResult piped = box_.RunGrulo(options);
  EXPECT_EQ(piped.exit_status, 0);
  EXPECT_FALSE(Contains(piped.err, "\r"));
  EXPECT_FALSE(Contains(piped.err, "lines read"));

#ifdef _WIN32
  GTEST_SKIP() << "the terminal half needs a pseudo-terminal and a FIFO, which Windows does "
                  "not have";
#else
  const std::string fifo = File("data/week.rss");
  std::filesystem::remove(fifo);
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  options.terminal = true;
  ChildProcess run(box_.program(), box_.program(), options);
  int fd = OpenFifoWriter(fifo);
  ASSERT_GE(fd, 0);
  WriteAllTo(fd, Lines(0, 1000));
  std::this_thread::sleep_for(std::chrono::milliseconds(1300));
  WriteAllTo(fd, Lines(1000, 4000));
  ::close(fd);
  ProcessResult shown = run.Wait();
  EXPECT_EQ(shown.exit_status, 0);
  EXPECT_TRUE(Contains(shown.err, "\rgrulo: 1024 lines read, ")) << shown.err;
  EXPECT_TRUE(Contains(shown.err, " summaries/s")) << shown.err;
  EXPECT_TRUE(Contains(shown.err, "grulo: 5000 lines read: 5000 grouped, 0 blocked, 0 "
                                  "non-blocking only, 0 format problems; wrote " +
                                      File("out/week.grp") + " and " + File("out/week.err") +
                                      " in "))
      << shown.err;
#endif
}

}  // namespace
}  // namespace grulo::test
