// The grouping library against the batch program: every line of the demo
// input and of generated lines of every kind, grouped through the C++ and
// the C interfaces, gives the result and the error lists that the batch
// writes for it. Then the interfaces' own promises: threads sharing one set
// of tables, table problems reported with their paths, bad calls refused.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "batch_reference_testutil.h"
#include "grulo/grouper.h"
#include "grulo/grulo.h"
#include "process_testutil.h"

namespace grulo::test {
namespace {

const Date kToday{BatchReference::kTodayDay, BatchReference::kTodayMonth,
                  BatchReference::kTodayYear};

// The format problem that the batch's .err line names.
LineFormat FormatOfProblem(const std::string& err_line) {
  if (err_line.empty()) return LineFormat::kWellFormed;
  if (err_line.find("Taille incompatible") != std::string::npos) return LineFormat::kSizeProblem;
  if (err_line.find("format inconnu") != std::string::npos) return LineFormat::kUnknownFormat;
  return LineFormat::kUnreadable;
}

// The same as the C interface's constant.
int CFormatOfProblem(const std::string& err_line) {
  switch (FormatOfProblem(err_line)) {
    case LineFormat::kWellFormed: return GRULO_FORMAT_WELL_FORMED;
    case LineFormat::kUnreadable: return GRULO_FORMAT_UNREADABLE;
    case LineFormat::kUnknownFormat: return GRULO_FORMAT_UNKNOWN;
    case LineFormat::kSizeProblem: return GRULO_FORMAT_SIZE_PROBLEM;
  }
  return -1;
}

// What an outcome says, in the batch's terms.
BatchVerdict VerdictOf(const Outcome& outcome, const std::string& line) {
  BatchVerdict v;
  v.line = line;
  if (outcome.format() != LineFormat::kWellFormed) {
    v.format = "problem";
    return v;
  }
  std::vector<int> blocking, non_blocking;
  for (int i = 0; i < outcome.error_count(); ++i) {
    (outcome.error(i).blocking ? blocking : non_blocking).push_back(outcome.error(i).number);
  }
  v.has_entry = outcome.error_count() > 0;
  v.blocking = BatchReference::ListText(blocking);
  v.non_blocking = BatchReference::ListText(non_blocking);
  if (!outcome.blocked()) {
    const GroupResult& r = outcome.result();
    v.grp_line = BatchReference::GrpLine(outcome.version(), r.GroupCategory, r.GroupNumber,
                                         r.GroupReturn, line);
  }
  return v;
}

// The same through the C interface.
BatchVerdict VerdictOf(const grulo_grouper* g, const std::string& line) {
  BatchVerdict v;
  v.line = line;
  if (grulo_outcome_format(g) != GRULO_FORMAT_WELL_FORMED) {
    v.format = "problem";
    return v;
  }
  std::vector<int> blocking, non_blocking;
  for (int i = 0; i < grulo_outcome_error_count(g); ++i) {
    int number = 0, blocks = 0;
    EXPECT_EQ(grulo_outcome_error(g, i, &number, &blocks), GRULO_OK);
    (blocks ? blocking : non_blocking).push_back(number);
  }
  v.has_entry = grulo_outcome_error_count(g) > 0;
  v.blocking = BatchReference::ListText(blocking);
  v.non_blocking = BatchReference::ListText(non_blocking);
  if (!grulo_outcome_blocked(g)) {
    v.grp_line = BatchReference::GrpLine(grulo_outcome_version(g), grulo_outcome_category(g),
                                         grulo_outcome_number(g),
                                         grulo_outcome_return_code(g), line);
  }
  return v;
}

void ExpectSameVerdict(const BatchVerdict& actual, const BatchVerdict& batch, size_t number) {
  SCOPED_TRACE("line " + std::to_string(number));
  EXPECT_EQ(actual.format.empty(), batch.format.empty()) << batch.format;
  EXPECT_EQ(actual.has_entry, batch.has_entry);
  EXPECT_EQ(actual.blocking, batch.blocking);
  EXPECT_EQ(actual.non_blocking, batch.non_blocking);
  EXPECT_EQ(actual.grp_line, batch.grp_line);
}

class LibraryTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { reference_ = new BatchReference(3000); }
  static void TearDownTestSuite() {
    delete reference_;
    reference_ = nullptr;
  }
  static BatchReference* reference_;
};

BatchReference* LibraryTest::reference_ = nullptr;

TEST_F(LibraryTest, CppAndCInterfacesAgreeWithTheBatch) {
  const std::vector<BatchVerdict>& verdicts = reference_->verdicts();
  ASSERT_GT(verdicts.size(), 5000u);
  Tables tables = Tables::Open(reference_->table_dir());
  ASSERT_TRUE(tables.ok()) << tables.error();
  Grouper grouper(kToday);

  grulo_tables* c_tables = nullptr;
  ASSERT_EQ(grulo_tables_open(reference_->table_dir().c_str(), &c_tables, nullptr), GRULO_OK);
  grulo_grouper* c_grouper = nullptr;
  ASSERT_EQ(grulo_grouper_new(&c_grouper), GRULO_OK);
  ASSERT_EQ(grulo_grouper_set_today(c_grouper, kToday.day, kToday.month, kToday.year), GRULO_OK);

  int kinds_seen[4] = {};
  for (size_t i = 0; i < verdicts.size(); ++i) {
    const BatchVerdict& batch = verdicts[i];
    const Outcome& outcome = grouper.Group(tables, batch.line);
    EXPECT_EQ(outcome.format(), FormatOfProblem(batch.format)) << "line " << i + 1;
    ++kinds_seen[static_cast<int>(outcome.format())];
    ExpectSameVerdict(VerdictOf(outcome, batch.line), batch, i + 1);

    ASSERT_EQ(grulo_group(c_grouper, c_tables, batch.line.data(), batch.line.size()), GRULO_OK);
    EXPECT_EQ(grulo_outcome_format(c_grouper), CFormatOfProblem(batch.format)) << "line " << i + 1;
    ExpectSameVerdict(VerdictOf(c_grouper, batch.line), batch, i + 1);
    if (HasFailure()) break;
  }
  for (int seen : kinds_seen) EXPECT_GT(seen, 0);  // every kind of line was met
  grulo_grouper_free(c_grouper);
  grulo_tables_free(c_tables);
}

// Two threads group the two halves of the input with one shared set of
// tables, each with its own grouper, at the same time; each result is the
// one a single grouper gives. (scripts/test.sh --tsan runs this under
// ThreadSanitizer.)
TEST_F(LibraryTest, ThreadsShareOneSetOfTables) {
  const std::vector<BatchVerdict>& verdicts = reference_->verdicts();
  const Tables tables = Tables::Open(reference_->table_dir());
  ASSERT_TRUE(tables.ok());
  auto group_range = [&](size_t begin, size_t end, std::vector<BatchVerdict>* out) {
    Grouper grouper(kToday);
    for (size_t i = begin; i < end; ++i) {
      out->push_back(VerdictOf(grouper.Group(tables, verdicts[i].line), verdicts[i].line));
    }
  };
  const size_t half = verdicts.size() / 2;
  std::vector<BatchVerdict> first, second;
  std::thread a(group_range, 0, half, &first);
  std::thread b(group_range, half, verdicts.size(), &second);
  a.join();
  b.join();
  first.insert(first.end(), second.begin(), second.end());
  ASSERT_EQ(first.size(), verdicts.size());
  for (size_t i = 0; i < verdicts.size(); ++i) {
    ExpectSameVerdict(first[i], verdicts[i], i + 1);
    if (HasFailure()) break;
  }
}

TEST(LibraryTablesTest, EveryProblemNamesItsTable) {
  TempDir dir;
  Tables none = Tables::Open(dir.path());
  EXPECT_FALSE(none.ok());
  for (const char* name : {"arbressr.tab", "ccamcssr.tab", "diag10sr.tab"}) {
    EXPECT_NE(none.error().find(dir.File(name) + ": No such file or directory"),
              std::string::npos)
        << none.error();
  }
  WriteFileBytes(dir.File("arbressr.tab"), std::string(40, 'x'));
  Tables short_tree = Tables::Open(dir.path() + "/");
  EXPECT_NE(short_tree.error().find(dir.File("arbressr.tab") + ": is too short"),
            std::string::npos)
      << short_tree.error();

  // Grouping with tables that are not open: a well-formed line gets the
  // table problem's result, a malformed one its format.
  Grouper grouper(kToday);
  const Outcome& malformed = grouper.Group(none, "short");
  EXPECT_EQ(malformed.format(), LineFormat::kUnreadable);
}

TEST(LibraryTablesTest, VersionsThatDifferAreRefused) {
  BatchReference reference(10);
  TempDir dir;
  // The act table of another version: its header's bytes 8 and 9.
  for (const char* name : {"arbressr.tab", "ccamcssr.tab", "diag10sr.tab"}) {
    std::string bytes = ReadFileBytes(reference.table_dir() + name);
    if (std::strcmp(name, "ccamcssr.tab") == 0) bytes[8] = 'Q';
    WriteFileBytes(dir.File(name), bytes);
  }
  Tables tables = Tables::Open(dir.path());
  EXPECT_FALSE(tables.ok());
  EXPECT_NE(tables.error().find(dir.File("ccamcssr.tab") + ": version 'Q"), std::string::npos)
      << tables.error();
  EXPECT_NE(tables.error().find("differs from the tree table's"), std::string::npos);
}

TEST(LibraryCInterfaceTest, BadCallsReturnStatuses) {
  char* error = nullptr;
  grulo_tables* tables = reinterpret_cast<grulo_tables*>(1);
  EXPECT_EQ(grulo_tables_open(nullptr, &tables, &error), GRULO_ERROR_ARGUMENT);
  EXPECT_EQ(tables, nullptr);
  EXPECT_EQ(error, nullptr);
  EXPECT_EQ(grulo_tables_open("/nonexistent/", nullptr, &error), GRULO_ERROR_ARGUMENT);
  EXPECT_EQ(grulo_tables_open_files("a", nullptr, "c", &tables, &error), GRULO_ERROR_ARGUMENT);
  EXPECT_EQ(grulo_tables_open("/nonexistent/", &tables, &error), GRULO_ERROR_TABLES);
  ASSERT_NE(error, nullptr);
  EXPECT_NE(std::string(error).find("/nonexistent/arbressr.tab"), std::string::npos) << error;
  grulo_free(error);
  EXPECT_EQ(grulo_tables_open("/nonexistent/", &tables, nullptr), GRULO_ERROR_TABLES);

  EXPECT_EQ(grulo_grouper_new(nullptr), GRULO_ERROR_ARGUMENT);
  grulo_grouper* grouper = nullptr;
  ASSERT_EQ(grulo_grouper_new(&grouper), GRULO_OK);
  EXPECT_EQ(grulo_group(nullptr, nullptr, "x", 1), GRULO_ERROR_ARGUMENT);
  EXPECT_EQ(grulo_group(grouper, nullptr, "x", 1), GRULO_ERROR_ARGUMENT);
  EXPECT_EQ(grulo_grouper_set_today(nullptr, 1, 1, 2026), GRULO_ERROR_ARGUMENT);
  EXPECT_EQ(grulo_grouper_use_local_clock(nullptr), GRULO_ERROR_ARGUMENT);

  // Getters of a NULL grouper or of one that grouped nothing yet.
  EXPECT_EQ(grulo_outcome_category(nullptr), 0);
  EXPECT_STREQ(grulo_outcome_version(nullptr), "");
  EXPECT_STREQ(grulo_outcome_version(grouper), "");
  EXPECT_EQ(grulo_outcome_error_count(grouper), 0);
  EXPECT_EQ(grulo_outcome_error(grouper, 0, nullptr, nullptr), GRULO_ERROR_NO_OUTCOME);
  EXPECT_EQ(grulo_outcome_error(nullptr, 0, nullptr, nullptr), GRULO_ERROR_ARGUMENT);
  EXPECT_STREQ(grulo_tables_version(nullptr), "");
  for (int status = 0; status <= 6; ++status) EXPECT_NE(grulo_status_text(status), nullptr);
  EXPECT_STRNE(grulo_status_text(GRULO_ERROR_TABLES), grulo_status_text(99));
  grulo_tables_free(nullptr);
  grulo_grouper_free(nullptr);
  grulo_free(nullptr);

  // Grouping needs a date, and then accepts any bytes.
  BatchReference reference(10);
  ASSERT_EQ(grulo_tables_open(reference.table_dir().c_str(), &tables, nullptr), GRULO_OK);
  EXPECT_EQ(grulo_group(grouper, tables, "x", 1), GRULO_ERROR_NO_DATE);
  ASSERT_EQ(grulo_grouper_use_local_clock(grouper), GRULO_OK);
  EXPECT_EQ(grulo_group(grouper, tables, nullptr, 5), GRULO_ERROR_ARGUMENT);
  EXPECT_EQ(grulo_group(grouper, tables, nullptr, 0), GRULO_OK);
  EXPECT_EQ(grulo_outcome_format(grouper), GRULO_FORMAT_UNREADABLE);
  const std::string nul_line = std::string(20, '\0') + "M04";
  EXPECT_EQ(grulo_group(grouper, tables, nul_line.data(), nul_line.size()), GRULO_OK);
  EXPECT_EQ(grulo_outcome_format(grouper), GRULO_FORMAT_UNREADABLE);  // cut at its NUL byte
  EXPECT_EQ(grulo_outcome_error(grouper, -1, nullptr, nullptr), GRULO_ERROR_ARGUMENT);
  grulo_tables_free(tables);
  EXPECT_EQ(grulo_outcome_format(grouper), GRULO_FORMAT_UNREADABLE);  // still readable
  grulo_grouper_free(grouper);
}

}  // namespace
}  // namespace grulo::test
