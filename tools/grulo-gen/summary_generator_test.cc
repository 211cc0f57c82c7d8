// Generated summaries checked by the program's own pipeline over the demo
// tables: valid ones pass every check and reach a leaf, each fault gives its
// error number, malformed lines are rejected by the format recognition.

#include "summary_generator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "calendar/clock.h"
#include "checks/error_catalogue.h"
#include "driver/batch_driver.h"
#include "driver/output_file.h"
#include "driver/pipeline.h"
#include "tables/table_source.h"
#include "tables/table_testutil.h"
#include "tables/table_writer.h"
#include "tables/tree_source.h"
#include "tests/process_testutil.h"

namespace grulo {
namespace gen {
namespace {

using test::ReadFileBytes;

// Writes the three tables of the models into the directory.
void WriteTables(const std::string& dir, const DiagTableModel& diags, const ActTableModel& acts,
                 const TreeTableModel& tree) {
  std::string error;
  EXPECT_TRUE(WriteBytesToFile(dir + kDiagTableName, testing::DiagBytes(diags), &error));
  EXPECT_TRUE(WriteBytesToFile(dir + kActTableName, testing::ActBytes(acts), &error));
  EXPECT_TRUE(WriteBytesToFile(dir + kTreeTableName, testing::TreeBytes(tree), &error));
}

// The demo sources, their tables in a temporary directory, and the pools.
struct Demo {
  DiagTableModel diags;
  ActTableModel acts;
  TreeTableModel tree;
  testing::TempDir dir;
  std::unique_ptr<CodePools> pools;

  Demo() {
    const std::string base = GRULO_DEMO_DIR;
    std::vector<std::string> errors;
    EXPECT_TRUE(ParseDiagSource(ReadFileBytes(base + "/diag.txt"), "diag.txt", &diags, &errors));
    EXPECT_TRUE(ParseActSource(ReadFileBytes(base + "/acts.txt"), "acts.txt", &acts, &errors));
    EXPECT_TRUE(ParseTreeSource(ReadFileBytes(base + "/tree.txt"), "tree.txt", &tree, &errors));
    WriteTables(dir.path(), diags, acts, tree);
    pools = std::make_unique<CodePools>(&diags, &acts);
  }

  static const Demo& Get() {
    static const Demo* demo = new Demo();
    return *demo;
  }
};

struct Outcome {
  std::vector<int16_t> errors;
  int16_t category = 0;
  int16_t number = 0;
  int16_t return_code = 0;

  bool Has(int16_t error) const {
    return std::find(errors.begin(), errors.end(), error) != errors.end();
  }
  std::string ErrorText() const {
    std::string text;
    for (int16_t e : errors) text += std::to_string(e) + ",";
    return text;
  }
};

// Runs lines through the program's pipeline on a fixed day after the
// generated weeks.
class Checker {
 public:
  explicit Checker(std::string rep_tab)
      : rep_tab_(std::move(rep_tab)), clock_(CivilDate{2026, 1, 5}), pipeline_(clock_) {}

  Outcome Check(std::string_view line) {
    Outcome outcome;
    ErrorList errors;
    VersionText version{};
    pipeline_.GroupSummary(line, rep_tab_, &outcome.category, &outcome.number, &outcome.return_code,
                           &errors, err_.get(), &version);
    for (int i = 0; i < errors.ErrorCount; ++i) outcome.errors.push_back(errors.entries[i]);
    return outcome;
  }

