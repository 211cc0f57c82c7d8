// The table problems of a run, told to the operator at its end. Every
// summary that met a table problem carries it in its outputs (return code 99
// or 9 on its .grp line, a message in the .err file) and the run completes;
// what these do not say is which file was tried and why it failed. So the
// run counts the summaries that got each outcome, and at its end the table
// files are examined again, the way the run opens them, for the reasons.

#ifndef GRULO_BATCH_TABLE_REPORT_H_
#define GRULO_BATCH_TABLE_REPORT_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "record/group_result.h"
#include "tables/open_tables.h"

namespace grulo {

// How many summaries got each table outcome.
struct TableOutcomes {
  int64_t tree_failed = 0;      // 99 before the tree table was open (no version yet)
  int64_t later_failed = 0;     // 99 with the tree's version: the act or diagnosis table
  int64_t versions_differ = 0;  // 9: the act or diagnosis table of another version

  // Counts a summary that a table problem ended: `status` is 99 or 9, and
  // `version` the tree's version it got (empty while the tree table was not
  // open).
  void Count(int16_t status, const VersionText& version) {
    if (status == kTableVersionsDiffer) {
      ++versions_differ;
    } else if (status == kTableCannotOpen) {
      ++(VersionView(version).empty() ? tree_failed : later_failed);
    }
  }
  bool any() const { return tree_failed + later_failed + versions_differ > 0; }
};

enum class TableRole { kTree, kActs, kDiags };

// A table file as the run would find it now.
struct TableFileState {
  std::string path;      // the table directory immediately followed by the name
  bool usable = false;   // the run would open it
  std::string problem;   // why not, for a person: "missing", "too short (40 bytes)..."
  VersionText version{};  // when usable
};

// Examines the table file of `role` in `rep_tab` the way the run opens it:
// there, a regular file, long enough for its header and descriptors, with a
// node size of 6 to 12 (tree) or a record size of 1 to 12 (diagnoses).
TableFileState ExamineTableFile(std::string_view rep_tab, TableRole role);

// The warnings for the table problems of a complete run, one line each: the
// path tried, the reason and the number of summaries, plus a hint when
// RepTab names a directory without the separator at its end, or is empty.
// `where` tells where RepTab came from ("RepTab in /opt/grulo/grulo.ini").
// None when no summary met a table problem.
std::vector<std::string> TableWarnings(std::string_view rep_tab, std::string_view where,
                                       const TableOutcomes& outcomes);

}  // namespace grulo

#endif  // GRULO_BATCH_TABLE_REPORT_H_
