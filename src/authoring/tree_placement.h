// Where the nodes of a tree source go: the node lines as written (labels,
// children, "base", "limit", "@N") turned into node records with their
// numbers, BaseNode and BranchLimit. The two ways of placing nodes
// (structured and numbered) are described in tree_source.h.

#ifndef GRULO_AUTHORING_TREE_PLACEMENT_H_
#define GRULO_AUTHORING_TREE_PLACEMENT_H_

#include <string_view>
#include <vector>

#include "authoring/source_syntax.h"
#include "authoring/table_model.h"
#include "tables/table_layout.h"

namespace grulo {

// A child in a node's list after "->".
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

// Places the node lines of one source: numbered (every line gave "@N") or
// structured (the first line is the root, children follow breadth first).
// Sets the branch limit and BaseNode of every inner node, resolving labels.
// False, with every error reported at its line, when the lines cannot be
// placed; `decls` is updated on the way (limits, jump targets).
bool PlaceTreeNodes(std::vector<NodeDecl>& decls, bool numbered, SourceErrors* errors,
                    std::vector<TreeNodeRecord>* nodes);

}  // namespace grulo

#endif  // GRULO_AUTHORING_TREE_PLACEMENT_H_