 private:
  std::string rep_tab_;
  FixedClock clock_;
  GroupingPipeline pipeline_;
  std::unique_ptr<OutputFile> err_ = OutputFile::InMemory();
};

// The error numbers the checks can produce.
std::set<int16_t> ProducibleErrors() {
  std::set<int16_t> numbers;
  for (const ErrorInfo& info : ErrorCatalogue()) {
    if (info.produced) numbers.insert(info.number);
  }
  return numbers;
}

bool WellFormed(const Summary& s) {
  return RecognizeFormat(s.line(), static_cast<uint64_t>(s.length)) == LineFormat::kWellFormed;
}

GeneratorOptions Options(uint64_t seed) {
  GeneratorOptions options;
  options.seed = seed;
  return options;
}

TEST(SummaryGeneratorTest, ValidSummariesPassEveryCheckAndReachALeaf) {
  const Demo& demo = Demo::Get();
  SummaryGenerator generator(Options(17), *demo.pools);
  Checker checker(demo.dir.path());
  Summary s;
  std::set<int> leaves;
  int with_acts = 0, with_exit = 0, with_third = 0, placeholders = 0;
  for (int i = 0; i < 3000; ++i) {
    generator.BuildValid(&s);
    ASSERT_TRUE(WellFormed(s)) << s.line();
    const Outcome outcome = checker.Check(s.line());
    ASSERT_TRUE(outcome.errors.empty()) << outcome.ErrorText() << "\n" << s.line();
    ASSERT_NE(outcome.category, 90);
    ASSERT_NE(outcome.category, 99) << "failed walk " << outcome.return_code;
    leaves.insert(outcome.category * 1000 + outcome.number);
    with_acts += s.acts > 0;
    with_exit += s.exit != kNoDay;
    with_third += s.diag_codes[2] >= 0;
    placeholders += s.line().substr(99, 6) == "ZAIGU ";
  }
  // Realistic variety rather than one kind of summary.
  EXPECT_GE(leaves.size(), 35u);
  EXPECT_GT(with_acts, 1000);
  EXPECT_GT(with_exit, 300);
  EXPECT_GT(with_third, 1000);
  EXPECT_GT(placeholders, 5);
}

TEST(SummaryGeneratorTest, SummariesOfTheBuiltinCodesPassTablesOfThoseCodes) {
  const CodePools pools(nullptr, nullptr);
  DiagTableModel diags;
  diags.version = "B1";
  for (const DiagCode& code : pools.diags()) {
    std::string text(code.field.data(), 6);
    while (text.back() == ' ') text.pop_back();
    ASSERT_TRUE(AddDiagCode(&diags, text, code.position_bits, {code.category})) << text;
  }
  ActTableModel acts;
  acts.version = "B1";
  for (const ActCode& act : pools.acts()) {
    ASSERT_TRUE(AddActCode(&acts, std::string_view(act.field.data(), 8), 1));
  }
  TreeTableModel tree;
  tree.version = "B1";
  tree.nodes = {TreeNodeRecord::Leaf(1, 1, 0)};
  testing::TempDir dir;
  WriteTables(dir.path(), diags, acts, tree);

  SummaryGenerator generator(Options(5), pools);
  Checker checker(dir.path());
  Summary s;
  for (int i = 0; i < 500; ++i) {
    generator.BuildValid(&s);
    const Outcome outcome = checker.Check(s.line());
    ASSERT_TRUE(outcome.errors.empty()) << outcome.ErrorText() << "\n" << s.line();
  }
}

TEST(SummaryGeneratorTest, EachFaultGivesItsErrorNumber) {
  const Demo& demo = Demo::Get();
  SummaryGenerator generator(Options(23), *demo.pools);
  Checker checker(demo.dir.path());
  Summary s;
  for (int f = 0; f < kFaultCount; ++f) {
    const Fault fault = static_cast<Fault>(f);
    ASSERT_TRUE(generator.FaultApplies(fault)) << InfoOf(fault).name;
    for (int trial = 0; trial < 60; ++trial) {
      generator.BuildValid(&s);
      ASSERT_TRUE(generator.ApplyFault(fault, &s));
      ASSERT_TRUE(WellFormed(s)) << InfoOf(fault).name << "\n" << s.line();
      const Outcome outcome = checker.Check(s.line());
      ASSERT_TRUE(outcome.Has(InfoOf(fault).error))
          << InfoOf(fault).name << " gave " << outcome.ErrorText() << "\n"
          << s.line();
    }
  }
}

TEST(SummaryGeneratorTest, TableFaultsNeedTableSources) {
  const CodePools pools(nullptr, nullptr);
  SummaryGenerator generator(Options(3), pools);
  Summary s;
  generator.BuildValid(&s);
  const std::string before(s.line());
  for (Fault fault : {Fault::kDiag0FirstPair, Fault::kDiag1SecondPair, Fault::kDiag2Position,
                      Fault::kAssociatedFirstPair}) {
    EXPECT_FALSE(generator.FaultApplies(fault));
    EXPECT_FALSE(generator.ApplyFault(fault, &s));
    EXPECT_EQ(s.line(), before);
  }
  EXPECT_TRUE(generator.FaultApplies(Fault::kDiag1Letter));
}

TEST(SummaryGeneratorTest, FaultyShareBringsEveryErrorNumber) {
  const Demo& demo = Demo::Get();
  GeneratorOptions options = Options(29);
  options.faulty_ppb = kBillion / 4;
  options.malformed_ppb = 0;
  SummaryGenerator generator(options, *demo.pools);
  Checker checker(demo.dir.path());
  std::set<int16_t> seen;
  int faulty = 0, with_errors = 0;
  const int count = 2000;
  for (int i = 0; i < count; ++i) {
    std::string line;
    generator.AppendNext(&line);
    ASSERT_EQ(line.back(), '\n');
    line.pop_back();
    const Outcome outcome = checker.Check(line);
    seen.insert(outcome.errors.begin(), outcome.errors.end());
    faulty += !generator.last_faults().empty();
    with_errors += !outcome.errors.empty();
    // A summary without faults has no error; one with faults has each one's.
    for (Fault fault : generator.last_faults()) {
      EXPECT_TRUE(outcome.Has(InfoOf(fault).error)) << InfoOf(fault).name << "\n" << line;
    }
    if (generator.last_faults().empty()) {
      EXPECT_TRUE(outcome.errors.empty()) << line;
    }
  }
  EXPECT_EQ(seen, ProducibleErrors());
  EXPECT_NEAR(faulty, count / 4, count / 20);
  EXPECT_EQ(with_errors, faulty);
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
  const Demo& demo = Demo::Get();
  SummaryGenerator generator(Options(31), *demo.pools);
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
      EXPECT_TRUE(c.kind != Malformed::kTooLong || s.length > 498) << s.line();
      EXPECT_TRUE(c.kind != Malformed::kNulByte || text.size() < s.line().size());
      EXPECT_TRUE(c.kind != Malformed::kUnknownFormat ||
                  (text.substr(9, 3) != "M04" && text.substr(9, 3) != "MA4"))
          << s.line();
    }
  }
  generator.BuildMalformed(Malformed::kCrLfEnding, &s);
  std::string out;
  SummaryGenerator::AppendLine(s, s.crlf, &out);
  EXPECT_EQ(out.substr(out.size() - 2), "\r\n");
}

TEST(SummaryGeneratorTest, SameSeedSameBytes) {
  const Demo& demo = Demo::Get();
  auto generate = [&](uint64_t seed, int count) {
    GeneratorOptions options = Options(seed);
    options.malformed_ppb = kBillion / 10;
    SummaryGenerator generator(options, *demo.pools);
    std::string out;
    for (int i = 0; i < count; ++i) generator.AppendNext(&out);
    return out;
  };
  const std::string a = generate(99, 400);
  EXPECT_EQ(a, generate(99, 400));
  EXPECT_NE(a, generate(100, 400));
  // A shorter run is the beginning of a longer one.
  const std::string shorter = generate(99, 150);
  EXPECT_EQ(a.substr(0, shorter.size()), shorter);
}

TEST(SummaryGeneratorTest, CrlfOptionEndsEveryLine) {
  const Demo& demo = Demo::Get();
  GeneratorOptions options = Options(7);
  options.crlf = true;
  options.malformed_ppb = kBillion / 5;
  SummaryGenerator generator(options, *demo.pools);
  std::string out;
  for (int i = 0; i < 300; ++i) generator.AppendNext(&out);
  size_t line_feeds = std::count(out.begin(), out.end(), '\n');
  size_t pairs = 0;
  for (size_t at = out.find("\r\n"); at != std::string::npos; at = out.find("\r\n", at + 2)) {
    ++pairs;
  }
  EXPECT_EQ(line_feeds, 300u);
  EXPECT_EQ(pairs, 300u);
}

// The demo input is what the command documented in data/demo/README.md
// writes: a change of the generator that moves it must come with a new
// input.txt.
TEST(SummaryGeneratorTest, DemoInputIsReproducible) {
  const Demo& demo = Demo::Get();
  GeneratorOptions options;
  options.seed = 2024;
  options.week = 15;
  options.year = 2024;
  SummaryGenerator generator(options, *demo.pools);
  std::string out;
  for (int i = 0; i < 3000; ++i) generator.AppendNext(&out);
  EXPECT_TRUE(out == ReadFileBytes(std::string(GRULO_DEMO_DIR) + "/input.txt"));
}

TEST(SummaryGeneratorTest, SharesAreReadExactly) {
  const std::pair<const char*, uint32_t> good[] = {
      {"0", 0},           {"1", kBillion},       {"0.1", 100000000}, {".25", 250000000},
      {"1.000", kBillion}, {"0.000000001", 1}};
  for (auto [text, expected] : good) {
    uint32_t ppb = 12345;
    EXPECT_TRUE(ParseShare(text, &ppb)) << text;
    EXPECT_EQ(ppb, expected) << text;
  }
  for (const char* text : {"0.0000000001", "1.01", "2", "", ".", "0,1", "-0.1", "0.1x", "10"}) {
    uint32_t ppb = 0;
    EXPECT_FALSE(ParseShare(text, &ppb)) << text;
  }
}

TEST(SummaryGeneratorTest, WeeksMustExist) {
  const std::pair<const char*, bool> cases[] = {
      {"152024", true},   {"012010", true},  {"532009", true},  {"532010", false},
      {"002024", false},  {"542024", false}, {"151991", false}, {"152090", false},
      {"15202", false},   {"1A2024", false}, {"1520244", false}};
  for (auto [text, ok] : cases) {
    int week = 0, year = 0;
    std::string error;
    EXPECT_EQ(ParseWeek(text, &week, &year, &error), ok) << text << ": " << error;
  }
}

TEST(SummaryGeneratorTest, DiagnosesCompareAsTheProgramNormalizesThem) {
  const std::pair<const char*, const char*> cases[] = {
      {"A41+++", "A41   "}, {"Z+++++", "Z+    "}, {"S72+0 ", "S72+0 "},
      {"I10+ +", "I10+  "}, {"A0+1++", "A0+1  "}, {"A41", "A41   "}};
  for (auto [field, normalized] : cases) {
    const auto n = NormalizedDiag(field);
    EXPECT_EQ(std::string(n.data(), n.size()), normalized) << field;
  }
}

}  // namespace
}  // namespace gen
}  // namespace grulo
