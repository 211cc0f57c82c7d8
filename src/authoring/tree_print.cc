#include "authoring/tree_print.h"

#include <cstdio>

#include "authoring/source_syntax.h"
#include "tables/node_test_catalogue.h"

namespace grulo {
namespace {

// A character followed by a number: "@12", "n7".
std::string NumberAfter(char c, int64_t n) {
  std::string text(1, c);
  text += std::to_string(n);
  return text;
}

std::string Padded(std::string text, size_t width) {
  if (text.size() < width) text.resize(width, ' ');
  return text;
}

std::string ExtraText(const std::vector<uint8_t>& extra) {
  size_t n = extra.size();
  while (n > 0 && extra[n - 1] == 0) --n;
  if (n == 0) return std::string();
  return " extra " + HexWords(std::vector<uint8_t>(extra.begin(), extra.begin() + n));
}

std::string LeafWithOptions(const TreeNodeRecord& node) {
  std::string text = LeafText(node);
  if (node.opcode != 0) text += " opcode " + std::to_string(node.opcode);
  return text + ExtraText(node.extra);
}

std::string Directives(const TreeTableModel& model) {
  std::string text = "# Decision tree (arbressr.tab).\n";
  text += PrintCommonDirectives(model.version, model.layout);
  text += "node-size " + std::to_string(model.node_size) + "\n";
  return text;
}

bool IsZeroRecord(const TreeNodeRecord& node) {
  for (uint8_t b : node.extra) {
    if (b != 0) return false;
  }
  return node.opcode == 0 && node.param1 == 0 && node.param2 == 0 && node.branch_limit == 0 &&
         node.base_node == 0;
}

// Node number of branch r: BaseNode + r modulo 65536, read as signed 16-bit.
int BranchTarget(const TreeNodeRecord& node, int r) {
  return static_cast<int16_t>(static_cast<uint16_t>(node.base_node + r));
}

}  // namespace

std::string NodeTestText(const TreeNodeRecord& node) {
  const NodeTestInfo* test = FindNodeTest(node.opcode);
  std::string text;
  if (test == nullptr) {
    text = std::string("op/") + std::to_string(node.opcode);
  } else {
    text = std::string(test->name);
    if (!IsFirstOpcodeOfName(node.opcode)) text += std::string("/") + std::to_string(node.opcode);
  }
  const std::string p1 = std::to_string(node.param1);
  const std::string p2 = std::to_string(node.param2);
  const NodeParams kind = test != nullptr ? test->params : NodeParams::kNone;
  switch (kind) {
    case NodeParams::kThreshold:
      return text + " " + std::to_string(node.param1 * 256 + node.param2);
    case NodeParams::kTwoBytes:
      return text + " " + p1 + " " + p2;
    case NodeParams::kFirst:
      return text + " " + p1 + (node.param2 != 0 ? " " + p2 : "");
    case NodeParams::kNone:
      break;
  }
  if (node.param1 != 0 || node.param2 != 0) text += " " + p1 + " " + p2;
  return text;
}

std::string LeafText(const TreeNodeRecord& node) {
  char text[32];
  std::snprintf(text, sizeof text, "%02u %03u %02u", unsigned{node.param2},
                unsigned{node.base_node}, unsigned{node.param1});
  return text;
}

std::string PrintTreeSourceNumbered(const TreeTableModel& model) {
  std::string text = Directives(model);
  for (size_t n = 0; n < model.nodes.size(); ++n) {
    const TreeNodeRecord& node = model.nodes[n];
    std::string line = Padded(NumberAfter('@', n), 7);
    if (node.is_leaf()) {
      line += "leaf " + LeafWithOptions(node);
    } else {
      line += NodeTestText(node) + " limit " + std::to_string(node.branch_limit) + " base " +
              std::to_string(node.base_node) + ExtraText(node.extra);
    }
    text += line + "\n";
  }
  return text;
}

bool PrintTreeSourceStructured(const TreeTableModel& model, std::string* text) {
  const int count = static_cast<int>(model.nodes.size());
  if (count == 0) return false;
  // Leaves written inside their parent's list: in exactly one block, not the
  // root, not the target of a jump or base.
  std::vector<int> blocks_holding(count, 0);
  std::vector<bool> referenced(count, false);
  for (const TreeNodeRecord& node : model.nodes) {
    if (node.is_leaf()) continue;
    if (node.opcode == kJumpOpcode) {
      const int t = BranchTarget(node, node.param1 * 256 + node.param2);
      if (t < 0 || t >= count) return false;
      referenced[t] = true;
      continue;
    }
    for (int r = 0; r <= node.branch_limit; ++r) {
      const int t = BranchTarget(node, r);
      if (t < 0 || t >= count) return false;
      ++blocks_holding[t];
    }
  }
  auto inline_leaf = [&](int n) {
    return n != 0 && model.nodes[n].is_leaf() && blocks_holding[n] == 1 && !referenced[n];
  };

  std::string out = Directives(model);
  for (int n = 0; n < count; ++n) {
    if (inline_leaf(n)) continue;
    const TreeNodeRecord& node = model.nodes[n];
    std::string line = std::string("n") + std::to_string(n) + ": ";
    if (node.is_leaf()) {
      line += "leaf " + LeafWithOptions(node);
    } else if (node.opcode == kJumpOpcode) {
      line += NodeTestText(node);
      if (node.branch_limit != 1) line += " limit " + std::to_string(node.branch_limit);
      line += ExtraText(node.extra) + " -> n" +
              std::to_string(BranchTarget(node, node.param1 * 256 + node.param2));
    } else {
      const NodeTestInfo* test = FindNodeTest(node.opcode);
      const int max_branch = test != nullptr ? test->max_branch : node.branch_limit;
      line += NodeTestText(node);
      if (node.branch_limit < max_branch) line += " limit " + std::to_string(node.branch_limit);
      line += ExtraText(node.extra) + " ->";
      for (int r = 0; r <= node.branch_limit; ++r) {
        const int t = BranchTarget(node, r);
        const TreeNodeRecord& child = model.nodes[t];
        std::string word;
        if (!inline_leaf(t)) {
          word = NumberAfter('n', t);
        } else if (r > max_branch && IsZeroRecord(child)) {
          word = "-";
        } else {
          word = '[';
          word += LeafWithOptions(child);
          word += ']';
        }
        if (line.size() - (line.rfind('\n') + 1) + word.size() > 95) {
          line += " \\\n   ";  // a long list goes on on the next line
        }
        line += " " + word;
      }
    }
    out += line + "\n";
  }
  *text = std::move(out);
  return true;
}

}  // namespace grulo
