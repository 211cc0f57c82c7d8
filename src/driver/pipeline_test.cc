#include "driver/pipeline.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "checks/summary_testutil.h"
#include "tables/table_testutil.h"
#include "tables/table_writer.h"

namespace grulo {
namespace {

using testing::ErrorsOf;
using testing::SetField;
using testing::ValidSummaryLine;

// The result of one call, as the driver receives it.
struct Outcome {
  GroupResult result;
  std::vector<int16_t> errors;
  std::string version;
};

class PipelineTest : public ::testing::Test {
 protected:
  // Writes the tables into the directory; an empty version leaves the file out.
  void WriteTables(const std::string& tree_version, const std::string& act_version,
                   const std::string& diag_version, TreeTableModel tree = DefaultTree()) {
    std::string error;
    if (!tree_version.empty()) {
      tree.version = tree_version;
      Write(kTreeTableName, testing::TreeBytes(tree));
    }
    if (!act_version.empty()) {
      ActTableModel acts;
      acts.version = act_version;
      for (const char* code : {"ZZQK0020", "DEQP0030", "YYYY0150", "NKFA0010"}) {
        ASSERT_TRUE(AddActCode(&acts, code, 4));
      }
      Write(kActTableName, testing::ActBytes(acts));
    }
    if (!diag_version.empty()) {
      DiagTableModel diags;
      diags.version = diag_version;
      diags.record_size = 6;
      for (const char* code : {"Z501", "I10", "E119", "J45+0", "N18"}) {
        ASSERT_TRUE(AddDiagCode(&diags, code, 0xFF, {11, 0, 0, 0, 0}));
      }
      Write(kDiagTableName, testing::DiagBytes(diags));
    }
  }

  // Node 0: AgeBelow 18; branch 0 (adults) leads to leaf 5/300/0, branch 1 to
  // leaf 6/301/0.
  static TreeTableModel DefaultTree() {
    TreeTableModel tree;
    tree.nodes = {TreeNodeRecord::Inner(0, 0, 18, 1, 1), TreeNodeRecord::Leaf(5, 300, 0),
                  TreeNodeRecord::Leaf(6, 301, 0)};
    return tree;
  }

  void Write(const char* name, const std::vector<uint8_t>& bytes) {
    std::string error;
    ASSERT_TRUE(WriteBytesToFile(dir_.path() + name, bytes, &error)) << error;
  }

  Outcome Group(const std::string& line) {
    Outcome o;
    VersionText version{};
    ErrorList errors;
    pipeline_.GroupSummary(line, dir_.path(), &o.result.GroupCategory, &o.result.GroupNumber,
                           &o.result.GroupReturn, &errors, err_file_.get(), &version);
    o.errors = ErrorsOf(errors);
    o.version = std::string(VersionView(version));
    return o;
  }

  std::string Messages() {
    err_file_->Flush();
    return err_file_->contents();
  }

