// Walks of a tree of about 30 inner nodes that use the twenty node tests,
// through a table file mapped from a temporary directory.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "authoring/file_io.h"
#include "authoring/table_writer.h"
#include "benchmark/benchmark.h"
#include "summary/summary_state.h"
#include "tables/open_tables.h"
#include "tree/node_tests.h"
#include "tree/tree_walk.h"

namespace grulo {
namespace {

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

// The tree whose walk for `state` runs through kPath: node i sits at number
// i, and its base is chosen so that the branch its test answers leads to
// node i + 1; node kPathLength is the leaf. Unused children fall on other
// path nodes, which the walk never takes.
TreeTableModel BenchTree(const SummaryState& state) {
  TreeTableModel tree;
  tree.version = "B1";
  tree.node_size = 8;
  for (int i = 0; i < kPathLength; ++i) {
    const BenchNode& n = kPath[i];
    TreeNode node{n.opcode, n.param1, n.param2, n.branch_limit, 0};
    int16_t r = kNodeTestTable[node.Opcode](state, node);
    tree.nodes.push_back(TreeNodeRecord::Inner(n.opcode, n.param1, n.param2, n.branch_limit,
                                               static_cast<uint16_t>(i + 1 - r)));
  }
  tree.nodes.push_back(TreeNodeRecord::Leaf(42, 123, 0));
  return tree;
}

// The bench tree written into a fresh temporary directory and opened as a
// run opens it; removed again at the end.
class OpenBenchTree {
 public:
  explicit OpenBenchTree(const SummaryState& state) {
    char templ[] = "/tmp/grulo_tree_bench_XXXXXX";
    if (mkdtemp(templ) == nullptr) return;
    dir_ = std::string(templ) + "/";
    std::vector<uint8_t> bytes;
    std::string error;
    ok_ = WriteTreeTable(BenchTree(state), &bytes, &error) &&
          WriteBytesToFile(dir_ + kTreeTableName, bytes, &error) &&
          OpenTreeTable(dir_, &table_) == kTableOpened;
  }
  ~OpenBenchTree() {
    table_.file.reset();
    std::remove((dir_ + kTreeTableName).c_str());
    std::remove(dir_.c_str());
  }
  bool ok() const { return ok_; }
  const TreeTable& table() const { return table_; }

 private:
  std::string dir_;
  TreeTable table_;
  bool ok_ = false;
};

void BM_WalkTree(benchmark::State& bench) {
  SummaryState state = BenchState();
  OpenBenchTree tree(state);
  if (!tree.ok()) {
    bench.SkipWithError("cannot write or open the tree file");
    return;
  }
  TreeNode current_node;
  GroupResult result;
  WalkTree(tree.table(), state, &current_node, &result);
  if (result.GroupCategory != 42 || result.GroupNumber != 123) {
    bench.SkipWithError("the walk does not reach the leaf");
    return;
  }
  for (auto _ : bench) {
    WalkTree(tree.table(), state, &current_node, &result);
    benchmark::DoNotOptimize(result);
  }
  bench.counters["nodes"] = kPathLength + 1;
  bench.SetItemsProcessed(bench.iterations());
}
BENCHMARK(BM_WalkTree);

void BM_ReadNode(benchmark::State& bench) {
  OpenBenchTree tree(BenchState());
  if (!tree.ok()) {
    bench.SkipWithError("cannot write or open the tree file");
    return;
  }
  TreeNode node;
  int16_t n = 0;
  for (auto _ : bench) {
    benchmark::DoNotOptimize(ReadNode(tree.table(), n, &node));
    n = static_cast<int16_t>((n + 1) % (kPathLength + 1));
  }
}
BENCHMARK(BM_ReadNode);

}  // namespace
}  // namespace grulo

BENCHMARK_MAIN();
