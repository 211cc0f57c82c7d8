// The stages of grouping one summary, each on its own, on realistic
// summaries: the demo tables and 20,000 lines (about one in ten faulty, one
// in a hundred malformed) made at start-up with the built grulo-tables and
// grulo-gen. Each stage runs on what the stages before it left behind, taken
// from a full grouping of the same lines.
//
//   build/bench/stages_bench [Google Benchmark options]
//   build/bench/stages_bench --single-pass
//       recognizes and groups every line once and prints a digest of the
//       results and error lists: a fixed workload for
//       valgrind --tool=callgrind (see bench/stage_counts.sh), and a quick
//       check that a change of the hot path changes no outcome.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "checks/check_sequence.h"
#include "grouper/grouping_context.h"
#include "grouper/line_format.h"
#include "grouper/table_set.h"
#include "record/working_record.h"
#include "summary/derived_values.h"
#include "tables/act_table.h"
#include "tables/diag_table.h"
#include "tree/tree_walk.h"

namespace grulo {
namespace {

constexpr int kLineCount = 20000;
// Summaries whose state is kept for the stages that start from a prepared
// state: enough to mix every kind of summary, few enough to stay in cache
// as the state of the summary in progress does.
constexpr size_t kPreparedCount = 2048;
constexpr DateText kToday = {'0', '7', '1', '2', '2', '0', '2', '6', '\0'};

struct BenchData {
  std::shared_ptr<const TableSet> tables;
  std::vector<std::string> lines;        // every line, malformed ones too
  std::vector<std::string_view> summaries;  // the well-formed lines
};

const BenchData& Data() {
  static const BenchData* data = [] {
    auto* d = new BenchData;
    const std::string build = GRULO_BUILD_DIR, source = GRULO_SOURCE_DIR;
    const std::string dir = build + "/bench-stages/";
    const std::string input = dir + "input.txt";
    const std::string demo = source + "/data/demo/";
    const std::string command =
        "mkdir -p " + dir + " && " + build + "/grulo-tables build --tree " + demo +
        "tree.txt --acts " + demo + "acts.txt --diag " + demo + "diag.txt --out " + dir +
        " >/dev/null && " + build + "/grulo-gen --count " + std::to_string(kLineCount) +
        " --seed 7 --diag " + demo + "diag.txt --acts " + demo + "acts.txt --out " + input;
    if (std::system(command.c_str()) != 0) std::abort();
    if (!OpenTableSet(TablePathsIn(dir), &d->tables).ok()) std::abort();
    std::ifstream in(input, std::ios::binary);
    for (std::string line; std::getline(in, line);) d->lines.push_back(line);
    for (const std::string& line : d->lines) {
      // The batch hands over the text up to a NUL byte, without a final CR.
      std::string_view text(line.data(), std::strlen(line.c_str()));
      if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
      if (RecognizeFormat(text, text.size()) == LineFormat::kWellFormed) {
        d->summaries.push_back(text);
      }
    }
    if (d->summaries.empty()) std::abort();
    return d;
  }();
  return *data;
}

// A summary as the tree walk finds it: grouped once, its state kept.
struct PreparedSummary {
  std::string_view line;
  SummaryState state;
  bool walked;  // no blocking error: the tree was walked
};

std::vector<PreparedSummary>& Prepared() {
  static std::vector<PreparedSummary>* prepared = [] {
    const BenchData& data = Data();
    auto* p = new std::vector<PreparedSummary>;
    auto context = std::make_unique<GroupingContext>();
    GroupResult result;
    ErrorList errors;
    for (size_t i = 0; i < data.summaries.size() && i < kPreparedCount; ++i) {
      context->GroupSummary(*data.tables, data.summaries[i], kToday, &result, &errors);
      p->push_back({data.summaries[i], context->state(), result.GroupCategory != kBlockedCategory});
    }
    return p;
  }();
  return *prepared;
}

void BM_FormatRecognition(benchmark::State& bench) {
  const std::vector<std::string>& lines = Data().lines;
  size_t i = 0;
  for (auto _ : bench) {
    benchmark::DoNotOptimize(RecognizeFormat(lines[i], lines[i].size()));
    if (++i == lines.size()) i = 0;
  }
  bench.SetItemsProcessed(bench.iterations());
}
BENCHMARK(BM_FormatRecognition);

void BM_WorkingRecord(benchmark::State& bench) {
  const std::vector<std::string_view>& summaries = Data().summaries;
  WorkingRecord record;
  size_t i = 0;
  for (auto _ : bench) {
    BuildWorkingRecord(summaries[i], &record);
    benchmark::DoNotOptimize(record);
    if (++i == summaries.size()) i = 0;
  }
  bench.SetItemsProcessed(bench.iterations());
}
BENCHMARK(BM_WorkingRecord);

// The 23 diagnosis lookups of one summary.
void BM_DiagLookups(benchmark::State& bench) {
  const TableSet& tables = *Data().tables;
  std::vector<PreparedSummary>& prepared = Prepared();
  size_t i = 0;
  for (auto _ : bench) {
    SummaryState& state = prepared[i].state;
    for (int slot = 0; slot < kDiagSlotCount; ++slot) {
      LookupDiag(tables.diags(), state.Record.Diag(slot), slot, &state);
    }
    benchmark::DoNotOptimize(state.DiagAttr);
    if (++i == prepared.size()) i = 0;
  }
  bench.SetItemsProcessed(bench.iterations());
}
BENCHMARK(BM_DiagLookups);

// The act slots of one summary taken from its line and looked up.
void BM_ActLookups(benchmark::State& bench) {
  const TableSet& tables = *Data().tables;
  std::vector<PreparedSummary>& prepared = Prepared();
  size_t i = 0;
  for (auto _ : bench) {
    SummaryState& state = prepared[i].state;
    TakeActSlots(prepared[i].line, &state);
    state.ActClass.fill(0);
    for (int k = 0; k < state.ActSlotCount; ++k) {
      LookupAct(tables.acts(), state.ActSlot(k), k, &state);
    }
    benchmark::DoNotOptimize(state.ActClass);
    if (++i == prepared.size()) i = 0;
  }
  bench.SetItemsProcessed(bench.iterations());
}
BENCHMARK(BM_ActLookups);

// The dates, the presence count and the score sum of one summary.
void BM_DerivedValues(benchmark::State& bench) {
  std::vector<PreparedSummary>& prepared = Prepared();
  size_t i = 0;
  for (auto _ : bench) {
    SummaryState& state = prepared[i].state;
    DeriveDates(&state);
    CountPresenceDays(&state);
    SumScores(&state);
    benchmark::DoNotOptimize(state);
    if (++i == prepared.size()) i = 0;
  }
  bench.SetItemsProcessed(bench.iterations());
}
BENCHMARK(BM_DerivedValues);

void BM_Checks(benchmark::State& bench) {
  const std::vector<PreparedSummary>& prepared = Prepared();
  ErrorList errors;
  GroupResult result;
  size_t i = 0;
  for (auto _ : bench) {
    ClearErrors(&errors);
    benchmark::DoNotOptimize(ValidateSummary(prepared[i].state, &errors, &result));
    if (++i == prepared.size()) i = 0;
  }
  bench.SetItemsProcessed(bench.iterations());
}
BENCHMARK(BM_Checks);

// Walks of the summaries without a blocking error.
void BM_TreeWalk(benchmark::State& bench) {
  const TableSet& tables = *Data().tables;
  std::vector<const SummaryState*> walked;
  for (const PreparedSummary& p : Prepared()) {
    if (p.walked) walked.push_back(&p.state);
  }
  TreeNode node;
  GroupResult result;
  size_t i = 0;
  for (auto _ : bench) {
    WalkTree(tables.tree(), *walked[i], &node, &result);
    benchmark::DoNotOptimize(result);
    if (++i == walked.size()) i = 0;
  }
  bench.SetItemsProcessed(bench.iterations());
}
BENCHMARK(BM_TreeWalk);

void BM_GroupSummary(benchmark::State& bench) {
  const BenchData& data = Data();
  auto context = std::make_unique<GroupingContext>();
  GroupResult result;
  ErrorList errors;
  size_t i = 0;
  for (auto _ : bench) {
    context->GroupSummary(*data.tables, data.summaries[i], kToday, &result, &errors);
    benchmark::DoNotOptimize(result);
    if (++i == data.summaries.size()) i = 0;
  }
  bench.SetItemsProcessed(bench.iterations());
}
BENCHMARK(BM_GroupSummary);

// 64-bit FNV-1a, fed one 16-bit number at a time.
struct Digest {
  uint64_t hash = 14695981039346656037ull;
  void Add(int16_t n) {
    for (int shift = 0; shift < 16; shift += 8) {
      hash = (hash ^ ((static_cast<uint16_t>(n) >> shift) & 0xFF)) * 1099511628211ull;
    }
  }
};

// Recognizes and groups every line once; prints the counts and a digest of
// every format, result and error list.
int SinglePass() {
  const BenchData& data = Data();
  auto context = std::make_unique<GroupingContext>();
  GroupResult result;
  ErrorList errors;
  Digest digest;
  size_t grouped = 0;
  for (const std::string& line : data.lines) {
    std::string_view text(line.data(), std::strlen(line.c_str()));
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    const LineFormat format = RecognizeFormat(text, text.size());
    digest.Add(static_cast<int16_t>(format));
    if (format != LineFormat::kWellFormed) continue;
    context->GroupSummary(*data.tables, text, kToday, &result, &errors);
    ++grouped;
    digest.Add(result.GroupCategory);
    digest.Add(result.GroupNumber);
    digest.Add(result.GroupReturn);
    digest.Add(errors.ErrorCount);
    for (int16_t number : errors.entries) digest.Add(number);
  }
  std::printf("lines %zu grouped %zu digest %016llx\n", data.lines.size(), grouped,
              static_cast<unsigned long long>(digest.hash));
  return 0;
}

}  // namespace
}  // namespace grulo

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--single-pass") == 0) return grulo::SinglePass();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
