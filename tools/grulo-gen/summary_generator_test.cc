// Generated summaries checked by the program's own pipeline over the demo
// tables: valid ones pass every check and reach a leaf, faults give their
// error numbers, malformed lines are rejected by the format recognition.

#include "summary_generator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "authoring/file_io.h"
#include "authoring/table_source.h"
#include "authoring/table_testutil.h"
#include "authoring/tree_source.h"
#include "calendar/clock.h"
#include "checks/error_catalogue.h"
#include "grouper/line_format.h"
#include "grouper/summary_grouper.h"
#include "tests/process_testutil.h"

namespace grulo {
namespace gen {
namespace {

using test::ReadFileBytes;

// The demo sources, their tables in a temporary directory, and the pools.
struct Demo {
  DiagTableModel diags;
  ActTableModel acts;
  TreeTableModel tree;
  test::TempDir dir;
  std::unique_ptr<CodePools> pools;

  Demo() {
    const std::string base = GRULO_DEMO_DIR;
    std::vector<std::string> errors;
    std::string error;
    EXPECT_TRUE(ParseDiagSource(ReadFileBytes(base + "/diag.txt"), "diag.txt", &diags, &errors));
    EXPECT_TRUE(ParseActSource(ReadFileBytes(base + "/acts.txt"), "acts.txt", &acts, &errors));
    EXPECT_TRUE(ParseTreeSource(ReadFileBytes(base + "/tree.txt"), "tree.txt", &tree, &errors));
    EXPECT_TRUE(WriteBytesToFile(dir.File(kDiagTableName), testing::DiagBytes(diags), &error));
    EXPECT_TRUE(WriteBytesToFile(dir.File(kActTableName), testing::ActBytes(acts), &error));
    EXPECT_TRUE(WriteBytesToFile(dir.File(kTreeTableName), testing::TreeBytes(tree), &error));
    pools = std::make_unique<CodePools>(&diags, &acts);
  }

  static const Demo& Get() {
    static const Demo demo;  // its directory goes at exit
    return demo;
  }
};

// Runs lines through the program's pipeline over the demo tables, on a fixed
// day after the generated weeks.
class Checker {
 public:
  // The error numbers of the line, in list order; its group result in `result`.
  std::vector<int16_t> Check(std::string_view line, GroupResult* result) {
    LineOutcome outcome;
    outcome.Start(LineFormat::kWellFormed);
    grouper_.Group(line, &outcome);
    *result = outcome.result;
    const ErrorList& errors = outcome.errors;
    return std::vector<int16_t>(errors.entries.begin(), errors.entries.begin() + errors.ErrorCount);
  }

 private:
  RunGrouper grouper_{TableSource::InDirectory(Demo::Get().dir.File("")),
                      FixedClocks(CivilDate{2026, 1, 5})};
};

GeneratorOptions Options(uint64_t seed) {
  GeneratorOptions options;
  options.seed = seed;
  return options;
}

TEST(SummaryGeneratorTest, ValidSummariesPassEveryCheckAndReachALeaf) {
  SummaryGenerator generator(Options(17), *Demo::Get().pools);
  Checker checker;
  Summary s;
  std::set<int> leaves;
  for (int i = 0; i < 3000; ++i) {
    generator.BuildValid(&s);
    ASSERT_EQ(RecognizeFormat(s.line(), s.line().size()), LineFormat::kWellFormed) << s.line();
    GroupResult result;
    ASSERT_EQ(checker.Check(s.line(), &result), std::vector<int16_t>{}) << s.line();
    ASSERT_NE(result.GroupCategory, 90);
    ASSERT_NE(result.GroupCategory, 99) << "failed walk " << result.GroupReturn;
    leaves.insert(result.GroupCategory * 1000 + result.GroupNumber);
  }
  EXPECT_GE(leaves.size(), 35u);
}

TEST(SummaryGeneratorTest, FaultyShareBringsEveryErrorNumber) {
  GeneratorOptions options = Options(29);
  options.faulty_ppb = kBillion / 4;
  options.malformed_ppb = 0;
  SummaryGenerator generator(options, *Demo::Get().pools);
  Checker checker;
  std::set<int16_t> seen;
  for (int i = 0; i < 2000; ++i) {
    std::string line;
    generator.AppendNext(&line);
    line.pop_back();
    GroupResult result;
    const std::vector<int16_t> errors = checker.Check(line, &result);
    seen.insert(errors.begin(), errors.end());
    for (Fault fault : generator.last_faults()) {
      EXPECT_NE(std::find(errors.begin(), errors.end(), ToNumber(fault.error)), errors.end())
          << InfoOf(fault).name << "\n" << line;
    }
    EXPECT_EQ(generator.last_faults().empty(), errors.empty()) << line;
  }
  std::set<int16_t> producible;
  for (const ErrorInfo& info : ErrorCatalogue()) {
    if (info.produced) producible.insert(ToNumber(info.number));
  }
  EXPECT_EQ(seen, producible);
}

TEST(SummaryGeneratorTest, MalformedLinesAreRejectedByTheFormatRecognition) {
  const struct {
    Malformed kind;
    std::vector<LineFormat> formats;  // what the recognition may say
  } cases[] = {
      {Malformed::kEmpty, {LineFormat::kUnreadable}},
      {Malformed::kTooShort, {LineFormat::kUnreadable}},
      {Malformed::kUnknownFormat, {LineFormat::kUnknownFormat}},
      {Malformed::kWrongLength, {LineFormat::kSizeProblem}},
      {Malformed::kTooLong, {LineFormat::kSizeProblem}},
      {Malformed::kNulByte, {LineFormat::kUnreadable, LineFormat::kSizeProblem}},
      {Malformed::kCrLfEnding, {LineFormat::kWellFormed}},
  };
  SummaryGenerator generator(Options(31), *Demo::Get().pools);
  Summary s;
  for (const auto& c : cases) {
    for (int trial = 0; trial < 200; ++trial) {
      generator.BuildMalformed(c.kind, &s);
      // The program's text of a line ends at its first NUL byte.
      std::string_view text = s.line();
      text = text.substr(0, text.find('\0'));
      const LineFormat format = RecognizeFormat(text, text.size());
      EXPECT_NE(std::find(c.formats.begin(), c.formats.end(), format), c.formats.end())
          << NameOf(c.kind) << ": " << s.line();
    }
  }
}

// The demo input is what the command documented in data/demo/README.md
// writes: a change of the generator that moves it must come with a new
// input.txt.
TEST(SummaryGeneratorTest, DemoInputIsReproducible) {
  GeneratorOptions options = Options(2024);
  options.week = 15;
  options.year = 2024;
  SummaryGenerator generator(options, *Demo::Get().pools);
  std::string out;
  for (int i = 0; i < 3000; ++i) generator.AppendNext(&out);
  EXPECT_TRUE(out == ReadFileBytes(std::string(GRULO_DEMO_DIR) + "/input.txt"));
}

}  // namespace
}  // namespace gen
}  // namespace grulo
