#include "batch/pipeline.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "authoring/file_io.h"
#include "authoring/table_model.h"
#include "authoring/table_testutil.h"
#include "checks/summary_testutil.h"
#include "record/summary_layout.h"
#include "tests/process_testutil.h"

namespace grulo {
namespace {

// Writes the tables of the given versions into the directory; an empty
// version leaves the file out. The tree sends adults to leaf 5/300/0.
void WriteTables(const std::string& dir, const std::string& tree_version,
                 const std::string& act_version, const std::string& diag_version) {
  std::string error;
  if (!tree_version.empty()) {
    TreeTableModel tree;
    tree.version = tree_version;
    tree.nodes = {TreeNodeRecord::Inner(0, 0, 18, 1, 1), TreeNodeRecord::Leaf(5, 300, 0),
                  TreeNodeRecord::Leaf(6, 301, 0)};
    ASSERT_TRUE(WriteBytesToFile(dir + kTreeTableName, testing::TreeBytes(tree), &error));
  }
  if (!act_version.empty()) {
    ActTableModel acts;
    acts.version = act_version;
    for (const char* code : {"ZZQK0020", "DEQP0030"}) AddActCode(&acts, code, 4);
    ASSERT_TRUE(WriteBytesToFile(dir + kActTableName, testing::ActBytes(acts), &error));
  }
  if (!diag_version.empty()) {
    DiagTableModel diags;
    diags.version = diag_version;
    for (const char* code : {"Z501", "I10", "E119", "J45+0", "N18"}) {
      AddDiagCode(&diags, code, 0xFF, {11});
    }
    ASSERT_TRUE(WriteBytesToFile(dir + kDiagTableName, testing::DiagBytes(diags), &error));
  }
}

// Tables are opened in the order tree, acts, diagnoses, up to the first that
// fails. A missing table is reported for every summary and tried again for
// the next one; a version disagreement ends only the summary that opens the
// table. (The missing tree and diagnoses and the acts of another version are
// run through the whole program in the grouping tests.)
TEST(PipelineTablesTest, MissingActsAndDiagnosesOfAnotherVersion) {
  const struct {
    const char* name;
    const char* acts;  // the versions of the tables; "": the file is missing
    const char* diags;
    int16_t first_return, second_return;  // of the first two summaries
    bool diags_open;
    std::string messages;
  } cases[] = {
      {"no acts", "", "V1", 99, 99, false,
       "Pb d'ouverture de la table des actes CCAM: 99\r\n"
       "Pb d'ouverture de la table des actes CCAM: 99\r\n"},
      {"diagnoses of another version", "V1", "W1", 9, 0, true,
       "Version des tables incompatible (Arbre - Diags) \r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    FixedClock clock(testing::kTestToday);
    GroupingPipeline pipeline(clock);
    std::unique_ptr<OutputFile> err = OutputFile::InMemory();
    auto group = [&] {
      GroupResult r;
      VersionText version{};
      ErrorList errors;
      pipeline.GroupSummary(testing::ValidSummaryLine(), dir.File(""), &r.GroupCategory,
                            &r.GroupNumber, &r.GroupReturn, &errors, err.get(), &version);
      EXPECT_EQ(VersionView(version), "V1");
      EXPECT_EQ(errors.ErrorCount, 0);
      return std::vector<int>{r.GroupCategory, r.GroupNumber, r.GroupReturn};
    };
    WriteTables(dir.File(""), "V1", c.acts, c.diags);
    for (int16_t expected : {c.first_return, c.second_return}) {
      const std::vector<int> result =
          expected == 0 ? std::vector<int>{5, 300, 0} : std::vector<int>{0, 0, expected};
      EXPECT_EQ(group(), result);
    }
    EXPECT_TRUE(pipeline.tree_open());
    EXPECT_EQ(pipeline.acts_open(), *c.acts != '\0');
    EXPECT_EQ(pipeline.diags_open(), c.diags_open);
    err->Flush();
    EXPECT_EQ(err->contents(), c.messages);
    WriteTables(dir.File(""), "", "V1", "");
    EXPECT_EQ(group(), (std::vector<int>{5, 300, 0}));
  }
}

// Today is read from the clock for every summary: a summary that enters on
// the day after the clock's date gets error 21 (entry after today) until the
// clock passes midnight, and again when the clock is set back.
TEST(PipelineTodayTest, ReadsTheClockForEverySummary) {
  test::TempDir dir;
  WriteTables(dir.File(""), "V1", "V1", "V1");
  FixedClock clock(CivilDate{2009, 6, 15});
  GroupingPipeline pipeline(clock);
  std::unique_ptr<OutputFile> err = OutputFile::InMemory();
  std::string line = testing::ValidSummaryLine();
  testing::SetField(&line, line_field::kEntryDate, "16062009");
  testing::SetField(&line, line_field::kExitDate, "        ");
  testing::SetField(&line, line_field::kExitMode, " ");
  testing::SetField(&line, line_field::kDestination, " ");
  testing::SetField(&line, line_field::kWeekNo, "252009");
  auto errors_of = [&] {
    GroupResult r;
    VersionText version{};
    ErrorList errors;
    pipeline.GroupSummary(line, dir.File(""), &r.GroupCategory, &r.GroupNumber,
                          &r.GroupReturn, &errors, err.get(), &version);
    return std::vector<int16_t>(errors.entries.begin(), errors.entries.begin() + errors.ErrorCount);
  };
  EXPECT_EQ(errors_of(), std::vector<int16_t>{21});
  clock.Set(CivilDate{2009, 6, 16});
  EXPECT_EQ(errors_of(), std::vector<int16_t>{});
  EXPECT_EQ(errors_of(), std::vector<int16_t>{});
  clock.Set(CivilDate{2009, 6, 15});  // a clock set back
  EXPECT_EQ(errors_of(), std::vector<int16_t>{21});
}

}  // namespace
}  // namespace grulo
