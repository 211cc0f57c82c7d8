#include "grouper/table_session.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "authoring/table_model.h"
#include "checks/summary_testutil.h"
#include "grouper/summary_grouper.h"
#include "record/summary_layout.h"
#include "tests/process_testutil.h"
#include "tests/summary_tables_testutil.h"

namespace grulo {
namespace {

// The bytes of a table of the version; none for "". The tree sends adults
// to leaf 5/300/0.
std::optional<std::vector<uint8_t>> TableBytes(TableRole role, const std::string& version) {
  return test::SummaryTableBytes(role,
                                 {TreeNodeRecord::Inner(0, 0, 18, 1, 1),
                                  TreeNodeRecord::Leaf(5, 300, 0), TreeNodeRecord::Leaf(6, 301, 0)},
                                 version);
}

// Writes the tables of the versions into the directory ("" removes one).
void WriteTables(const std::string& dir, const std::vector<std::string>& versions) {
  for (TableRole role : kTableRoles) {
    const std::string path = dir + TableFileName(role);
    std::filesystem::remove(path);
    auto bytes = TableBytes(role, versions[static_cast<size_t>(role)]);
    if (bytes) test::WriteFileBytes(path, std::string(bytes->begin(), bytes->end()));
  }
}

// What the session gives a summary: the return code of its table problem,
// or 0 when it hands out the tables.
int16_t Ask(TableSession* session, LineOutcome* outcome) {
  outcome->Start(LineFormat::kWellFormed);
  const TableSet* set = session->ForSummary(outcome);
  EXPECT_EQ(set == nullptr, outcome->table_problem != nullptr);
  return set == nullptr ? outcome->result.GroupReturn : 0;
}

// The batch's rules, table by table: the order tree, acts, diagnoses up to
// the first that fails; a table that cannot be opened ends every summary and
// is tried again with the next; a version that differs ends only the
// summary that opens the table. Replaying the summaries gives the same.
TEST(TableSessionTest, OpeningOrderRetriesAndVersions) {
  const struct {
    const char* name;
    std::vector<std::string> versions;  // tree, acts, diagnoses; "": missing
    std::vector<int16_t> returns;       // of the first three summaries
    TableRole problem_table;
    std::vector<TableState> states;
    int64_t cannot_open;
  } cases[] = {
      {"all open", {"V1", "V1", "V1"}, {0, 0, 0}, TableRole::kTree,
       {TableState::kOpen, TableState::kOpen, TableState::kOpen}, 0},
      {"no tree", {"", "V1", "V1"}, {99, 99, 99}, TableRole::kTree,
       {TableState::kFailed, TableState::kNotTried, TableState::kNotTried}, 3},
      {"no acts", {"V1", "", "V1"}, {99, 99, 99}, TableRole::kActs,
       {TableState::kOpen, TableState::kFailed, TableState::kNotTried}, 3},
      {"no diagnoses", {"V1", "V1", ""}, {99, 99, 99}, TableRole::kDiags,
       {TableState::kOpen, TableState::kOpen, TableState::kFailed}, 3},
      {"acts of another version", {"V1", "W1", "V1"}, {9, 0, 0}, TableRole::kActs,
       {TableState::kOpen, TableState::kOpen, TableState::kOpen}, 0},
      {"both of other versions", {"V1", "W1", "W2"}, {9, 9, 0}, TableRole::kDiags,
       {TableState::kOpen, TableState::kOpen, TableState::kOpen}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    WriteTables(dir.File(""), c.versions);
    TableSession session(TableSource::InDirectory(dir.File("")));
    LineOutcome outcome;
    std::vector<int16_t> returns;
    for (int i = 0; i < 3; ++i) returns.push_back(Ask(&session, &outcome));
    EXPECT_EQ(returns, c.returns);
    std::vector<TableState> states;
    int64_t cannot_open = 0;
    for (TableRole role : kTableRoles) {
      states.push_back(session.story(role).state);
      cannot_open += session.story(role).cannot_open;
    }
    EXPECT_EQ(states, c.states);
    EXPECT_EQ(cannot_open, c.cannot_open);
    EXPECT_EQ(session.any_problem(), c.returns[0] != 0);
    if (c.returns[0] != 0) {
      // The last problem: the table, its path and the reason, as the .grp
      // line's version the tree's once it is open.
      EXPECT_EQ(outcome.kind, c.returns[2] != 0 ? OutcomeKind::kTableProblem : OutcomeKind::kGrouped);
      const std::string path = dir.File(TableFileName(c.problem_table));
      EXPECT_EQ(session.story(c.problem_table).path, path);
      if (c.returns[2] != 0) {
        EXPECT_EQ(outcome.table_problem->table, c.problem_table);
        EXPECT_TRUE(outcome.table_problem->reason.message().starts_with(path + ": "))
            << outcome.table_problem->reason.message();
      }
    }
    EXPECT_EQ(VersionView(outcome.version), c.versions[0]);
    // A session replayed over the first two summaries gives the third what
    // this one gave it.
    TableSession replayed(TableSource::InDirectory(dir.File("")));
    replayed.Replay(2);
    EXPECT_EQ(Ask(&replayed, &outcome), c.returns[2]);
    // Tables put right: a table that failed opens with the next summary.
    WriteTables(dir.File(""), {"V1", "V1", "V1"});
    if (c.versions[0].empty() || c.versions[1].empty() || c.versions[2].empty()) {
      EXPECT_EQ(Ask(&session, &outcome), 0);
      EXPECT_EQ(session.story(c.problem_table).state, TableState::kOpen);
    }
  }
}

// Tables given as paths or held in memory follow the same rules; a table
// absent from memory is a missing file.
TEST(TableSessionTest, TablesFromPathsOrMemory) {
  test::TempDir dir;
  WriteTables(dir.File("x-"), {"V1", "V1", "V1"});
  TableSession at_paths(TableSource::AtPaths(dir.File("x-arbressr.tab"),
                                             dir.File("x-ccamcssr.tab"),
                                             dir.File("x-diag10sr.tab")));
  LineOutcome outcome;
  EXPECT_EQ(Ask(&at_paths, &outcome), 0);

  TableSession in_memory(TableSource::InMemory(TableBytes(TableRole::kTree, "V1"), std::nullopt,
                                               TableBytes(TableRole::kDiags, "V1")));
  EXPECT_EQ(Ask(&in_memory, &outcome), 99);
  EXPECT_EQ(outcome.table_problem->table, TableRole::kActs);
  EXPECT_EQ(outcome.table_problem->reason.code(), Status::kNotFound);
  EXPECT_EQ(outcome.table_problem->reason.message(), "ccamcssr.tab: no such table was given");
}

// A clock that a test moves, lent to a grouper.
class LentClock final : public Clock {
 public:
  explicit LentClock(FixedClock* clock) : clock_(clock) {}
  CivilDate LocalToday() override { return clock_->LocalToday(); }

 private:
  FixedClock* clock_;
};

// Today is read from the clock for every summary: a summary that enters on
// the day after the clock's date gets error 21 (entry after today) until the
// clock passes midnight, and again when the clock is set back; the groupers
// of other threads read clocks of their own.
TEST(RunGrouperTest, ReadsTheClockForEverySummary) {
  test::TempDir dir;
  WriteTables(dir.File(""), {"V1", "V1", "V1"});
  FixedClock clock(CivilDate{2009, 6, 15});
  RunGrouper grouper(TableSource::InDirectory(dir.File("")),
                     [&clock] { return std::make_unique<LentClock>(&clock); });
  std::string line = testing::ValidSummaryLine();
  testing::SetField(&line, line_field::kEntryDate, "16062009");
  testing::SetField(&line, line_field::kExitDate, "        ");
  testing::SetField(&line, line_field::kExitMode, " ");
  testing::SetField(&line, line_field::kDestination, " ");
  testing::SetField(&line, line_field::kWeekNo, "252009");
  auto errors_of = [&line](SummaryGrouper* g) {
    LineOutcome outcome;
    outcome.Start(LineFormat::kWellFormed);
    g->Group(line, &outcome);
    EXPECT_EQ(VersionView(outcome.version), "V1");
    return std::vector<int16_t>(outcome.errors.entries.begin(),
                                outcome.errors.entries.begin() + outcome.errors.ErrorCount);
  };
  EXPECT_EQ(grouper.ForThread(), nullptr);  // the tables are not open yet
  EXPECT_EQ(errors_of(&grouper), std::vector<int16_t>{21});
  std::unique_ptr<SummaryGrouper> other = grouper.ForThread();
  ASSERT_NE(other, nullptr);
  clock.Set(CivilDate{2009, 6, 16});
  EXPECT_EQ(errors_of(&grouper), std::vector<int16_t>{});
  EXPECT_EQ(errors_of(other.get()), std::vector<int16_t>{});
  clock.Set(CivilDate{2009, 6, 15});  // a clock set back
  EXPECT_EQ(errors_of(&grouper), std::vector<int16_t>{21});
}

}  // namespace
}  // namespace grulo
