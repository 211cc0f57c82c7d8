#include "authoring/tree_source.h"

#include <cstdio>
#include <map>

#include "authoring/node_opcodes.h"
#include "authoring/table_source.h"

namespace grulo {
namespace {

constexpr int kMaxNodes = 65536;

struct ChildRef {
  enum Kind { kLabel, kLeaf, kUnused } kind = kUnused;
  std::string_view label;
  TreeNodeRecord leaf;
};

// One node line as written.
struct NodeDecl {
  int line = 0;
  long number = -1;  // "@N", or -1
  std::string_view label;
  bool leaf = false;
  TreeNodeRecord record;
  long limit = -1;  // "limit L", or -1
  bool has_children = false;
  std::vector<ChildRef> children;
  bool has_base = false;
  long base_number = -1;        // "base N"
  std::string_view base_label;  // "base label", or the target of "Jump -> label"
  bool jump_target = false;     // base = number of base_label - K
};

bool IsKeyword(std::string_view w) {
  return w == "limit" || w == "base" || w == "extra" || w == "->" || w == "opcode" || w == "leaf" ||
         w == "[" || w == "]";
}

bool IsLabel(std::string_view w) {
  if (w.empty() || IsKeyword(w)) return false;
  const char c0 = w[0];
  if (!((c0 >= 'A' && c0 <= 'Z') || (c0 >= 'a' && c0 <= 'z') || c0 == '_')) return false;
  for (char c : w) {
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
          c == '.')) {
      return false;
    }
  }
  return true;
}

std::string Quote(std::string_view w) { return std::string("'") + std::string(w) + "'"; }

// Reads the words of one node line, moving `at` along; reports the first
// error and returns false.
class NodeLineReader {
 public:
  NodeLineReader(const SourceLine& line, SourceErrors* errors)
      : words_(line.words), line_(line.number), errors_(errors) {}

  bool Read(NodeDecl* decl);

 private:
  bool AtEnd() const { return at_ >= words_.size(); }
  std::string_view Peek() const { return AtEnd() ? std::string_view() : words_[at_]; }
  bool Error(const std::string& message) {
    errors_->Add(line_, message);
    return false;
  }
  bool Number(std::string_view what, long max, long* value) {
    if (AtEnd()) return Error("expected " + std::string(what) + " at the end of the line");
    if (!ParseNumberWord(words_[at_], 0, max, value)) {
      return Error(std::string(what) + " " + Quote(words_[at_]) + " is not a number 0.." +
                   std::to_string(max));
    }
    ++at_;
    return true;
  }
  bool Extra(std::vector<uint8_t>* bytes);
  bool LeafArgs(bool bracketed, TreeNodeRecord* record);
  bool Test(NodeDecl* decl);
  bool Children(NodeDecl* decl);

  const std::vector<std::string_view>& words_;
  int line_;
  SourceErrors* errors_;
  size_t at_ = 0;
};

bool NodeLineReader::Extra(std::vector<uint8_t>* bytes) {
  bytes->clear();
  while (!AtEnd() && !IsKeyword(Peek())) {
    long value = 0;
    std::string_view w = Peek();
    if (w.size() % 2 != 0) return Error("extra bytes " + Quote(w) + " are not hexadecimal pairs");
    for (size_t i = 0; i < w.size(); i += 2) {
      if (!ParseNumberWord(std::string("0x") + std::string(w.substr(i, 2)), 0, 255, &value)) {
        return Error("extra bytes " + Quote(w) + " are not hexadecimal pairs");
      }
      bytes->push_back(static_cast<uint8_t>(value));
    }
    ++at_;
  }
  return true;
}

