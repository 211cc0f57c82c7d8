// The table files that the hand-made summaries of the whole-program tests
// are grouped with.

#ifndef GRULO_TESTS_SUMMARY_TABLES_TESTUTIL_H_
#define GRULO_TESTS_SUMMARY_TABLES_TESTUTIL_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "authoring/table_model.h"
#include "grouper/line_outcome.h"

namespace grulo::test {

// Writes into `table_dir` a tree of the given nodes, the acts ZZQK0020,
// DEQP0030 and YYYY0150 of class 4, and the diagnoses Z501, I10, E119, J45+0
// and N18 (category 30, allowed in every position), each table with its
// version; a table whose version is empty is not written.
// The bytes of one of those tables; none for an empty version.
std::optional<std::vector<uint8_t>> SummaryTableBytes(TableRole role,
                                                      const std::vector<TreeNodeRecord>& nodes,
                                                      const std::string& version);

void WriteSummaryTables(const std::string& table_dir, const std::vector<TreeNodeRecord>& nodes,
                        const std::string& tree_version, const std::string& act_version,
                        const std::string& diag_version);

}  // namespace grulo::test

#endif  // GRULO_TESTS_SUMMARY_TABLES_TESTUTIL_H_
