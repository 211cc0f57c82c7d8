// Consistency checks of table files, for the table toolkit: everything in a
// table that makes the program refuse it, read a wrong result or fail a walk
// (errors), and what is merely suspicious (warnings). Each finding names the
// offending code, entry or node. The tree's check is in tree_check.h.

#ifndef GRULO_AUTHORING_TABLE_CHECK_H_
#define GRULO_AUTHORING_TABLE_CHECK_H_

#include <string>
#include <string_view>

#include "authoring/check_report.h"
#include "tables/table_file.h"

namespace grulo {

// Checks one file of each kind; `table` names it in the findings. At most
// 200 findings are kept per file, followed by a count of the others.
void CheckDiagFile(const TableFile& file, std::string_view table, CheckReport* report);
void CheckActFile(const TableFile& file, std::string_view table, CheckReport* report);

// Checks that the version of a diagnosis or act table (`table` names it)
// agrees with the tree's: when not, every summary ends with 9.
void CheckVersionAgainstTree(const TableFile& tree, const TableFile& file, std::string_view table,
                             CheckReport* report);

// Checks the three files of a table directory ("/" is added to a directory
// that lacks it) and that the act and diagnosis versions agree with the
// tree's. A file that cannot be opened is an error.
void CheckTableDirectory(const std::string& directory, CheckReport* report);

}  // namespace grulo

#endif  // GRULO_AUTHORING_TABLE_CHECK_H_
