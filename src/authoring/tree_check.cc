#include "authoring/tree_check.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "tables/big_endian.h"
#include "tables/node_test_catalogue.h"
#include "tables/open_tables.h"

namespace grulo {
namespace {

std::string Num(int64_t n) { return std::to_string(n); }

struct TreeFacts {
  const TableFile* file = nullptr;
  int size = 0;        // NodeSize
  int32_t offset = 0;  // NodeAreaOffset
  int32_t bound = 0;   // NodeBound

  int64_t OffsetOf(int n) const { return int64_t{offset} + int64_t{n} * size; }
  // The walk reads the node: its offset lies within 0..NodeBound.
  bool Readable(int n) const { return OffsetOf(n) >= 0 && OffsetOf(n) <= bound; }
  const uint8_t* Bytes(int n) const { return file->Peek(OffsetOf(n), size); }
};

int16_t NodeNumber(int base, int r) {
  return static_cast<int16_t>(static_cast<uint16_t>(base + r));
}

std::string NodeName(int n) { return "node " + Num(n); }

// "3, 5 to 9, 12" for sorted numbers.
std::string NumberRanges(const std::vector<int>& numbers, size_t max_ranges = 20) {
  std::string text;
  size_t ranges = 0;
  for (size_t i = 0; i < numbers.size();) {
    size_t j = i;
    while (j + 1 < numbers.size() && numbers[j + 1] == numbers[j] + 1) ++j;
    if (ranges == max_ranges) {
      text += ", ...";
      break;
    }
    if (!text.empty()) text += ", ";
    text += Num(numbers[i]);
    if (j > i) text += " to " + Num(numbers[j]);
    ++ranges;
    i = j + 1;
  }
  return text;
}

class TreeChecker {
 public:
  TreeChecker(const TreeFacts& facts, FileFindings* f) : t_(facts), f_(f) {}

  void Run();

 private:
  static size_t Slot(int n) { return static_cast<size_t>(n + 32768); }
  void Visit(int n, int from, int branch);
  void CheckInner(int n, const uint8_t* b);
  void ReportCycles();
  void ReportUnreached();

