// Grouping through the library on realistic summaries: the public C++
// interface (grulo::Grouper) against the grouping context that the batch
// uses directly, on the same lines and tables. The demo tables and 20,000
// generated lines are made at start-up with the built grulo-tables and
// grulo-gen.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "grouper/grouping_context.h"
#include "grouper/table_set.h"
#include "grulo/grouper.h"

namespace grulo {
namespace {

struct BenchData {
  std::string table_dir;
  std::vector<std::string> lines;
};

const BenchData& Data() {
  static const BenchData* data = [] {
    auto* d = new BenchData;
    const std::string build = GRULO_BUILD_DIR, source = GRULO_SOURCE_DIR;
    d->table_dir = build + "/bench-library/";
    const std::string input = d->table_dir + "input.txt";
    const std::string demo = source + "/data/demo/";
    const std::string command =
        "mkdir -p " + d->table_dir + " && " + build + "/grulo-tables build --tree " + demo +
        "tree.txt --acts " + demo + "acts.txt --diag " + demo + "diag.txt --out " +
        d->table_dir + " >/dev/null && " + build + "/grulo-gen --count 20000 --seed 7 --diag " +
        demo + "diag.txt --acts " + demo + "acts.txt --out " + input;
    if (std::system(command.c_str()) != 0) std::abort();
    std::ifstream in(input, std::ios::binary);
    for (std::string line; std::getline(in, line);) d->lines.push_back(line);
    return d;
  }();
  return *data;
}

void BM_GroupThroughCppInterface(benchmark::State& state) {
  const BenchData& data = Data();
  const Tables tables = Tables::Open(data.table_dir);
  if (!tables.ok()) std::abort();
  Grouper grouper(Date{7, 12, 2026});
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(grouper.Group(tables, data.lines[i]).result());
    if (++i == data.lines.size()) i = 0;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GroupThroughCppInterface);

void BM_GroupThroughContext(benchmark::State& state) {
  const BenchData& data = Data();
  std::shared_ptr<const TableSet> tables;
  if (!OpenTableSet(TablePathsIn(data.table_dir), &tables).ok()) std::abort();
  GroupingContext context;
  DateText today{'0', '7', '1', '2', '2', '0', '2', '6', '\0'};
  GroupResult result;
  ErrorList errors;
  size_t i = 0;
  for (auto _ : state) {
    context.GroupSummary(*tables, data.lines[i], today, &result, &errors);
    benchmark::DoNotOptimize(result);
    if (++i == data.lines.size()) i = 0;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GroupThroughContext);

}  // namespace
}  // namespace grulo

BENCHMARK_MAIN();
