// The text source of the decision tree (arbressr.tab): reading it into a
// TreeTableModel. The nodes are placed by tree_placement.h; a model is
// printed back as text by tree_print.h.
//
// Besides the common directives of source_syntax.h (version, header,
// descriptor 1, trailer) a tree source has
//
//   node-size 6                 bytes per node record, 6 to 12 (default 6)
//
// and one line per node. A node line is an optional label ("name:"), then
// either a leaf or a test:
//
//   leaf CAT NUM RET            GroupCategory, GroupNumber, GroupReturn
//   TEST PARAMS... [limit L] [-> CHILD...] [base B] [extra HEX...]
//
// TEST is one of the twenty test names (AgeBelow, FirstCategoryBranch, ...,
// Jump), "BranchZero/7" to pick one of the opcodes sharing a name, or "op/N"
// for any opcode 0 to 255. The parameters follow the test: one number 0 to
// 65535 for AgeBelow, ActClassPresent, ScoreSumAtMost and Jump (K = Param1 x
// 256 + Param2); two bytes for the pair and duration tests; one byte (and an
// optional second) for RefDelayWithin and PresenceBelow; none (or two bytes)
// for the others. A leaf may end with "opcode X" and any node with "extra
// HEX..." for the bytes that the walk never reads.
//
// Two ways of placing the nodes:
//
// 1. Structured (no line starts with '@'). The first node is the root, node
//    0. An inner node lists its children after "->", branch 0 first (for a
//    yes/no test: the "no" child, then the "yes" child); the tool puts them
//    at consecutive node numbers, breadth first, and sets BaseNode and
//    BranchLimit (the number of children less one; give "limit L" for a
//    larger one). A child is a label, an inline leaf "[CAT NUM RET]", or "-"
//    for a branch the test never takes. A label may be the child of only
//    one node, except a leaf, which is copied. "Jump K -> label" jumps to a
//    node placed elsewhere (BaseNode = its number - K); "base label" or
//    "base N" also sets BaseNode without placing children.
//
//      root:  FirstCategoryBranch -> neuro [01 100 00] [01 101 00] ...
//      neuro: AgeBelow 18 -> [01 001 00] [01 002 00]
//
// 2. Numbered: every node line starts with "@N", the node number, and every
//    inner node gives "limit L" and "base B" (a number or a label). Missing
//    numbers are all-zero records. This form writes any tree, shared
//    children and cycles included:
//
//      @0 FirstCategoryBranch limit 13 base 1
//      @1 leaf 01 001 00

#ifndef GRULO_AUTHORING_TREE_SOURCE_H_
#define GRULO_AUTHORING_TREE_SOURCE_H_

#include <string>
#include <string_view>
#include <vector>

#include "authoring/table_model.h"
#include "base/status.h"

namespace grulo {

// Reads a tree source into a model, filled from scratch. Not ok
// (kInvalidArgument) when the source has errors: the message holds one line
// per error, each "path:line: what" (at most 50).
Status ParseSource(std::string_view text, std::string_view path, TreeTableModel* model);

// The same for callers that keep a bool and the messages as texts: false with
// one text per error line.
bool ParseTreeSource(std::string_view text, std::string_view file_name, TreeTableModel* model,
                     std::vector<std::string>* errors);

}  // namespace grulo

#endif  // GRULO_AUTHORING_TREE_SOURCE_H_
