// Walks of a tree of about 30 inner nodes that use the twenty node tests,
// through a table file mapped from a temporary directory.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "benchmark/benchmark.h"
#include "record/summary_state.h"
#include "tables/big_endian.h"
#include "tables/open_tables.h"
#include "tree/node_tests.h"
#include "tree/tree_walk.h"

namespace grulo {
namespace {

constexpr int kNodeSize = 8;
constexpr int32_t kNodeAreaOffset = 64;

// A summary that gives the tests something to look at.
SummaryState BenchState() {
  SummaryState state;
  state.Record.bytes.fill(' ');
  const char durations[] = "  60 120   0  30 600  45   5 900  10  20  30  40";
  for (int i = 0; i < 48; ++i) state.Record.bytes[wr_field::kDurations.offset + i] = durations[i];
  state.Record.bytes[wr_field::kIndicator.offset] = '1';
  state.AgeInYears = 67;
  state.RefDelay = 12;
  state.PresenceCount = 5;
  state.ScoreSum = 9;
  state.ActSlotCount = 4;
  for (int k = 0; k < 4; ++k) state.ActClass[k] = static_cast<uint8_t>(10 + k);
  state.DiagAttrLength = 11;
  for (int slot = 0; slot < kDiagSlotCount; ++slot) {
    state.DiagAttr[slot * 11] = static_cast<uint8_t>(slot == 0 ? 99 : 30);
    for (int i = 1; i < 11; ++i) state.DiagAttr[slot * 11 + i] = static_cast<uint8_t>(slot + i);
  }
  state.CategoryBranch[30] = 9;
  state.CategoryBranch[99] = 13;
  return state;
}

struct BenchNode {
  uint8_t opcode, param1, param2, branch_limit;
};

// The inner nodes of the walk, in order; every test of the table appears.
constexpr BenchNode kPath[] = {
    {1, 0, 0, 13},   {0, 0, 18, 1},     {5, 40, 41, 1},    {3, 0, 12, 1},    {6, 0, 8, 1},
    {8, 0, 0, 1},    {9, 30, 0, 1},     {10, 2, 2, 1},     {11, 5, 10, 1},   {13, 5, 100, 1},
    {14, 8, 100, 1}, {15, 0xFF, 10, 8}, {16, 0xF0, 50, 8}, {17, 6, 0, 1},    {18, 5, 6, 1},
    {2, 1, 2, 1},    {4, 0, 0, 1},      {7, 0, 0, 1},      {12, 0, 0, 1},    {5, 7, 8, 1},
    {18, 200, 1, 1}, {0, 1, 0, 1},      {10, 7, 14, 1},    {15, 0x81, 1, 8}, {16, 0x0F, 1, 8},
    {11, 0, 200, 1}, {6, 0, 20, 1},     {19, 0, 3, 1},     {1, 0, 0, 13},    {9, 255, 0, 1},
};
constexpr int kPathLength = sizeof(kPath) / sizeof(kPath[0]);

// A tree file whose walk for `state` runs through kPath: node i sits at
// number i, and its base is chosen so that the branch its test answers leads
// to node i + 1; node kPathLength is the leaf. Unused children fall on other
// path nodes, which the walk never takes.
std::vector<uint8_t> BenchTreeBytes(const SummaryState& state) {
  const int nodes = kPathLength + 1;
  std::vector<uint8_t> bytes(kNodeAreaOffset + nodes * kNodeSize, 0);
  bytes[8] = 'B';
  bytes[9] = '1';
  uint8_t* descriptor = bytes.data() + kTableHeaderSize;
  descriptor[20] = kNodeSize;
  WriteBigEndian32(kPathLength * kNodeSize, descriptor + 21);
  WriteBigEndian32(kNodeAreaOffset, descriptor + 25);
  for (int i = 0; i < kPathLength; ++i) {
    TreeNode node{kPath[i].opcode, kPath[i].param1, kPath[i].param2, kPath[i].branch_limit, 0};
    int16_t r = kNodeTestTable[node.Opcode](state, node);
    uint8_t* record = bytes.data() + kNodeAreaOffset + i * kNodeSize;
    record[0] = kPath[i].opcode;
    record[1] = kPath[i].param1;
    record[2] = kPath[i].param2;
    record[3] = kPath[i].branch_limit;
    WriteBigEndian16(static_cast<uint16_t>(i + 1 - r), record + 4);
  }
  uint8_t* leaf = bytes.data() + kNodeAreaOffset + kPathLength * kNodeSize;
  leaf[1] = 0;
  leaf[2] = 42;
  WriteBigEndian16(123, leaf + 4);
  return bytes;
}

// Writes the tree into a fresh temporary directory and opens it as a run does.
bool OpenBenchTree(const SummaryState& state, TreeTable* table, std::string* dir) {
  char templ[] = "/tmp/grulo_tree_bench_XXXXXX";
  if (mkdtemp(templ) == nullptr) return false;
  *dir = std::string(templ) + "/";
  std::vector<uint8_t> bytes = BenchTreeBytes(state);
  std::string path = *dir + kTreeTableName;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (std::fclose(f) != 0 || !written) return false;
  return OpenTreeTable(*dir, table) == kTableOpened;
}

void RemoveBenchTree(const std::string& dir) {
  std::remove((dir + kTreeTableName).c_str());
  std::remove(dir.c_str());
}

void BM_WalkTree(benchmark::State& bench) {
  SummaryState state = BenchState();
  TreeTable table;
  std::string dir;
  if (!OpenBenchTree(state, &table, &dir)) {
    bench.SkipWithError("cannot write or open the tree file");
    return;
  }
  TreeNode current_node;
  GroupResult result;
  WalkTree(table, state, &current_node, &result);
  if (result.GroupCategory != 42 || result.GroupNumber != 123) {
    bench.SkipWithError("the walk does not reach the leaf");
    RemoveBenchTree(dir);
    return;
  }
  for (auto _ : bench) {
    WalkTree(table, state, &current_node, &result);
    benchmark::DoNotOptimize(result);
  }
  bench.counters["nodes"] = kPathLength + 1;
  bench.SetItemsProcessed(bench.iterations());
  table.file.reset();
  RemoveBenchTree(dir);
}
BENCHMARK(BM_WalkTree);

void BM_ReadNode(benchmark::State& bench) {
  SummaryState state = BenchState();
  TreeTable table;
  std::string dir;
  if (!OpenBenchTree(state, &table, &dir)) {
    bench.SkipWithError("cannot write or open the tree file");
    return;
  }
  TreeNode node;
  int16_t n = 0;
  for (auto _ : bench) {
    benchmark::DoNotOptimize(ReadNode(table, n, &node));
    n = static_cast<int16_t>((n + 1) % (kPathLength + 1));
  }
  table.file.reset();
  RemoveBenchTree(dir);
}
BENCHMARK(BM_ReadNode);

}  // namespace
}  // namespace grulo

BENCHMARK_MAIN();