  const TreeFacts& t_;
  FileFindings* f_;
  std::vector<bool> seen_ = std::vector<bool>(65536, false);
  std::vector<int> order_;  // reachable, in visit order
  std::vector<std::vector<int>> next_ = std::vector<std::vector<int>>(65536);
  std::vector<bool> leaf_ = std::vector<bool>(65536, false);
  std::vector<bool> in_graph_ = std::vector<bool>(65536, false);  // read in full
  // Nodes a reachable node's BranchLimit admits, whether its test can take
  // them or not (an unused branch of BranchZero, say).
  std::vector<bool> covered_ = std::vector<bool>(65536, false);
  std::vector<int> pending_;
};

void TreeChecker::Visit(int n, int from, int branch) {
  if (seen_[Slot(n)]) return;
  seen_[Slot(n)] = true;
  const std::string where =
      from < 0 ? "the root, node 0,"
               : NodeName(n) + " (branch " + Num(branch) + " of node " + Num(from) + ")";
  if (!t_.Readable(n)) {
    f_->Error(where + " lies at offset " + Num(t_.OffsetOf(n)) + ", outside 0 to NodeBound " +
              Num(t_.bound) + ": the walk ends with 99 904 3");
    return;
  }
  const uint8_t* b = t_.Bytes(n);
  if (b == nullptr) {
    f_->Error(where + " at offset " + Num(t_.OffsetOf(n)) + " is not held in full by the file (" +
              Num(t_.file->size()) + " bytes)");
    return;
  }
  order_.push_back(n);
  in_graph_[Slot(n)] = true;
  if (n < 0) f_->Warning(NodeName(n) + " is reached by a branch and lies before node 0");
  if (b[kNodeBranchLimitAt] == 0) {
    leaf_[Slot(n)] = true;
    return;
  }
  CheckInner(n, b);
}

void TreeChecker::CheckInner(int n, const uint8_t* b) {
  const int opcode = b[kNodeOpcodeAt], p1 = b[kNodeParam1At], p2 = b[kNodeParam2At];
  const int limit = b[kNodeBranchLimitAt];
  const int base = ReadBigEndian16(b + kNodeBaseNodeAt);
  const std::string name = NodeName(n) + ": ";
  const NodeTestInfo* test = FindNodeTest(opcode);
  if (test == nullptr) {
    f_->Error(name + "opcode " + Num(opcode) + " has no test");
    return;
  }
  std::vector<int>& next = next_[Slot(n)];
  if (opcode == kJumpOpcode) {
    const int target = NodeNumber(base, p1 * 256 + p2);
    next.push_back(target);
    pending_.push_back(target);
    pending_.push_back(n);
    pending_.push_back(p1 * 256 + p2);
    return;
  }
  const std::string test_name(test->name);
  // The first-duration tests return at most the number of the highest
  // duration their mask selects.
  int max_branch = test->max_branch;
  if (opcode == 15 || opcode == 16) {
    max_branch = 0;
    for (int j = 1; j <= 8; ++j) {
      if ((p1 & (1 << (j - 1))) != 0) max_branch = j;
    }
  }
  if (limit < max_branch) {
    f_->Error(name + "BranchLimit " + Num(limit) + " cannot admit the branches 0 to " +
              Num(max_branch) + " of " + test_name + ": the walk ends with 99 904 2");
  }
  if ((opcode == 10 || opcode == 13) && (p1 < 1 || p1 > 12)) {
    f_->Error(name + test_name + " reads duration number " + Num(p1) + ", outside 1 to 12");
  }
  if (opcode == 3 && p1 != 0) {
    f_->Warning(name + "ActClassPresent with a threshold of " + Num(p1 * 256 + p2) +
                " never matches a class byte");
  }
  for (int r = 0; r <= limit; ++r) {
    const int target = NodeNumber(base, r);
    covered_[Slot(target)] = true;
    if (r <= max_branch) {
      next.push_back(target);
      pending_.push_back(target);
      pending_.push_back(n);
      pending_.push_back(r);
    } else if (!t_.Readable(target) || t_.Bytes(target) == nullptr) {
      f_->Error(name + "BranchLimit " + Num(limit) + " admits branch " + Num(r) + ", which leads " +
                "outside the node area (to node " + Num(target) + "; " + test_name +
                " never returns it)");
    }
  }
}

void TreeChecker::Run() {
  Visit(0, -1, 0);
  while (!pending_.empty()) {
    const int r = pending_.back();
    pending_.pop_back();
    const int from = pending_.back();
    pending_.pop_back();
    const int n = pending_.back();
    pending_.pop_back();
    Visit(n, from, r);
  }
  ReportCycles();
  ReportUnreached();
}

// Strongly connected components of the reachable nodes (iterative Tarjan):
// a cycle from which no leaf can be reached catches every walk that enters
// it; any other cycle catches the walks that go round it.
void TreeChecker::ReportCycles() {
  const size_t kNone = SIZE_MAX;
  std::vector<size_t> index(65536, kNone), low(65536, 0);
  std::vector<bool> on_stack(65536, false);
  std::vector<int> stack;
  std::vector<int> component_of(65536, -1);
  std::vector<std::vector<int>> components;
  size_t counter = 0;
  struct Frame {
    int node;
    size_t next;
  };
  for (int root : order_) {
    if (index[Slot(root)] != kNone) continue;
    std::vector<Frame> frames = {{root, 0}};
    index[Slot(root)] = low[Slot(root)] = counter++;
    stack.push_back(root);
    on_stack[Slot(root)] = true;
    while (!frames.empty()) {
      Frame& fr = frames.back();
      const std::vector<int>& succ = next_[Slot(fr.node)];
      if (fr.next < succ.size()) {
        const int w = succ[fr.next++];
        if (!in_graph_[Slot(w)]) continue;
        if (index[Slot(w)] == kNone) {
          index[Slot(w)] = low[Slot(w)] = counter++;
          stack.push_back(w);
          on_stack[Slot(w)] = true;
          frames.push_back({w, 0});
        } else if (on_stack[Slot(w)]) {
          low[Slot(fr.node)] = std::min(low[Slot(fr.node)], index[Slot(w)]);
        }
        continue;
      }
      const int v = fr.node;
      frames.pop_back();
      if (!frames.empty()) {
        low[Slot(frames.back().node)] = std::min(low[Slot(frames.back().node)], low[Slot(v)]);
      }
      if (low[Slot(v)] == index[Slot(v)]) {
        std::vector<int> component;
        int w;
        do {
          w = stack.back();
          stack.pop_back();
          on_stack[Slot(w)] = false;
          component_of[Slot(w)] = static_cast<int>(components.size());
          component.push_back(w);
        } while (w != v);
        components.push_back(std::move(component));
      }
    }
  }

  // Nodes from which a leaf can be reached, found backwards from the leaves.
  std::vector<std::vector<int>> before(65536);
  for (int n : order_) {
    for (int w : next_[Slot(n)]) before[Slot(w)].push_back(n);
  }
  std::vector<bool> finishes(65536, false);
  std::vector<int> work;
  for (int n : order_) {
    if (leaf_[Slot(n)]) {
      finishes[Slot(n)] = true;
      work.push_back(n);
    }
  }
  while (!work.empty()) {
    const int n = work.back();
    work.pop_back();
    for (int m : before[Slot(n)]) {
      if (!finishes[Slot(m)]) {
        finishes[Slot(m)] = true;
        work.push_back(m);
      }
    }
  }

  for (std::vector<int>& component : components) {
    const int first = component.front();
    const std::vector<int>& succ = next_[Slot(first)];
    const bool cycle =
        component.size() > 1 || std::find(succ.begin(), succ.end(), first) != succ.end();
    if (!cycle) continue;
    std::sort(component.begin(), component.end());
    const std::string cycle_text = component.size() == 1
                                       ? NodeName(first) + " leads back to itself"
                                       : "nodes " + NumberRanges(component) + " form a cycle";
    if (!finishes[Slot(first)]) {
      f_->Error(cycle_text + " without a way out: every walk that enters it ends with 99 904 1");
    } else {
      f_->Warning(cycle_text + ": a walk that goes round it ends with 99 904 1 after " +
                  Num(MaxWalkSteps) + " tests");
    }
  }
}

void TreeChecker::ReportUnreached() {
  if (t_.size <= 0 || t_.offset < 0) return;
  int64_t held = (t_.file->size() - t_.offset) / t_.size;  // whole records from node 0 on
  held = std::clamp<int64_t>(held, 0, 32768);
  const int64_t last_readable =
      t_.bound < t_.offset ? -1 : (int64_t{t_.bound} - t_.offset) / t_.size;
  std::vector<int> unreached, beyond;
  for (int n = 0; n < held; ++n) {
    if (!t_.Readable(n)) {
      beyond.push_back(n);
    } else if (!seen_[Slot(n)] && !covered_[Slot(n)]) {
      unreached.push_back(n);
    }
  }
  if (!unreached.empty()) {
    f_->Warning("nodes never reached (" + Num(static_cast<int64_t>(unreached.size())) +
                " in all): " + NumberRanges(unreached));
  }
  if (!beyond.empty()) {
    f_->Warning("the file holds node records beyond NodeBound " + Num(t_.bound) +
                " that the walk never reads: nodes " + NumberRanges(beyond));
  }
  if (last_readable >= held && last_readable >= 0) {
    f_->Warning("NodeBound " + Num(t_.bound) + " admits nodes up to " +
                Num(std::min<int64_t>(last_readable, 32767)) + ", but the file holds nodes up to " +
                Num(held - 1) + " only");
  }
}

}  // namespace

void CheckTreeFile(const TableFile& file, std::string_view table, CheckReport* report) {
  FileFindings f(table, report);
  const uint8_t* header = CheckedHeader(file, kTreeDescriptorCount, &f);
  if (header == nullptr) return;
  const SectionDescriptor nodes = ReadSectionDescriptor(header + DescriptorAt(1));
  if (nodes.record_size < kMinNodeSize || nodes.record_size > kMaxNodeSize) {
    f.Error("node size " + Num(nodes.record_size) +
            ": the program refuses a node size outside 6 to 12");
    return;
  }
  TreeFacts facts;
  facts.file = &file;
  facts.size = nodes.record_size;
  facts.offset = nodes.offset;
  facts.bound = static_cast<int32_t>(static_cast<uint32_t>(nodes.offset) +
                                     static_cast<uint32_t>(nodes.extent));
  if (nodes.offset < HeaderAndDescriptorsSize(kTreeDescriptorCount) && nodes.offset >= 0) {
    f.Warning("the node area at offset " + Num(nodes.offset) +
              " overlaps the header or the descriptor");
  }
  auto checker = std::make_unique<TreeChecker>(facts, &f);
  checker->Run();
}

}  // namespace grulo