// "CAT NUM RET [opcode X] [extra HEX...]", up to "]" when bracketed.
bool NodeLineReader::LeafArgs(bool bracketed, TreeNodeRecord* record) {
  long category = 0, number = 0, return_code = 0;
  if (!Number("the leaf's category", 255, &category) ||
      !Number("the leaf's group number", 65535, &number) ||
      !Number("the leaf's return code", 255, &return_code)) {
    return false;
  }
  *record = TreeNodeRecord::Leaf(static_cast<uint8_t>(category), static_cast<uint16_t>(number),
                                 static_cast<uint8_t>(return_code));
  while (!AtEnd()) {
    std::string_view w = Peek();
    if (bracketed && w == "]") return true;
    ++at_;
    if (w == "opcode") {
      long op = 0;
      if (!Number("the leaf's opcode byte", 255, &op)) return false;
      record->opcode = static_cast<uint8_t>(op);
    } else if (w == "extra") {
      if (!Extra(&record->extra)) return false;
    } else {
      return Error("unexpected " + Quote(w) + " in a leaf");
    }
  }
  if (bracketed) return Error("a '[' leaf without its ']'");
  return true;
}

// The test name and its parameters.
bool NodeLineReader::Test(NodeDecl* decl) {
  std::string_view name = Peek();
  ++at_;
  int opcode = -1;
  const size_t slash = name.find('/');
  if (slash != std::string_view::npos) {
    long n = 0;
    if (!ParseNumberWord(name.substr(slash + 1), 0, 255, &n)) {
      return Error("opcode in " + Quote(name) + " is not a number 0..255");
    }
    opcode = static_cast<int>(n);
    std::string_view base_name = name.substr(0, slash);
    const NodeTestInfo* test = FindNodeTest(opcode);
    if (base_name != "op" && (test == nullptr || test->name != base_name)) {
      return Error("opcode " + std::to_string(opcode) + " is not " + Quote(base_name));
    }
  } else {
    opcode = OpcodeOfTestName(name);
    if (opcode < 0) {
      return Error(Quote(name) +
                   " is not a node test (AgeBelow, FirstCategoryBranch, ..., "
                   "Jump, op/N) nor 'leaf'");
    }
  }
  decl->record.opcode = static_cast<uint8_t>(opcode);

  std::vector<long> params;
  while (!AtEnd() && !IsKeyword(Peek())) {
    long value = 0;
    if (!ParseNumberWord(Peek(), 0, 65535, &value)) {
      return Error("parameter " + Quote(Peek()) + " is not a number");
    }
    params.push_back(value);
    ++at_;
  }
  const NodeTestInfo* test = FindNodeTest(opcode);
  const NodeParams kind = test != nullptr ? test->params : NodeParams::kNone;
  const std::string test_name =
      test != nullptr ? std::string(test->name) : std::string("op/") + std::to_string(opcode);
  if (kind == NodeParams::kThreshold) {
    if (opcode == kJumpOpcode && params.empty()) params.push_back(0);  // "Jump -> label"
    if (params.size() != 1) return Error(test_name + " takes one number 0..65535");
    decl->record.param1 = static_cast<uint8_t>(params[0] >> 8);
    decl->record.param2 = static_cast<uint8_t>(params[0] & 0xFF);
    return true;
  }
  const bool count_ok =
      (kind == NodeParams::kTwoBytes && params.size() == 2) ||
      (kind == NodeParams::kFirst && (params.size() == 1 || params.size() == 2)) ||
      (kind == NodeParams::kNone && test != nullptr && (params.empty() || params.size() == 2)) ||
      (test == nullptr && params.size() <= 2);
  if (!count_ok) {
    static constexpr const char* kExpected[] = {"no parameter (or two bytes)", "",
                                                "one byte (and an optional second)", "two bytes"};
    return Error(test_name + " takes " +
                 (test == nullptr ? "up to two bytes" : kExpected[static_cast<int>(kind)]));
  }
  for (long p : params) {
    if (p > 255)
      return Error("parameter " + std::to_string(p) + " of " + test_name + " is not a byte");
  }
  if (params.size() > 0) decl->record.param1 = static_cast<uint8_t>(params[0]);
  if (params.size() > 1) decl->record.param2 = static_cast<uint8_t>(params[1]);
  return true;
}

