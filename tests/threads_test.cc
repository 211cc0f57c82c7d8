// The batch on several threads against the batch on one: for inputs with
// every kind of line (good, faulty, malformed, over-long, NUL bytes, no final
// line feed) and table sets that are missing, refused, of another version or
// broken, grulo --threads N writes the same .grp, .err and counters as
// grulo --threads 1, byte for byte, whatever the chunk size (GRULO_CHUNK_LINES
// puts chunk boundaries at every place of a short input).

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "process_testutil.h"

namespace grulo::test {
namespace {

constexpr char kToday[] = "07122026";

// The outputs of one run: .grp, .err, the counters and the exit status.
struct RunOutputs {
  int status = -1;
  std::string grp, err, counters;
  bool operator==(const RunOutputs&) const = default;
};

class ThreadsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new TempDir();
    const std::string tables = dir_->File("good/");
    MakeDirectory(tables);
    ASSERT_EQ(BuildDemoTables(tables), 0);
    ASSERT_EQ(RunBuiltProgram("grulo-gen",
                              {"--count", "2500", "--seed", "3", "--faulty-share", "0.4",
                               "--malformed-share", "0.08", "--diag",
                               SourcePath("data/demo/diag.txt"), "--acts",
                               SourcePath("data/demo/acts.txt"), "--out",
                               dir_->File("generated.txt")}),
              0);
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }

  // A table directory made from the good tables: `edit` changes the bytes of
  // each file (a file made empty-named is left out).
  static std::string TableSet(const std::string& name,
                              void (*edit)(const std::string& file, std::string* bytes)) {
    const std::string tables = dir_->File(name + "/");
    MakeDirectory(tables);
    for (const char* file : {"arbressr.tab", "ccamcssr.tab", "diag10sr.tab"}) {
      std::string bytes = ReadFileBytes(dir_->File("good/") + file);
      std::string target = file;
      edit(target, &bytes);
      if (bytes != "<drop>") WriteFileBytes(tables + file, bytes);
    }
    return tables;
  }

  // Runs grulo on `input` with the tables, on `threads` threads and chunks
  // of `chunk` lines (0: the default).
  static RunOutputs Run(const std::string& input, const std::string& tables, int threads,
                        int chunk) {
    GruloSandbox box;
    box.WriteInput(input);
    std::string config = "[G\xE9n\xE9ral]\r\nRepTab=" + tables + "\r\nFicEnt=" +
                         box.dir().File("data/week.rss") + "\r\nRepSor=" +
                         box.dir().File("out") + "\r\n";
    WriteFileBytes(box.dir().File("bin/grulo.ini"), config);
    ProcessOptions options;
    options.args = {"--threads", std::to_string(threads)};
    options.env = {{"GRULO_TODAY", kToday}};
    if (chunk > 0) options.env.emplace_back("GRULO_CHUNK_LINES", std::to_string(chunk));
    ProcessResult result = box.RunGrulo(options);
    RunOutputs out;
    out.status = result.exit_status;
    out.grp = box.Grp();
    out.err = box.Err();
    out.counters = box.Counters();
    return out;
  }

  // Every kind of line: the generated ones, then over-long lines (one longer
  // than the reader's buffer, whose start alone is kept, and one that a NUL
  // byte ends early), a line with a NUL byte, a CR LF line, an empty line and
  // a last line without its line feed.
  static std::string MixedInput() {
    std::string input = ReadFileBytes(dir_->File("generated.txt"));
    const std::string good = input.substr(0, input.find('\n'));
    input += std::string(5000, '7') + "\n";
    input += good + std::string(100000, '8') + "\n";
    input += good.substr(0, 12) + "7654321" + good.substr(19, 281) + std::string(1, '\0') +
             std::string(70000, '9') + "\r\n";  // another stay number
    input += good.substr(0, 100) + std::string(1, '\0') + good.substr(101) + "\n";
    input += good + "\r\n\n";
    input += good;
    return input;
  }

  static TempDir* dir_;
};

TempDir* ThreadsTest::dir_ = nullptr;

void Unchanged(const std::string&, std::string*) {}
void DropTree(const std::string& file, std::string* bytes) {
  if (file == "arbressr.tab") *bytes = "<drop>";
}
void DropActs(const std::string& file, std::string* bytes) {
  if (file == "ccamcssr.tab") *bytes = "<drop>";
}
void ActsOfAnotherVersion(const std::string& file, std::string* bytes) {
  if (file == "ccamcssr.tab") (*bytes)[9] = 'Z';
}
void DiagsRefused(const std::string& file, std::string* bytes) {
  if (file == "diag10sr.tab") (*bytes)[32 + 32 + 20] = 0;  // record size 0
}
void DiagsCut(const std::string& file, std::string* bytes) {
  if (file == "diag10sr.tab") bytes->resize(bytes->size() / 3);  // lookups fall outside
}
void TreeScrambled(const std::string& file, std::string* bytes) {
  if (file != "arbressr.tab") return;
  for (size_t i = 64; i < bytes->size(); i += 7) (*bytes)[i] = static_cast<char>(i * 31);
}

TEST_F(ThreadsTest, SameOutputsOnEveryNumberOfThreadsAndEveryTableSet) {
  const std::string input = MixedInput();
  const struct {
    const char* name;
    void (*edit)(const std::string&, std::string*);
  } table_sets[] = {
      {"good", Unchanged},           {"no-tree", DropTree},
      {"no-acts", DropActs},         {"acts-version", ActsOfAnotherVersion},
      {"diags-refused", DiagsRefused}, {"diags-cut", DiagsCut},
      {"tree-scrambled", TreeScrambled},
  };
  for (const auto& set : table_sets) {
    SCOPED_TRACE(set.name);
    const std::string tables = TableSet(set.name, set.edit);
    const RunOutputs one = Run(input, tables, 1, 0);
    ASSERT_EQ(one.status, 0);
    for (int threads : {2, 3, 8}) {
      SCOPED_TRACE(threads);
      EXPECT_TRUE(Run(input, tables, threads, 64) == one);
    }
  }
}

// A short input cut into chunks of every size from 1 line to more than the
// input, so that a chunk boundary falls at every place.
TEST_F(ThreadsTest, ChunkBoundariesAtEveryPlace) {
  std::string generated = ReadFileBytes(dir_->File("generated.txt"));
  size_t end = 0;
  for (int i = 0; i < 30; ++i) end = generated.find('\n', end) + 1;
  const std::string input = generated.substr(0, end) + std::string(600, 'x') + "\nM04";
  const std::string tables = dir_->File("good/");
  const RunOutputs one = Run(input, tables, 1, 0);
  ASSERT_EQ(one.status, 0);
  for (int chunk = 1; chunk <= 33; ++chunk) {
    SCOPED_TRACE(chunk);
    EXPECT_TRUE(Run(input, tables, 2, chunk) == one);
  }
  EXPECT_TRUE(Run(input, tables, 3, 4) == one);
}

}  // namespace
}  // namespace grulo::test
