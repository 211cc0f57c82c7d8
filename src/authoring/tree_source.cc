#include "authoring/tree_source.h"

#include <string>

#include "authoring/source_syntax.h"
#include "authoring/tree_placement.h"
#include "tables/node_test_catalogue.h"

namespace grulo {
namespace {

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
    if (!ParseNumberWord(w.substr(1), 0, kNodeNumberCount - 1, &decl->number)) {
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

}  // namespace

Status ParseSource(std::string_view text, std::string_view path, TreeTableModel* model) {
  *model = TreeTableModel();
  SourceErrors errors(path);
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
  if (errors.empty()) PlaceTreeNodes(decls, numbered, &errors, &model->nodes);
  return errors.ToStatus();
}

bool ParseTreeSource(std::string_view text, std::string_view file_name, TreeTableModel* model,
                     std::vector<std::string>* errors) {
  const Status status = ParseSource(text, file_name, model);
  *errors = MessageLines(status);
  return status.ok();
}

}  // namespace grulo