  testing::TempDir dir_;
  FixedClock clock_{testing::kTestToday};
  GroupingPipeline pipeline_{clock_};
  std::unique_ptr<OutputFile> err_file_ = OutputFile::InMemory();
};

void ExpectResult(const Outcome& o, int category, int number, int ret) {
  EXPECT_EQ(o.result.GroupCategory, category);
  EXPECT_EQ(o.result.GroupNumber, number);
  EXPECT_EQ(o.result.GroupReturn, ret);
}

TEST_F(PipelineTest, ValidSummaryReachesALeaf) {
  WriteTables("V1", "V1", "V1");
  Outcome o = Group(ValidSummaryLine());
  ExpectResult(o, 5, 300, 0);
  EXPECT_TRUE(o.errors.empty());
  EXPECT_EQ(o.version, "V1");
  EXPECT_EQ(Messages(), "");
  EXPECT_EQ(pipeline_.state().ScoreSum, 1 + 2 + 3 + 4);
  EXPECT_EQ(pipeline_.state().ActClass[0], 4);
}

TEST_F(PipelineTest, MissingTreeTableIsReportedForEverySummary) {
  Outcome o = Group(ValidSummaryLine());
  ExpectResult(o, 0, 0, 99);
  EXPECT_EQ(o.version, "");
  EXPECT_TRUE(o.errors.empty());
  Group(ValidSummaryLine());
  EXPECT_EQ(Messages(),
            "Pb d'ouverture des tables arbre: 99\r\nPb d'ouverture des tables arbre: 99\r\n");
  // Once the tables are there, the next summary is grouped.
  WriteTables("V1", "V1", "V1");
  ExpectResult(Group(ValidSummaryLine()), 5, 300, 0);
}

TEST_F(PipelineTest, MissingDiagnosisTableKeepsTheOthersOpen) {
  WriteTables("V1", "V1", "");
  for (int i = 0; i < 2; ++i) {
    Outcome o = Group(ValidSummaryLine());
    ExpectResult(o, 0, 0, 99);
    EXPECT_EQ(o.version, "V1");
  }
  EXPECT_TRUE(pipeline_.tables().tree.is_open());
  EXPECT_TRUE(pipeline_.tables().acts.is_open());
  EXPECT_FALSE(pipeline_.tables().diags.is_open());
  EXPECT_EQ(Messages(),
            "Pb d'ouverture des tables des diags : 99\r\n"
            "Pb d'ouverture des tables des diags : 99\r\n");
}

TEST_F(PipelineTest, MissingActTableIsReportedWithTheTreeVersion) {
  WriteTables("V1", "", "V1");
  Outcome o = Group(ValidSummaryLine());
  ExpectResult(o, 0, 0, 99);
  EXPECT_EQ(o.version, "V1");
  EXPECT_EQ(Messages(), "Pb d'ouverture de la table des actes CCAM: 99\r\n");
}

TEST_F(PipelineTest, VersionDisagreementEndsOnlyTheSummaryThatOpensTheTable) {
  WriteTables("V1", "V2", "V1");
  Outcome first = Group(ValidSummaryLine());
  ExpectResult(first, 0, 0, 9);
  EXPECT_EQ(first.version, "V1");
  // The act table stays open; the next summary opens the diagnoses and is
  // grouped, and so is every later one.
  ExpectResult(Group(ValidSummaryLine()), 5, 300, 0);
  ExpectResult(Group(ValidSummaryLine()), 5, 300, 0);
  EXPECT_EQ(Messages(), "Version des tables incompatible (Arbre - Actes) \r\n");
}

TEST_F(PipelineTest, DiagnosisVersionDisagreement) {
  WriteTables("V1", "V1", "W1");
  ExpectResult(Group(ValidSummaryLine()), 0, 0, 9);
  ExpectResult(Group(ValidSummaryLine()), 5, 300, 0);
  EXPECT_EQ(Messages(), "Version des tables incompatible (Arbre - Diags) \r\n");
}

TEST_F(PipelineTest, BlockingErrorStopsBeforeTheWalk) {
  WriteTables("V1", "V1", "V1");
  ExpectResult(Group(ValidSummaryLine()), 5, 300, 0);
  std::string line = ValidSummaryLine();
  SetField(&line, line_field::kPresenceDays, "0000000");
  SetField(&line, line_field::kScores, "444444");
  SetField(&line, line_field::kUnitNo, "    ");
  Outcome o = Group(line);
  ExpectResult(o, 90, 900, 47);
  EXPECT_EQ(o.errors, (std::vector<int16_t>{47, 17}));
  EXPECT_EQ(pipeline_.state().PresenceCount, 0);
  EXPECT_EQ(pipeline_.state().ScoreSum, 10);  // not computed again
}

TEST_F(PipelineTest, NonBlockingErrorsStillGetWalked) {
  WriteTables("V1", "V1", "V1");
  std::string line = ValidSummaryLine();
  SetField(&line, line_field::kUnitNo, "    ");
  Outcome o = Group(line);
  ExpectResult(o, 5, 300, 0);
  EXPECT_EQ(o.errors, (std::vector<int16_t>{17}));
}

TEST_F(PipelineTest, FailedWalkGivesItsCode) {
  TreeTableModel tree;
  tree.nodes = {TreeNodeRecord::Inner(0, 0, 18, 1, 7)};  // children beyond the area
  WriteTables("V1", "V1", "V1", tree);
  ExpectResult(Group(ValidSummaryLine()), 99, 904, 3);
}

TEST_F(PipelineTest, OnlyTheFirstTenActsAreLookedUp) {
  WriteTables("V1", "V1", "V1");
  std::string line = ValidSummaryLine(12);
  ASSERT_EQ(line.size(), 439u);
  Outcome o = Group(line);
  EXPECT_EQ(pipeline_.state().ActSlotCount, 10);
  EXPECT_EQ(pipeline_.state().ActClass[9], 4);
  EXPECT_EQ(pipeline_.state().ActClass[10], 0);
  ExpectResult(o, 90, 900, 76);
}

TEST_F(PipelineTest, SignedActCountTakesNoAct) {
  WriteTables("V1", "V1", "V1");
  std::string line = ValidSummaryLine(3);
  SetField(&line, line_field::kActCount, "+3");
  Outcome o = Group(line);
  EXPECT_EQ(pipeline_.state().ActSlotCount, 0);
  EXPECT_EQ(pipeline_.state().ActClass[0], 0);
  ExpectResult(o, 90, 900, 75);
}

}  // namespace
}  // namespace grulo
