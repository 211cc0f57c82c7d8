#include "authoring/tree_placement.h"

#include <algorithm>
#include <map>
#include <string>

#include "tables/node_test_catalogue.h"

namespace grulo {
namespace {

std::string Quote(std::string_view w) { return std::string("'") + std::string(w) + "'"; }

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
      if (nodes_.size() >= kNodeNumberCount) {
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
    if (base + block > kNodeNumberCount) {
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

}  // namespace

bool PlaceTreeNodes(std::vector<NodeDecl>& decls, bool numbered, SourceErrors* errors,
                    std::vector<TreeNodeRecord>* nodes) {
  return TreePlacer(decls, errors).Place(numbered, nodes);
}

}  // namespace grulo
