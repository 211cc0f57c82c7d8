// Golden outputs of the whole job on the bundled demo data: the demo tables
// compiled from their sources, grulo run on the demo input with the date
// fixed, and both output files and the counters compared with tests/golden/:
// the counters as text, each output file by its size and its 64-bit FNV-1a
// digest (the files themselves are a megabyte of echoed input). A failing
// run leaves the outputs in the build directory for review. After a
// deliberate change of the outputs, run this test with GRULO_UPDATE_GOLDEN=1
// to write the new golden files (that run fails, saying so).

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "authoring/file_io.h"
#include "authoring/table_build.h"
#include "process_testutil.h"
#include "tables/open_tables.h"

namespace grulo::test {
namespace {

constexpr char kToday[] = "07122026";

class DemoTest : public ::testing::Test {
 protected:
  void BuildTable(TableKind kind, const char* source, const char* table) {
    std::vector<uint8_t> bytes;
    std::vector<std::string> errors;
    std::string text = ReadFileBytes(SourcePath(source));
    ASSERT_TRUE(BuildTableFromSource(kind, text, source, &bytes, &errors))
        << (errors.empty() ? "" : errors.front());
    std::string error;
    ASSERT_TRUE(WriteBytesToFile(box_.TableDir() + table, bytes, &error)) << error;
  }

  // Compares the text with a golden file; false when they differ. Asked to,
  // it rewrites a golden file that differs, and still answers false: the run
  // that changes the golden files fails, the next one passes.
  static bool MatchesGolden(const std::string& actual, const char* name) {
    std::string path = SourcePath(std::string("tests/golden/") + name);
    const bool same = actual == ReadFileBytes(path);
    if (!same && std::getenv("GRULO_UPDATE_GOLDEN") != nullptr) {
      WriteFileBytes(path, actual);
      ADD_FAILURE() << "rewrote " << path << ": review the change and run the test again";
    }
    return same;
  }

  // Size and digest of an output file, one line as the golden file holds it.
  static std::string Digest(const std::string& name, const std::string& bytes) {
    uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : bytes) hash = (hash ^ c) * 1099511628211ull;
    char line[96];
    std::snprintf(line, sizeof line, "%s %zu %016llx\n", name.c_str(), bytes.size(),
                  static_cast<unsigned long long>(hash));
    return line;
  }

  GruloSandbox box_;
};

TEST_F(DemoTest, OutputsMatchTheGoldenFiles) {
  BuildTable(TableKind::kTree, "data/demo/tree.txt", kTreeTableName);
  BuildTable(TableKind::kAct, "data/demo/acts.txt", kActTableName);
  BuildTable(TableKind::kDiag, "data/demo/diag.txt", kDiagTableName);
  box_.WriteInput(ReadFileBytes(SourcePath("data/demo/input.txt")));
  ASSERT_EQ(box_.Run(kToday), 0);
  EXPECT_TRUE(MatchesGolden(box_.Counters(), "demo.counters")) << box_.Counters();
  const std::string grp = box_.Grp();
  const std::string err = box_.Err();
  if (!MatchesGolden(Digest("demo.grp", grp) + Digest("demo.err", err), "demo.digests")) {
    WriteFileBytes(BuildFile("demo-actual.grp"), grp);
    WriteFileBytes(BuildFile("demo-actual.err"), err);
    ADD_FAILURE() << "the outputs differ from tests/golden/demo.digests; they are kept as "
                  << BuildFile("demo-actual.grp") << " and .err";
  }
}

}  // namespace
}  // namespace grulo::test
