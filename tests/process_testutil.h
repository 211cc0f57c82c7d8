// Helpers for whole-program tests: a temporary directory, whole-file reading
// and writing, and running a built program as a separate process.

#ifndef GRULO_TESTS_PROCESS_TESTUTIL_H_
#define GRULO_TESTS_PROCESS_TESTUTIL_H_

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace grulo::test {

// A fresh directory, removed with everything in it on destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // path() + "/" + name
  std::string File(std::string_view name) const;

 private:
  std::string path_;
};

// `path` with the separators the system writes in the paths it gives (the
// current directory): on Windows backslashes.
std::string NativePath(const std::string& path);

void MakeDirectory(const std::string& path);
void WriteFileBytes(const std::string& path, std::string_view bytes);
// The file's bytes; "<missing>" when it cannot be read.
std::string ReadFileBytes(const std::string& path);
bool PathExists(const std::string& path);
// The names in a directory, sorted.
std::vector<std::string> DirectoryNames(const std::string& dir);
// The path of a file of the source tree, from its top.
std::string SourcePath(const std::string& relative);

// What the name of a program file ends with: ".exe" on Windows.
#ifdef _WIN32
inline constexpr char kExecutableSuffix[] = ".exe";
#else
inline constexpr char kExecutableSuffix[] = "";
#endif

// A file of the build directory: $GRULO_BUILD_DIR/<name>.
std::string BuildFile(const std::string& name);
// The path of a program of the build: $GRULO_BUILD_DIR/<name> and the
// executable suffix.
std::string BuiltProgram(const std::string& name);

struct ProcessResult {
  int exit_status = -1;  // -1 when the process did not exit normally
  std::string out;       // what it wrote to standard output
  std::string err;       // what it wrote to standard error
};

// How a program is started.
struct ProcessOptions {
  std::vector<std::string> args;  // after argv[0]
  std::string cwd;                // empty: the test's own
  std::string stdin_path;         // the file read as standard input; empty: none
  std::vector<std::pair<std::string, std::string>> env;  // set in the new process
  // When set, `argv0` is looked up in `path_env` (the PATH of the new
  // process) and the program path is ignored.
  bool search_path = false;
  std::string path_env;
  // When not negative, the largest file the process may write (RLIMIT_FSIZE),
  // with SIGXFSZ ignored so that a longer write fails with EFBIG. POSIX
  // systems only: elsewhere the process is not started (std::runtime_error).
  int64_t file_size_limit = -1;
  // Standard error on a pseudo-terminal instead of a file; standard output
  // stays a file. POSIX systems only, as above.
  bool terminal = false;
};

// A program running in a process of its own, standard input empty.
class ChildProcess {
 public:
  ChildProcess(const std::string& program, const std::string& argv0,
               const ProcessOptions& options);
  ~ChildProcess();  // kills a process still running
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  pid_t pid() const { return pid_; }
  // Sends `signal`; on Windows, where there are no signals, any signal ends
  // the process at once, as SIGKILL does.
  void Signal(int signal);
  // Waits for the end; exit_status is -1 after a signal.
  ProcessResult Wait();

 private:
  TempDir capture_;
  pid_t pid_ = -1;
  int terminal_ = -1;  // the pseudo-terminal's master side
  std::string terminal_text_;
  void* process_ = nullptr;  // Windows: the process's handle
  bool signalled_ = false;   // Windows: ended by Signal()
};

// Runs `program` with the argument vector {argv0} + options.args to its end.
ProcessResult RunProgram(const std::string& program, const std::string& argv0,
                         const ProcessOptions& options);
// The same in `cwd` without other options.
ProcessResult RunProgram(const std::string& program, const std::string& argv0,
                         const std::string& cwd, bool search_path = false,
                         const std::string& path_env = "");

// Runs the program `name` of the build (BuiltProgram) with `args` to its
// end, in the test's directory; its exit status (what it wrote is dropped).
int RunBuiltProgram(const std::string& name, const std::vector<std::string>& args);

// Builds the demo tables (data/demo/) into `table_dir` with grulo-tables; its
// exit status.
int BuildDemoTables(const std::string& table_dir);

// A copy of grulo in <tmp>/bin beside its grulo.ini, a table directory
// <tmp>/tables/, an input <tmp>/data/week.rss and an output directory
// <tmp>/out.
class GruloSandbox {
 public:
  GruloSandbox();

  std::string TableDir() const { return dir_.File("tables/"); }
  void WriteInput(const std::string& bytes) const;
  // The grulo.ini naming the sandbox's tables, input and output.
  std::string StandardConfig() const;
  // Writes `config` as grulo.ini, runs grulo with GRULO_TODAY set to `today`
  // (DDMMYYYY) and returns its exit status; checks that it wrote nothing on
  // standard output. What it wrote on standard error is kept: LastErr().
  int RunWithConfig(const std::string& today, const std::string& config);
  int Run(const std::string& today) { return RunWithConfig(today, StandardConfig()); }
  // Runs grulo as <tmp>/bin/grulo with `options` (GRULO_TODAY unset, in the
  // sandbox's directory unless options.cwd says otherwise).
  ProcessResult RunGrulo(ProcessOptions options = {}) const;
  const std::string& LastErr() const { return last_err_; }
  std::string Err() const { return ReadFileBytes(dir_.File("out/week.err")); }
  std::string Grp() const { return ReadFileBytes(dir_.File("out/week.grp")); }
  // The "Résultats" section as the run left it, CR LF pairs included.
  std::string Counters() const;
  // grulo.ini as the run left it.
  std::string Config() const { return ReadFileBytes(dir_.File("bin/grulo.ini")); }
  const TempDir& dir() const { return dir_; }
  const std::string& program() const { return program_; }

 private:
  TempDir dir_;
  std::string program_;
  std::string last_err_;
};

}  // namespace grulo::test

#endif  // GRULO_TESTS_PROCESS_TESTUTIL_H_
