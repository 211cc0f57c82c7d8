// The tables of one run and their story: the one owner of what happened to
// them. The batch asks it for every well-formed summary, in input order; an
// explanation of line N replays it over the summaries before N; the warnings
// at the end of a run and a report read its story.
//
// The batch's rules, all kept here:
// - the tables are opened on first use, in the order tree, acts, diagnoses,
//   up to the first that fails; an open table stays open for the run;
// - a table that failed is tried again for the next summary (and its
//   message is written again: a summary ended by a table problem gets 0, 0
//   and 99);
// - the act and diagnosis tables are compared with the tree table's version
//   only by the summary that opens them: when they differ, that summary
//   ends with 0, 0 and 9, the table stays open, and later summaries are
//   grouped with it.
// Once all three are open they form one TableSet, shared by every thread.

#ifndef GRULO_GROUPER_TABLE_SESSION_H_
#define GRULO_GROUPER_TABLE_SESSION_H_

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "base/status.h"
#include "grouper/line_outcome.h"
#include "grouper/table_set.h"
#include "grouper/table_source.h"
#include "tables/open_tables.h"

namespace grulo {

enum class TableState {
  kNotTried,  // no summary reached it
  kOpen,      // opened, and open for the rest of the run
  kFailed,    // its last opening failed; the next summary tries again
};

// One table as the run saw it.
struct TableStory {
  std::string path;  // where it was looked for (TableSource::PathOf)
  TableState state = TableState::kNotTried;
  // Why its last opening failed (path and reason); ok while none did.
  Status failure;
  // Its version, once open.
  VersionText version{};
  // The summaries that got 99 because it could not be opened.
  int64_t cannot_open = 0;
  // It opened with another version than the tree table's: the summary that
  // opened it got 9 (never more than one).
  bool version_differs = false;
};

class TableSession {
 public:
  explicit TableSession(TableSource source);
  TableSession(const TableSession&) = delete;
  TableSession& operator=(const TableSession&) = delete;

  // The tables for the next well-formed summary, opening what is not open
  // yet: the table set to group it with, the tree table's version put into
  // `outcome`; or nullptr when a table problem ends the summary, after
  // `outcome` got it (kind kTableProblem, result 0, 0 and 99 or 9, the
  // version of the tree table once open, the problem). `outcome` has just
  // been started (LineOutcome::Start). Once all three tables are open this
  // costs a test.
  const TableSet* ForSummary(LineOutcome* outcome);

  // Applies the same rules for `summaries` well-formed summaries without
  // grouping them: the session then stands where the batch's stands before
  // the next one (an explanation of line N replays those before it).
  void Replay(int64_t summaries);

  // All three tables, once open, to share with other threads; null before.
  const std::shared_ptr<const TableSet>& table_set() const { return set_; }
  // The tree table's version; empty while it is not open.
  const VersionText& tree_version() const { return story_[0].version; }

  const TableSource& source() const { return source_; }
  const TableStory& story(TableRole role) const { return story_[static_cast<size_t>(role)]; }
  // Whether some summary met a table problem.
  bool any_problem() const;

 private:
  // The set for the next summary, or nullptr with problem_ set.
  const TableSet* Next();
  // Opens the table of `role` into `table` with `adopt`; false, with the
  // story and problem_ told why, when it fails.
  template <typename Table, typename Adopt>
  bool Open(TableRole role, Adopt adopt, Table* table);
  // The table of `role`, just opened, against the tree table's version;
  // false, with the story and problem_ told, when they differ.
  bool VersionAgrees(TableRole role, const VersionText& version);

  TableStory& StoryOf(TableRole role) { return story_[static_cast<size_t>(role)]; }

  const TableSource source_;
  std::array<TableStory, 3> story_;
  OpenTables pending_;  // the tables opened so far, until all three are
  std::shared_ptr<const TableSet> set_;
  TableProblem problem_;  // of the last summary a table problem ended
};

}  // namespace grulo

#endif  // GRULO_GROUPER_TABLE_SESSION_H_
