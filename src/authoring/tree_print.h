// A tree model printed as tree source text (the format of tree_source.h),
// in either of its two forms.

#ifndef GRULO_AUTHORING_TREE_PRINT_H_
#define GRULO_AUTHORING_TREE_PRINT_H_

#include <string>

#include "authoring/table_model.h"

namespace grulo {

// The numbered form of a model: one "@N" line per node.
std::string PrintTreeSourceNumbered(const TreeTableModel& model);

// The structured form of a model, with labels "nN"; false when the model
// cannot be written that way (a branch outside the nodes). Whether the
// structured text builds back to the same nodes depends on how they were
// placed: compare the bytes.
bool PrintTreeSourceStructured(const TreeTableModel& model, std::string* text);

// The text of a test with its parameters ("AgeBelow 18", "PairInAnyDiag 38
// 210", "BranchZero/7", "op/25 1 2").
std::string NodeTestText(const TreeNodeRecord& node);
// The text of a leaf's numbers ("01 001 00").
std::string LeafText(const TreeNodeRecord& node);

}  // namespace grulo

#endif  // GRULO_AUTHORING_TREE_PRINT_H_
