// The consistency check of a decision tree file: the walk from node 0 as the
// program runs it, every node it can reach, the branches each test can take,
// cycles and nodes never reached.

#ifndef GRULO_AUTHORING_TREE_CHECK_H_
#define GRULO_AUTHORING_TREE_CHECK_H_

#include <string_view>

#include "authoring/check_report.h"
#include "tables/table_file.h"

namespace grulo {

// Checks a tree file; `table` names it in the findings.
void CheckTreeFile(const TableFile& file, std::string_view table, CheckReport* report);

}  // namespace grulo

#endif  // GRULO_AUTHORING_TREE_CHECK_H_