bool NodeLineReader::Children(NodeDecl* decl) {
  decl->has_children = true;
  while (!AtEnd()) {
    std::string_view w = Peek();
    if (w == "limit" || w == "base" || w == "extra") break;
    ++at_;
    ChildRef child;
    if (w == "-") {
      child.kind = ChildRef::kUnused;
    } else if (w == "[") {
      child.kind = ChildRef::kLeaf;
      if (!LeafArgs(true, &child.leaf)) return false;
      ++at_;  // the ']'
    } else if (IsLabel(w)) {
      child.kind = ChildRef::kLabel;
      child.label = w;
    } else {
      return Error(Quote(w) + " is not a child: a label, a leaf '[CAT NUM RET]' or '-'");
    }
    decl->children.push_back(child);
  }
  if (decl->children.empty()) return Error("'->' without children");
  return true;
}

bool NodeLineReader::Read(NodeDecl* decl) {
  decl->line = line_;
  std::string_view w = Peek();
  if (w.size() > 1 && w[0] == '@') {
    if (!ParseNumberWord(w.substr(1), 0, kMaxNodes - 1, &decl->number)) {
      return Error("node number " + Quote(w) + " is not @0..@65535");
    }
    ++at_;
  }
  w = Peek();
  if (w.size() > 1 && w.back() == ':') {
    decl->label = w.substr(0, w.size() - 1);
    if (!IsLabel(decl->label)) {
      return Error(Quote(decl->label) +
                   " is not a label (a letter or '_', then letters, digits, "
                   "'_' or '.'; not a keyword)");
    }
    ++at_;
  }
  if (AtEnd()) return Error("a label without its node");
  if (Peek() == "leaf") {
    ++at_;
    decl->leaf = true;
    return LeafArgs(false, &decl->record);
  }
  if (!Test(decl)) return false;
  while (!AtEnd()) {
    w = Peek();
    ++at_;
    if (w == "limit") {
      if (!Number("the branch limit", 255, &decl->limit)) return false;
      if (decl->limit == 0) return Error("limit 0 would make the node a leaf");
    } else if (w == "base") {
      if (AtEnd()) return Error("expected a node number or a label after 'base'");
      decl->has_base = true;
      if (IsLabel(Peek())) {
        decl->base_label = Peek();
        ++at_;
      } else if (!Number("the base node", 65535, &decl->base_number)) {
        return false;
      }
    } else if (w == "extra") {
      if (!Extra(&decl->record.extra)) return false;
    } else if (w == "->") {
      if (!Children(decl)) return false;
    } else {
      return Error("unexpected " + Quote(w) + " (expected limit, base, extra or ->)");
    }
  }
  return true;
}

// The branch limit of an inner node, or -1 after an error.
long ResolveLimit(NodeDecl* decl, SourceErrors* errors) {
  const NodeTestInfo* test = FindNodeTest(decl->record.opcode);
  const int max_branch = test != nullptr ? test->max_branch : -1;
  const std::string name = test != nullptr ? std::string(test->name) : "this test";
  if (decl->record.opcode == kJumpOpcode && decl->has_children) {
    if (decl->children.size() != 1 || decl->children[0].kind != ChildRef::kLabel ||
        decl->has_base) {
      errors->Add(decl->line, "a Jump goes to one labelled node: 'Jump K -> label'");
      return -1;
    }
    decl->has_children = false;
    decl->jump_target = true;
    decl->base_label = decl->children[0].label;
    decl->children.clear();
  }
  if (decl->has_children) {
    if (decl->has_base) {
      errors->Add(decl->line, "a node has either children ('->') or 'base', not both");
      return -1;
    }
    const long n = static_cast<long>(decl->children.size());
    if (decl->limit >= 0) {
      if (n > decl->limit + 1) {
        errors->Add(decl->line, std::to_string(n) + " children, but limit " +
                                    std::to_string(decl->limit) + " admits only " +
                                    std::to_string(decl->limit + 1));
        return -1;
      }
      return decl->limit;
    }
    if (n < max_branch + 1) {
      errors->Add(decl->line, name + " returns branches 0.." + std::to_string(max_branch) +
                                  ": list " + std::to_string(max_branch + 1) +
                                  " children (branch 0 first) or give a limit");
      return -1;
    }
    if (n > 256) {
      errors->Add(decl->line, "more than 256 children");
      return -1;
    }
    return std::max(n - 1, 1L);
  }
  if (!decl->has_base && !decl->jump_target) {
    errors->Add(decl->line, "an inner node needs its children ('-> ...') or 'base'");
    return -1;
  }
  if (decl->limit >= 0) return decl->limit;
  return std::max(max_branch, 1);
}

