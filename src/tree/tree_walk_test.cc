#include "tree/tree_walk.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "authoring/table_testutil.h"
#include "gtest/gtest.h"

namespace grulo {
namespace {

constexpr auto Inner = TreeNodeRecord::Inner;
constexpr auto Leaf = TreeNodeRecord::Leaf;

struct TreeFileLayout {
  int node_size = 8;      // node 0 at offset 64; record bytes past 5 hold 0xEE
  int32_t extent = -1;    // -1: NodeBound is the offset of the last node
  int truncate_last = 0;  // bytes cut from the end of the file
};

// A tree table adopted from a file, written by the table writer, holding
// `nodes` as nodes 0, 1, ...
TreeTable MakeTreeTable(std::vector<TreeNodeRecord> nodes, const TreeFileLayout& layout = {}) {
  TreeTableModel model;
  model.version = "11";
  model.node_size = layout.node_size;
  for (TreeNodeRecord& node : nodes) node.extra.assign(layout.node_size - 6, 0xEE);
  model.nodes = std::move(nodes);
  std::vector<uint8_t> bytes = testing::TreeBytes(model);
  if (layout.extent >= 0) {
    testing::Put32(&bytes, kTableHeaderSize + 21, static_cast<uint32_t>(layout.extent));
  }
  bytes.resize(bytes.size() - layout.truncate_last);
  TreeTable table;
  std::unique_ptr<TableFile> file = TableFile::FromBytes(std::move(bytes));
  EXPECT_EQ(AdoptTreeTable(file, &table), kTableOpened);
  return table;
}

constexpr uint8_t kAgeBelow = 0, kBranchZero = 4, kFirstDuration = 15, kJump = 19;

struct Outcome {
  int16_t category, number, return_code;
  bool operator==(const Outcome&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Outcome& o) {
  return os << o.category << "/" << o.number << "/" << o.return_code;
}
constexpr Outcome kTooLong{99, 904, 1}, kBadBranch{99, 904, 2}, kNodeOutside{99, 904, 3};

// Duration 2 holds 9, so FirstDurationAtLeast with mask 2 and threshold 0 answers 2.
SummaryState StateAged(int16_t age) {
  SummaryState state;
  state.Record.bytes.fill(' ');
  state.Record.bytes[wr_field::kDurations.offset + 7] = '9';
  state.AgeInYears = age;
  return state;
}

// Records what a walk tells its observer, one text per event: "read 0",
// "test 4 -> 0", "failure 3 at 2".
struct WalkRecorder final : WalkObserver {
  std::vector<std::string> events;
  void OnNodeRead(int16_t number, const TreeNode&) override {
    events.push_back("read " + std::to_string(number));
  }
  void OnTest(const TreeNode& node, int16_t branch) override {
    events.push_back("test " + std::to_string(node.Opcode) + " -> " + std::to_string(branch));
  }
  void OnFailure(int16_t code, int16_t node_number) override {
    events.push_back("failure " + std::to_string(code) + " at " + std::to_string(node_number));
  }
};

// Walks with and without an observer; both must end alike.
Outcome Walk(const TreeTable& table, const SummaryState& state, TreeNode* node,
             WalkRecorder* recorder = nullptr) {
  GroupResult result{11, 22, 33};
  const int16_t failure = WalkTree(table, state, node, &result);
  GroupResult observed{11, 22, 33};
  TreeNode observed_node;
  WalkRecorder local;
  EXPECT_EQ(WalkTree(table, state, &observed_node, &observed,
                     recorder != nullptr ? *recorder : local),
            failure);
  if (failure != 0) {  // a failed walk gives 99, 904 and the code it returns
    EXPECT_EQ(result.GroupCategory * 1000 + result.GroupNumber, 99904);
    EXPECT_EQ(result.GroupReturn, failure);
  }
  EXPECT_EQ(observed.GroupCategory, result.GroupCategory);
  EXPECT_EQ(observed.GroupNumber, result.GroupNumber);
  EXPECT_EQ(observed.GroupReturn, result.GroupReturn);
  EXPECT_EQ(observed_node.BaseNode, node->BaseNode);
  return {result.GroupCategory, result.GroupNumber, result.GroupReturn};
}

// `count` nodes, all leaves 0/0/0 but those given.
std::vector<TreeNodeRecord> Nodes(int count, std::vector<std::pair<int, TreeNodeRecord>> given) {
  std::vector<TreeNodeRecord> nodes(count, Leaf(0, 0, 0));
  for (auto& [n, node] : given) nodes[n] = node;
  return nodes;
}
// `inner` branch-zero nodes, each leading to the next, then the leaf 3/33/0.
std::vector<TreeNodeRecord> Chain(int inner) {
  std::vector<TreeNodeRecord> nodes;
  for (int n = 0; n < inner; ++n) nodes.push_back(Inner(kBranchZero, 0, 0, 1, n + 1));
  nodes.push_back(Leaf(3, 33, 0));
  return nodes;
}

struct WalkCase {
  const char* name;
  std::vector<TreeNodeRecord> nodes;
  TreeFileLayout layout;
  int16_t age;
  Outcome expected;
};

TEST(TreeWalkTest, WalksToTheLeafOrFails) {
  const TreeNodeRecord to_two = Inner(kBranchZero, 0, 0, 1, 2);
  const std::vector<TreeNodeRecord> three = {to_two, Leaf(1, 1, 0), Leaf(2, 2, 0)};
  // Node 0 asks whether the age is below 50: answer 0 goes to node 10, 1 to 11.
  const std::vector<TreeNodeRecord> by_age = Nodes(
      12, {{0, Inner(kAgeBelow, 0, 50, 1, 10)}, {10, Leaf(1, 100, 0)}, {11, Leaf(2, 200, 0)}});
  // FirstDurationAtLeast answers 2: node 1 + 2.
  auto by_duration = [](uint8_t limit) {
    return Nodes(4, {{0, Inner(kFirstDuration, 2, 0, limit, 1)}, {3, Leaf(4, 44, 0)}});
  };
  const WalkCase cases[] = {
      {"root leaf", {Leaf(12, 345, 7)}, {}, 40, {12, 345, 7}},
      {"leaf number big-endian", {Leaf(0, 300, 0)}, {}, 40, {0, 300, 0}},
      {"leaf numbers wrap", {Leaf(255, 65535, 200)}, {}, 40, {255, -1, 200}},
      {"answer 0 to base", by_age, {}, 60, {1, 100, 0}},
      {"answer 1 to base + 1", by_age, {}, 40, {2, 200, 0}},
      {"record of 6 bytes", three, {6}, 40, {2, 2, 0}},
      {"record of 12 bytes", three, {12}, 40, {2, 2, 0}},
      {"1000 tests", Chain(MaxWalkSteps), {}, 40, {3, 33, 0}},
      {"1001 tests", Chain(MaxWalkSteps + 1), {}, 40, kTooLong},
      {"cycle", {Inner(kBranchZero, 0, 0, 1, 1), Inner(kBranchZero, 0, 0, 1, 0)}, {}, 40, kTooLong},
      {"branch equal to limit", by_duration(2), {}, 40, {4, 44, 0}},
      {"branch above limit", by_duration(1), {}, 40, kBadBranch},
      {"jump past limit", Nodes(306, {{0, Inner(kJump, 1, 44, 1, 5)}, {305, Leaf(7, 305, 0)}}), {},
       40, {7, 305, 0}},
      {"negative jump", {to_two, Leaf(8, 1, 0), Inner(kJump, 255, 255, 1, 2)}, {}, 40, {8, 1, 0}},
      {"node at NodeBound", three, {8, 16}, 40, {2, 2, 0}},
      {"node one byte past", three, {8, 15}, 40, kNodeOutside},
      {"negative offset", {Inner(kBranchZero, 0, 0, 1, 65527)}, {}, 40, kNodeOutside},
      {"node -32768", {Inner(kBranchZero, 0, 0, 1, 32768)}, {}, 40, kNodeOutside},
      {"last node cut short", three, {8, -1, 1}, 40, kNodeOutside},
      {"root missing", {Leaf(1, 1, 0)}, {8, -1, 8}, 40, kNodeOutside},
      {"opcode 20", {Inner(20, 0, 0, 255, 1), Leaf(1, 1, 0)}, {}, 40, kBadBranch},
      {"opcode 255", {Inner(255, 0, 0, 255, 1), Leaf(1, 1, 0)}, {}, 40, kBadBranch},
  };
  for (const WalkCase& c : cases) {
    TreeNode node;
    EXPECT_EQ(Walk(MakeTreeTable(c.nodes, c.layout), StateAged(c.age), &node), c.expected)
        << c.name;
  }
}

TEST(TreeWalkTest, NegativeNodeBeforeTheNodeAreaIsRead) {
  TreeTable table =
      MakeTreeTable({Leaf(5, 55, 0), Leaf(6, 66, 0), Inner(kBranchZero, 0, 0, 1, 65534)});
  table.NodeAreaOffset += 2 * table.NodeSize;  // the first two records are nodes -2 and -1
  TreeNode node;
  EXPECT_EQ(Walk(table, StateAged(40), &node), (Outcome{5, 55, 0}));
}

TEST(TreeWalkTest, EveryWalkStartsAtTheRoot) {
  TreeTable table = MakeTreeTable(
      {Inner(kAgeBelow, 0, 50, 1, 1), Leaf(1, 10, 0), Inner(kBranchZero, 0, 0, 1, 2)});
  TreeNode node;  // kept from one summary to the next
  EXPECT_EQ(Walk(table, StateAged(60), &node), (Outcome{1, 10, 0}));
  EXPECT_EQ(Walk(table, StateAged(40), &node), kTooLong);  // node 2 loops on itself
  EXPECT_EQ(Walk(table, StateAged(60), &node), (Outcome{1, 10, 0}));
}

TEST(TreeWalkTest, FailedReadLeavesTheNodeUnchanged) {
  TreeTable table = MakeTreeTable({Inner(3, 4, 5, 6, 0x0708)});
  TreeNode node;
  ASSERT_EQ(ReadNode(table, 0, &node), 0);
  for (int16_t n : {1, -9, 32767}) EXPECT_EQ(ReadNode(table, n, &node), 3) << n;
  EXPECT_EQ(
      (std::vector<int>{node.Opcode, node.Param1, node.Param2, node.BranchLimit, node.BaseNode}),
      (std::vector<int>{3, 4, 5, 6, 0x0708}));
  TreeTable closed;
  EXPECT_EQ(ReadNode(closed, 0, &node), 3);
}

TEST(WalkObserverTest, IsToldEveryReadEveryAnswerAndTheFailure) {
  const std::vector<TreeNodeRecord> by_age = Nodes(
      12, {{0, Inner(kAgeBelow, 0, 50, 1, 10)}, {10, Leaf(1, 100, 0)}, {11, Leaf(2, 200, 0)}});
  const std::vector<TreeNodeRecord> three = {Inner(kBranchZero, 0, 0, 1, 2), Leaf(1, 1, 0),
                                             Leaf(2, 2, 0)};
  const struct {
    const char* name;
    std::vector<TreeNodeRecord> nodes;
    TreeFileLayout layout;
    std::vector<std::string> events;
  } cases[] = {
      {"leaf", by_age, {}, {"read 0", "test 0 -> 1", "read 11"}},
      {"root leaf", {Leaf(1, 1, 0)}, {}, {"read 0"}},
      {"branch above limit",
       Nodes(4, {{0, Inner(kFirstDuration, 2, 0, 1, 1)}}),
       {},
       {"read 0", "test 15 -> 2", "failure 2 at 0"}},
      {"node outside", three, {8, 15}, {"read 0", "test 4 -> 0", "failure 3 at 2"}},
      {"root missing", {Leaf(1, 1, 0)}, {8, -1, 8}, {"failure 3 at 0"}},
      {"opcode 20", {Inner(20, 0, 0, 255, 1), Leaf(1, 1, 0)}, {}, {"read 0", "failure 2 at 0"}},
  };
  for (const auto& c : cases) {
    TreeNode node;
    WalkRecorder recorder;
    Walk(MakeTreeTable(c.nodes, c.layout), StateAged(40), &node, &recorder);
    EXPECT_EQ(recorder.events, c.events) << c.name;
  }
  // A cycle: 1000 tests, then the failure at the node whose test was next.
  TreeNode node;
  WalkRecorder recorder;
  Walk(MakeTreeTable({Inner(kBranchZero, 0, 0, 1, 1), Inner(kBranchZero, 0, 0, 1, 0)}),
       StateAged(40), &node, &recorder);
  ASSERT_EQ(recorder.events.size(), 1u + 2u * MaxWalkSteps + 1u);
  EXPECT_EQ(recorder.events.back(), "failure 1 at 0");
}

}  // namespace
}  // namespace grulo
