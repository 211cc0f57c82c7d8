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
#include <sys/wait.h>
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
#include "text/cp1252_text.h"

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
  const std::string in_ini = " in " + Quoted(ini);
  const std::string input = File("data/week.rss");
  struct Case {
    const char* name;
    std::string config;  // "-" for no grulo.ini
    std::vector<std::string> pieces;
  } cases[] = {
      {"no grulo.ini", "-",
       {"cannot read the configuration file " + Quoted(ini) +
        " (beside the program): No such file"}},
      {"section without its accents",
       "[General]\r\nFicEnt=" + input + "\r\nRepSor=" + File("out") + "\r\n",
       {"has no section [G\xC3\xA9n\xC3\xA9ral]", "[General] lacks the accents"}},
      {"section with other accents",
       "[G\xE8n\xE8ral]\r\nFicEnt=" + input + "\r\nRepSor=" + File("out") + "\r\n",
       {"its section [G\xC3\xA8n\xC3\xA8ral] has other accents: write [G\xC3\xA9n\xC3\xA9ral]"}},
      // Windows-1252 bytes of a path come out in UTF-8, between quotes.
      {"accented input missing",
       "[G\xE9n\xE9ral]\r\nFicEnt=" + File("donn\xE9" "es \xE9t\xE9/week.rss") + "\r\nRepSor=" +
           File("out") + "\r\n",
       {"cannot open the input file '" + File("donn\xC3\xA9" "es \xC3\xA9t\xC3\xA9/week.rss") +
        "' (FicEnt" + in_ini + "): No such file or directory"}},
      {"no FicEnt", "[G\xE9n\xE9ral]\r\nRepSor=" + File("out") + "\r\n",
       {"the key FicEnt is missing", ini}},
      {"input missing", "[G\xE9n\xE9ral]\r\nFicEnt=" + input + ".old\r\nRepSor=" + File("out") + "\r\n",
       {"cannot open the input file " + Quoted(input + ".old") + " (FicEnt" + in_ini +
        "): No such file or directory"}},
      {"input a directory", "[G\xE9n\xE9ral]\r\nFicEnt=" + File("data") + "\r\nRepSor=" + File("out") + "\r\n",
       {"cannot open the input file " + Quoted(File("data")), "Is a directory"}},
      {"input a device", "[G\xE9n\xE9ral]\r\nFicEnt=/dev/null\r\nRepSor=" + File("out") + "\r\n",
       {"the input file '/dev/null' (FicEnt" + in_ini +
        ") is neither a regular file nor a pipe (a device or a socket)"}},
      {"no RepSor", "[G\xE9n\xE9ral]\r\nFicEnt=" + input + "\r\n",
       {"the key RepSor is missing", "root directory"}},
      {"RepSor missing", "[G\xE9n\xE9ral]\r\nFicEnt=" + input + "\r\nRepSor=" + File("outs") + "\r\n",
       {"the output directory " + Quoted(File("outs")) + " (RepSor" + in_ini + ") does not exist"}},
      {"RepSor not writable", "[G\xE9n\xE9ral]\r\nFicEnt=" + input + "\r\nRepSor=/sys\r\n",
       {"cannot write into the output directory '/sys' (RepSor" + in_ini + ")",
        "Permission denied"}},
      {"relative path from another directory",
       "[G\xE9n\xE9ral]\r\nFicEnt=data/week.rss\r\nRepSor=out\r\n",
       {"the output directory 'out' (RepSor" + in_ini + "; relative to the current directory " +
        Quoted(NativePath(File("bin"))) + ") does not exist"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
#ifdef _WIN32
    // No directory that every user is refused writing into, no /dev.
    if (c.config.find("=/sys") != std::string::npos) continue;
    if (c.config.find("=/dev") != std::string::npos) continue;
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
  ExpectFailure(r, {"cannot write the output file " + Quoted(File("out/week.grp")) +
                        ": File too large",
                    "the previous 'week.grp', 'week.err' and counters are left as they were"},
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

// A run asked to stop removes its temporary and lock files, says so in one
// line and ends with 128 + the signal; the previous outputs stay.
TEST_F(OperatorTest, InterruptedRunCleansUpAndSaysSo) {
#ifdef _WIN32
  GTEST_SKIP() << "the run is held midway through a FIFO input and signalled, which Windows "
                  "does not have";
#else
  const std::string fifo = File("data/week.rss");
  std::filesystem::remove(fifo);
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  auto before = Snapshot(box_.dir());
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signal);
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
    run.Signal(signal);
    const ProcessResult r = run.Wait();
    ::close(fd);
    EXPECT_EQ(r.exit_status, 128 + signal);
    EXPECT_EQ(r.err, "grulo: interrupted: the previous outputs and counters are kept\n");
    EXPECT_EQ(Snapshot(box_.dir()), before);
  }
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
  // The input is given only once one run has ended: the one that could not
  // take the locks (the other waits for the input). Given earlier, a slow
  // start could let the first run end before the second tries the locks.
  const auto ended = [](pid_t pid) {
    siginfo_t info{};
    return ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == pid;
  };
  for (int i = 0; i < 6000 && !ended(first.pid()) && !ended(second.pid()); ++i) ::usleep(10000);
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
      {"out/week.grp", "cannot write the output file " + Quoted(File("out/week.grp"))},
      {"out/week.err", "cannot write the output file " + Quoted(File("out/week.err"))},
      {"bin/grulo.ini", "cannot write the counters into " + Quoted(File("bin/grulo.ini"))},
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
  EXPECT_TRUE(Contains(r.err, "cannot read the configuration file " + Quoted(other + ".x") +
                                  " (given with --config): No such file or directory"))
      << r.err;
}

// The Windows-1252 bytes of a UTF-8 text of accented Latin letters.
std::string Cp1252(const std::string& utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (c == 0xC3 && i + 1 < utf8.size()) {
      out += static_cast<char>(0x40 + static_cast<unsigned char>(utf8[++i]));
    } else {
      out += utf8[i];
    }
  }
  return out;
}

// A path of the test spelled in UTF-8, as a UTF-8 grulo.ini spells it.
std::filesystem::path Utf8Path(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// A grulo.ini saved in UTF-8, with a byte order mark or without (Notepad's
// default), names accented files with blanks as a Windows-1252 one does, on
// every system; the messages show such paths in UTF-8, between quotes.
TEST_F(OperatorTest, Utf8ConfigurationWithAccentedPaths) {
  const std::string in_dir = File("donn\xC3\xA9" "es \xC3\xA9t\xC3\xA9");
  const std::string out_dir = File("sortie \xC3\xA9t\xC3\xA9");
  std::filesystem::create_directory(Utf8Path(in_dir));
  std::filesystem::create_directory(Utf8Path(out_dir));
  {
    std::ofstream input(Utf8Path(in_dir + "/week 12.rss"), std::ios::binary);
    input << Lines(0, 3);
  }
  const std::string ini = File("bin/grulo.ini");
  auto config = [&](const std::string& mark, const std::string& rep_sor) {
    return mark + "[G\xC3\xA9n\xC3\xA9ral]\r\nRepTab=" + box_.TableDir() + "\r\nFicEnt=" +
           in_dir + "/week 12.rss\r\nRepSor=" + rep_sor + "\r\n";
  };
  for (const std::string mark : {"", "\xEF\xBB\xBF"}) {
    SCOPED_TRACE(mark.size());
    WriteFileBytes(ini, config(mark, out_dir));
    ProcessResult r = Run();
    EXPECT_EQ(r.exit_status, 0) << r.err;
    std::ifstream grp(Utf8Path(out_dir + "/week 12.grp"), std::ios::binary);
    const std::string grp_text((std::istreambuf_iterator<char>(grp)), {});
    EXPECT_EQ(LineCount(grp_text), 3);
    EXPECT_TRUE(Contains(ReadFileBytes(ini), config(mark, out_dir) +
                                                 "\r\n[R\xC3\xA9sultats]\r\nNbLus=3\r\n"));
  }
  WriteFileBytes(ini, config("", out_dir + "x"));
  ProcessResult r = Run();
  EXPECT_EQ(r.exit_status, 1);
  EXPECT_TRUE(Contains(r.err, "grulo: the output directory '" + out_dir + "x' (RepSor in '")) << r.err;
}

// The example grulo.ini of the Windows zip, its three paths set, runs as it
// is (in UTF-8, as kept in the sources, and as shipped in Windows-1252).
TEST_F(OperatorTest, TheExampleConfigurationRuns) {
  std::string example = ReadFileBytes(SourcePath("docs/windows/grulo.ini"));
  for (const auto& [from, to] : {std::pair{std::string("C:\\grulo\\tables\\"), box_.TableDir()},
                                 std::pair{std::string("C:\\grulo\\in\\week12.rss"),
                                           File("data/week.rss")},
                                 std::pair{std::string("C:\\grulo\\out"), File("out")}}) {
    ASSERT_NE(example.find(from), std::string::npos) << from;
    example.replace(example.find(from), from.size(), to);
  }
  for (const std::string& text : {example, Cp1252(example)}) {
    WriteFileBytes(File("bin/grulo.ini"), text);
    ProcessResult r = Run();
    EXPECT_EQ(r.exit_status, 0) << r.err;
    EXPECT_TRUE(Contains(ReadFileBytes(File("bin/grulo.ini")), "NbLus=3\n")) << text;
  }
}

// Table problems do not stop the run: its outputs carry them, and its end
// says which file was tried and why. With --strict the run ends with a
// status of its own; without table problems --strict changes nothing.
TEST_F(OperatorTest, TableProblemsAreWarnedAtTheEnd) {
  const std::string tables = File("tables");
  const std::string ini = File("bin/grulo.ini");
  const std::string in_ini = " (RepTab in " + Quoted(ini);
  struct Case {
    const char* name;
    std::string rep_tab_line;
    std::vector<std::string> pieces;
  } cases[] = {
      {"no separator", "RepTab=" + tables + "\r\n",
       {"warning: table file " + Quoted(tables + "arbressr.tab") + in_ini +
            "): missing; 3 summaries got return code 99\n",
        "warning: the table directory " + Quoted(tables) + in_ini + ") does not end with '/'",
        "write RepTab=" + tables + "/\n"}},
      {"no tables", "RepTab=" + tables + "/\r\n",
       {"warning: table file " + Quoted(tables + "/arbressr.tab"), "3 summaries got return code 99",
        "warning: table file " + Quoted(tables + "/ccamcssr.tab") + in_ini +
            "): not opened; no summary reached it\n"}},
      {"no RepTab", "",
       {"warning: table file 'arbressr.tab'" + in_ini + "): missing",
        "warning: RepTab is empty or missing" + in_ini +
            "): the tables were looked for in the current directory " +
            Quoted(NativePath(box_.dir().path()))}},
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
  ProcessResult strict = Run({"--strict"});
  EXPECT_EQ(strict.exit_status, 4);
  EXPECT_TRUE(Contains(strict.err, "grulo: --strict: 3 summaries met table problems or failed "
                                   "walks; the outputs and counters are written; exit status 4\n"))
      << strict.err;
  EXPECT_EQ(LineCount(box_.Grp()), 3);
  ASSERT_EQ(BuildDemoTables(box_.TableDir()), 0);
  WriteFileBytes(ini, box_.StandardConfig());
  strict = Run({"--strict"});
  EXPECT_EQ(strict.exit_status, 0) << strict.err;
  EXPECT_EQ(strict.err, "");
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
  EXPECT_FALSE(Contains(piped.err, " grouped ("));

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
  std::this_thread::sleep_for(std::chrono::milliseconds(2300));  // a silent pipe
  WriteAllTo(fd, Lines(1000, 4000));
  ::close(fd);
  ProcessResult shown = run.Wait();
  EXPECT_EQ(shown.exit_status, 0);
  EXPECT_TRUE(Contains(shown.err, "\rgrulo: waiting for input: nothing came from the pipe " +
                                      Quoted(fifo) + " for 2 s"))
      << shown.err;
  EXPECT_TRUE(Contains(shown.err, "\rgrulo: 1024 lines read, ")) << shown.err;
  EXPECT_TRUE(Contains(shown.err, " summaries/s")) << shown.err;
  // No tables: no summary is grouped.
  // (A terminal ends lines with CR LF.)
  EXPECT_TRUE(Contains(shown.err, "grulo: 0 grouped (0 non-blocking), 0 blocked, 0 format "
                                  "errors, 5000 table problems\r\ngrulo: 5000 lines in "))
      << shown.err;
  EXPECT_TRUE(Contains(shown.err, " s; wrote " + Quoted(File("out/week.grp")) + " and 'week.err'"))
      << shown.err;
#endif
}

}  // namespace
}  // namespace grulo::test
