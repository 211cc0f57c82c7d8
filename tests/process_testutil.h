// Helpers for whole-program tests: a temporary directory, whole-file reading
// and writing, and running a built program as a separate process.

#ifndef GRULO_TESTS_PROCESS_TESTUTIL_H_
#define GRULO_TESTS_PROCESS_TESTUTIL_H_

#include <string>
#include <string_view>

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

void MakeDirectory(const std::string& path);
void WriteFileBytes(const std::string& path, std::string_view bytes);
// The file's bytes; "<missing>" when it cannot be read.
std::string ReadFileBytes(const std::string& path);
bool PathExists(const std::string& path);

// The path of a program of the build: $GRULO_BUILD_DIR/<name>.
std::string BuiltProgram(const std::string& name);

struct ProcessResult {
  int exit_status = -1;  // -1 when the process did not exit normally
  std::string out;       // what it wrote to standard output
  std::string err;       // what it wrote to standard error
};

// Runs `program` with the argument vector {argv0}, in `cwd`, standard input
// empty. When `search_path` is set, `argv0` is looked up in `path_env` (the
// PATH of the new process) and `program` is ignored.
ProcessResult RunProgram(const std::string& program, const std::string& argv0,
                         const std::string& cwd, bool search_path = false,
                         const std::string& path_env = "");

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
  // the console.
  int RunWithConfig(const std::string& today, const std::string& config) const;
  int Run(const std::string& today) const { return RunWithConfig(today, StandardConfig()); }
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
};

}  // namespace grulo::test

#endif  // GRULO_TESTS_PROCESS_TESTUTIL_H_
