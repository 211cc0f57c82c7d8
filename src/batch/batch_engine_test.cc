#include "batch/batch_engine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "checks/summary_testutil.h"
#include "record/summary_layout.h"
#include "tests/summary_tables_testutil.h"

namespace grulo {
namespace {

// Hands its bytes out a few at a time, as a stream in slices does.
class SliceSource final : public ByteSource {
 public:
  explicit SliceSource(std::string_view bytes) : bytes_(bytes) {}
  int64_t Read(char* buffer, size_t n) override {
    const size_t count = std::min({n, bytes_.size(), size_t{7}});
    bytes_.copy(buffer, count);
    bytes_.remove_prefix(count);
    return static_cast<int64_t>(count);
  }

 private:
  std::string_view bytes_;
};

// What an observer is told, line by line and at the end.
class Recorder final : public LineObserver {
 public:
  void OnLine(int64_t line_number, std::string_view text, uint64_t length,
              const LineOutcome& outcome) override {
    EXPECT_EQ(line_number, static_cast<int64_t>(lines.size()) + 1);  // in input order
    std::string told(text.substr(0, 12));
    for (int64_t number : {static_cast<int64_t>(length), static_cast<int64_t>(outcome.kind),
                           static_cast<int64_t>(outcome.result.GroupReturn)}) {
      told.append(" ").append(std::to_string(number));
    }
    told.append(" ").append(VersionView(outcome.version));
    for (int i = 0; i < outcome.errors.ErrorCount; ++i) {
      told.append(" ").append(std::to_string(outcome.errors.entries[static_cast<size_t>(i)]));
    }
    lines.push_back(told);
    counted.Count(outcome);
  }
  void OnEnd(const RunCounters& counters, const TableSession* tables) override {
    ++ends;
    end_counters = counters;
    end_tables = tables;
  }

  std::vector<std::string> lines;
  RunCounters counted, end_counters;
  int ends = 0;
  const TableSession* end_tables = nullptr;
};

// An input grouped from memory, whole or in slices, into an output in memory
// and one handed to a function: the same bytes, counters and observations
// on one thread and on three (in chunks of two lines), the observer told
// every line in input order with the outcome that the counters count.
TEST(BatchEngineTest, SameOutcomesOnEveryNumberOfThreads) {
  const std::vector<TreeNodeRecord> tree = {TreeNodeRecord::Inner(0, 0, 18, 1, 1),
                                            TreeNodeRecord::Leaf(5, 300, 0),
                                            TreeNodeRecord::Leaf(6, 301, 0)};
  std::string blocked = testing::ValidSummaryLine(0);
  testing::SetField(&blocked, line_field::kBirthDate, "31041950");
  std::string non_blocking = testing::ValidSummaryLine(0);
  testing::SetField(&non_blocking, line_field::kUnitNo, "    ");
  std::string input;
  for (int i = 0; i < 9; ++i) {
    input += testing::ValidSummaryLine(1) + "\n" + blocked + "\n" + "short\r\n" + non_blocking +
             "\n" + testing::ValidSummaryLine(0).substr(0, 300) + "\n";
  }
  struct Run {
    std::string grp, err;
    RunCounters counters;
    std::vector<std::string> told;
    std::vector<int64_t> progress;
  } one;
  for (int threads : {1, 3}) {
    SCOPED_TRACE(threads);
    // The diagnosis table of another version: the first summary gets 9.
    BatchEngine engine(
        TableSource::InMemory(test::SummaryTableBytes(TableRole::kTree, tree, "V1"),
                              test::SummaryTableBytes(TableRole::kActs, tree, "V1"),
                              test::SummaryTableBytes(TableRole::kDiags, tree, "V2")),
        FixedClocks(testing::kTestToday));
    Run run;
    std::unique_ptr<OutputFile> err = OutputFile::InMemory();
    std::unique_ptr<OutputFile> grp = OutputFile::ToFunction([&run](std::string_view bytes) {
      run.grp += bytes;
      return Status();
    });
    Recorder recorder;
    BatchOptions options;
    options.threads = threads;
    options.chunk_lines = 2;
    options.observer = &recorder;
    options.progress = [&run](int64_t lines) { run.progress.push_back(lines); };
    SliceSource slices(input);
    MemorySource whole(input);
    ByteSource* source = threads == 1 ? static_cast<ByteSource*>(&slices) : &whole;
    ASSERT_TRUE(engine.Run(source, err.get(), grp.get(), options).ok());
    run.err = std::string(err->contents());
    run.counters = engine.counters();
    run.told = recorder.lines;
    EXPECT_EQ(recorder.counted, run.counters);
    EXPECT_EQ(recorder.ends, 1);
    EXPECT_EQ(recorder.end_counters, run.counters);
    EXPECT_EQ(recorder.end_tables, engine.session());
    if (threads == 1) {
      one = run;
      continue;
    }
    EXPECT_EQ(run.grp, one.grp);
    EXPECT_EQ(run.err, one.err);
    EXPECT_EQ(run.counters, one.counters);
    EXPECT_EQ(run.told, one.told);
    EXPECT_EQ(run.progress, one.progress);
  }
  EXPECT_TRUE(one.err.starts_with("Version des tables incompatible (Arbre - Diags) \r\n"));
  EXPECT_EQ(one.counters, (RunCounters{.NbLus = 45, .NbErrBloq = 9, .NbErrNonBloq = 9,
                                       .NbErrForm = 18, .NbGrp = 18, .NbErrTab = 1}));
  EXPECT_EQ(one.progress, std::vector<int64_t>{1});
}

}  // namespace
}  // namespace grulo
