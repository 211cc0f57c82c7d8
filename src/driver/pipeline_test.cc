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
using testing::ValidSummaryLine;

// The result of one call, as the driver receives it.
struct Outcome {
  GroupResult result;
  std::vector<int16_t> errors;
  std::string version;
};

// A pipeline on a fixed day, a table directory and an in-memory .err file.
struct PipelineRig {
  // Writes the tables into the directory; an empty version leaves the file out.
  void WriteTables(const std::string& tree_version, const std::string& act_version,
                   const std::string& diag_version) {
    if (!tree_version.empty()) {
      TreeTableModel tree = DefaultTree();
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

struct TableCase {
  const char* name;
  const char* tree;  // the versions of the tables; "": the file is missing
  const char* acts;
  const char* diags;
  int16_t first_return, second_return;  // of the first two summaries
  std::string messages;
};

// A missing table is reported for every summary and tried again for the next
// one; a version disagreement ends only the summary that opens the table.
TEST(PipelineTablesTest, MissingTablesAndVersionDisagreements) {
  const std::string kNoTree = "Pb d'ouverture des tables arbre: 99\r\n";
  const std::string kNoDiags = "Pb d'ouverture des tables des diags : 99\r\n";
  const std::string kNoActs = "Pb d'ouverture de la table des actes CCAM: 99\r\n";
  const TableCase cases[] = {
      {"no tree", "", "V1", "V1", 99, 99, kNoTree + kNoTree},
      {"no diagnoses", "V1", "V1", "", 99, 99, kNoDiags + kNoDiags},
      {"no acts", "V1", "", "V1", 99, 99, kNoActs + kNoActs},
      {"acts of another version", "V1", "V2", "V1", 9, 0,
       "Version des tables incompatible (Arbre - Actes) \r\n"},
      {"diagnoses of another version", "V1", "V1", "W1", 9, 0,
       "Version des tables incompatible (Arbre - Diags) \r\n"},
  };
  for (const TableCase& c : cases) {
    SCOPED_TRACE(c.name);
    PipelineRig t;
    t.WriteTables(c.tree, c.acts, c.diags);
    for (int16_t expected : {c.first_return, c.second_return}) {
      Outcome o = t.Group(ValidSummaryLine());
      if (expected == 0) {
        ExpectResult(o, 5, 300, 0);
      } else {
        ExpectResult(o, 0, 0, expected);
        EXPECT_TRUE(o.errors.empty());
      }
      EXPECT_EQ(o.version, *c.tree == '\0' ? "" : "V1");
    }
    // Opened in this order, up to the first that fails.
    const bool tree_open = *c.tree != '\0';
    const bool acts_open = tree_open && *c.acts != '\0';
    EXPECT_EQ(t.pipeline_.tables().tree.is_open(), tree_open);
    EXPECT_EQ(t.pipeline_.tables().acts.is_open(), acts_open);
    EXPECT_EQ(t.pipeline_.tables().diags.is_open(), acts_open && *c.diags != '\0');
    EXPECT_EQ(t.Messages(), c.messages);
    t.WriteTables(*c.tree ? "" : "V1", *c.acts ? "" : "V1", *c.diags ? "" : "V1");
    ExpectResult(t.Group(ValidSummaryLine()), 5, 300, 0);
  }
}

}  // namespace
}  // namespace grulo
