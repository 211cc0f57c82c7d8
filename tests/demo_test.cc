// Golden outputs of the whole job on the bundled demo data: the demo tables
// compiled from their sources, grulo run on the demo input with the date
// fixed, and both output files and the counters compared byte for byte with
// tests/golden/. After a deliberate change of the outputs, run this test
// with GRULO_UPDATE_GOLDEN=1 to write the new golden files, and review them.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "process_testutil.h"
#include "tables/open_tables.h"
#include "tables/table_dump.h"
#include "tables/table_writer.h"

namespace grulo::test {
namespace {

constexpr char kToday[] = "07122026";

std::string SourcePath(const std::string& relative) {
  return std::string(GRULO_SOURCE_DIR) + "/" + relative;
}

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

  // Compares with the golden file, or rewrites it when asked to.
  void ExpectGolden(const std::string& actual, const char* name) {
    std::string path = SourcePath(std::string("tests/golden/") + name);
    if (std::getenv("GRULO_UPDATE_GOLDEN") != nullptr) {
      WriteFileBytes(path, actual);
      return;
    }
    std::string expected = ReadFileBytes(path);
    ASSERT_EQ(actual.size(), expected.size()) << name;
    // Report the first differing line rather than two megabytes of text.
    if (actual != expected) {
      size_t at = 0;
      while (actual[at] == expected[at]) ++at;
      size_t line_start = expected.rfind('\n', at);
      line_start = line_start == std::string::npos ? 0 : line_start + 1;
      FAIL() << name << " differs at byte " << at << ", in the line beginning\n"
             << expected.substr(line_start, 120) << "\ngot\n"
             << actual.substr(line_start, 120);
    }
  }

  GruloSandbox box_;
};

TEST_F(DemoTest, OutputsMatchTheGoldenFiles) {
  BuildTable(TableKind::kTree, "data/demo/tree.txt", kTreeTableName);
  BuildTable(TableKind::kAct, "data/demo/acts.txt", kActTableName);
  BuildTable(TableKind::kDiag, "data/demo/diag.txt", kDiagTableName);
  box_.WriteInput(ReadFileBytes(SourcePath("data/demo/input.txt")));
  ASSERT_EQ(box_.Run(kToday), 0);
  ExpectGolden(box_.Grp(), "demo.grp");
  ExpectGolden(box_.Err(), "demo.err");
  ExpectGolden(box_.Counters(), "demo.counters");
}

}  // namespace
}  // namespace grulo::test