class TreePlacer {
 public:
  TreePlacer(std::vector<NodeDecl>& decls, SourceErrors* errors) : decls_(decls), errors_(errors) {}

  bool Place(bool numbered, std::vector<TreeNodeRecord>* nodes);

 private:
  int DeclOfLabel(std::string_view label, int line) {
    auto it = labels_.find(label);
    if (it == labels_.end()) {
      errors_->Add(line, "no node is labelled " + Quote(label));
      return -1;
    }
    return it->second;
  }
  void Put(int d, size_t n) {
    nodes_[n] = decls_[d].record;
    decl_at_[n] = d;
    number_of_[d] = static_cast<int>(n);
  }
  bool PlaceStructured();
  bool PlaceNumbered();
  bool ResolveBases();

  std::vector<NodeDecl>& decls_;
  SourceErrors* errors_;
  std::map<std::string_view, int> labels_;
  std::vector<TreeNodeRecord> nodes_;
  std::vector<int> decl_at_;    // the declaration placed at each node, or -1
  std::vector<int> number_of_;  // the node number of each declaration, or -1
};

bool TreePlacer::Place(bool numbered, std::vector<TreeNodeRecord>* nodes) {
  for (size_t d = 0; d < decls_.size(); ++d) {
    NodeDecl& decl = decls_[d];
    if (!decl.label.empty() && !labels_.emplace(decl.label, static_cast<int>(d)).second) {
      errors_->Add(decl.line, "label " + Quote(decl.label) + " is already used on line " +
                                  std::to_string(decls_[labels_[decl.label]].line));
    }
    if (!decl.leaf) {
      const long limit = ResolveLimit(&decl, errors_);
      if (limit > 0) decl.record.branch_limit = static_cast<uint8_t>(limit);
    }
  }
  if (!errors_->empty()) return false;
  number_of_.assign(decls_.size(), -1);
  if (!(numbered ? PlaceNumbered() : PlaceStructured())) return false;
  if (!ResolveBases()) return false;
  *nodes = std::move(nodes_);
  return true;
}

bool TreePlacer::PlaceStructured() {
  nodes_.assign(1, TreeNodeRecord());
  decl_at_.assign(1, -1);
  Put(0, 0);
  size_t next_unplaced = 0;
  for (size_t i = 0;; ++i) {
    if (i == nodes_.size()) {
      // Nodes that no list placed follow, in the order of the source.
      while (next_unplaced < decls_.size() && number_of_[next_unplaced] >= 0) ++next_unplaced;
      if (next_unplaced == decls_.size()) break;
      if (nodes_.size() >= kMaxNodes) {
        errors_->Add(decls_[next_unplaced].line, "the tree has more than 65536 nodes");
        return false;
      }
      nodes_.emplace_back();
      decl_at_.push_back(-1);
      Put(static_cast<int>(next_unplaced), i);
    }
    const int d = decl_at_[i];
    if (d < 0 || !decls_[d].has_children) continue;
    const NodeDecl& decl = decls_[d];
    const size_t base = nodes_.size();
    const size_t block = size_t{decl.record.branch_limit} + 1;
    if (base + block > kMaxNodes) {
      errors_->Add(decl.line, "the tree has more than 65536 nodes");
      return false;
    }
    nodes_[i].base_node = static_cast<uint16_t>(base);
    nodes_.resize(base + block);
    decl_at_.resize(base + block, -1);
    for (size_t j = 0; j < decl.children.size(); ++j) {
      const ChildRef& child = decl.children[j];
      if (child.kind == ChildRef::kLeaf) {
        nodes_[base + j] = child.leaf;
      } else if (child.kind == ChildRef::kLabel) {
        const int c = DeclOfLabel(child.label, decl.line);
        if (c < 0) continue;
        if (number_of_[c] < 0) {
          Put(c, base + j);
        } else if (decls_[c].leaf) {
          nodes_[base + j] = decls_[c].record;  // a leaf may sit in several places
        } else {
          errors_->Add(decl.line, "node " + Quote(child.label) + " already sits at node " +
                                      std::to_string(number_of_[c]) +
                                      ": an inner node has one place (reach it with a Jump)");
        }
      }
    }
  }
  return errors_->empty();
}

bool TreePlacer::PlaceNumbered() {
  long count = 0;
  for (const NodeDecl& decl : decls_) count = std::max(count, decl.number + 1);
  nodes_.assign(static_cast<size_t>(count), TreeNodeRecord());
  decl_at_.assign(static_cast<size_t>(count), -1);
  for (size_t d = 0; d < decls_.size(); ++d) {
    const NodeDecl& decl = decls_[d];
    if (decl.has_children) {
      errors_->Add(decl.line, "in a tree of numbered nodes, an inner node gives 'base', not '->'");
      continue;
    }
    if (decl_at_[decl.number] >= 0) {
      errors_->Add(decl.line, "node @" + std::to_string(decl.number) +
                                  " is already given on line " +
                                  std::to_string(decls_[decl_at_[decl.number]].line));
      continue;
    }
    Put(static_cast<int>(d), static_cast<size_t>(decl.number));
  }
  return errors_->empty();
}

bool TreePlacer::ResolveBases() {
  for (size_t n = 0; n < nodes_.size(); ++n) {
    const int d = decl_at_[n];
    if (d < 0 || decls_[d].leaf || decls_[d].has_children) continue;
    const NodeDecl& decl = decls_[d];
    long base = decl.base_number;
    if (!decl.base_label.empty()) {
      const int target = DeclOfLabel(decl.base_label, decl.line);
      if (target < 0) continue;
      base = number_of_[target];
      if (decl.jump_target) base -= decl.record.param1 * 256 + decl.record.param2;
    }
    nodes_[n].base_node = static_cast<uint16_t>(static_cast<unsigned long>(base) & 0xFFFF);
  }
  return errors_->empty();
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

bool ParseTreeSource(std::string_view text, std::string_view file_name, TreeTableModel* model,
                     std::vector<std::string>* errors_out) {
  *model = TreeTableModel();
  SourceErrors errors(file_name);
  bool version_seen = false;
  std::vector<NodeDecl> decls;
  std::vector<int> extra_lines;
  for (const SourceLine& line : SplitSource(text)) {
    const std::vector<std::string_view>& w = line.words;
    if (ParseCommonDirective(line, 1, &model->version, &version_seen, &model->layout, &errors)) {
      continue;
    }
    if (w[0] == "node-size") {
      long value = 0;
      if (w.size() != 2 || !ParseNumberWord(w[1], 1, 255, &value)) {
        errors.Add(line.number, "expected 'node-size' and a number 1..255");
      } else {
        model->node_size = static_cast<int>(value);
      }
      continue;
    }
    NodeDecl decl;
    if (NodeLineReader(line, &errors).Read(&decl)) decls.push_back(std::move(decl));
  }
  if (!version_seen) errors.Add(1, "no 'version' line");
  if (decls.empty() && errors.empty()) errors.Add(1, "no node");
  const bool numbered = !decls.empty() && decls[0].number >= 0;
  for (const NodeDecl& decl : decls) {
    if ((decl.number >= 0) != numbered) {
      errors.Add(decl.line, "either every node line starts with '@number' or none does");
      break;
    }
  }
  const size_t room = model->node_size > 6 ? static_cast<size_t>(model->node_size - 6) : 0;
  for (const NodeDecl& decl : decls) {
    bool too_long = decl.record.extra.size() > room;
    for (const ChildRef& child : decl.children) too_long |= child.leaf.extra.size() > room;
    if (too_long) {
      errors.Add(decl.line, "more extra bytes than the node size " +
                                std::to_string(model->node_size) + " leaves (" +
                                std::to_string(room) + ")");
    }
  }
  if (errors.empty()) TreePlacer(decls, &errors).Place(numbered, &model->nodes);
  *errors_out = errors.Take();
  return errors_out->empty();
}

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
    std::string line = Padded(std::string("@") + std::to_string(n), 7);
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
          word = std::string("n") + std::to_string(t);
        } else if (r > max_branch && IsZeroRecord(child)) {
          word = "-";
        } else {
          word = "[" + LeafWithOptions(child) + "]";
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
