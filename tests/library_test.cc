// The grouping library against the batch program: every line of the demo
// input and of generated lines of every kind, grouped through the C++ and
// the C interfaces, gives the result, the error lists, the .grp line and the
// .err entry that the batch writes for it; whole files, with good and broken
// table sets, give the batch's files and counters. Then the interfaces' own
// promises: threads sharing one set of tables, table problems reported with
// their paths, bad calls refused, a layout that does not change.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
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
  std::string grp, err, c_grp, c_err;  // the lines' .grp lines and .err entries, one after another
  for (size_t i = 0; i < verdicts.size(); ++i) {
    const BatchVerdict& batch = verdicts[i];
    const Outcome& outcome = grouper.Group(tables, batch.line);
    EXPECT_EQ(outcome.format(), FormatOfProblem(batch.format)) << "line " << i + 1;
    ++kinds_seen[static_cast<int>(outcome.format())];
    ExpectSameVerdict(VerdictOf(outcome, batch.line), batch, i + 1);
    grp += outcome.grp_line();
    err += outcome.err_entry(static_cast<int64_t>(i) + 1);
    // The catalogue classes every error as the batch's lists do.
    for (int k = 0; k < outcome.error_count(); ++k) {
      EXPECT_EQ(IsBlockingError(outcome.error(k).number), outcome.error(k).blocking);
    }

    ASSERT_EQ(grulo_group(c_grouper, c_tables, batch.line.data(), batch.line.size()), GRULO_OK);
    EXPECT_EQ(grulo_outcome_format(c_grouper), CFormatOfProblem(batch.format)) << "line " << i + 1;
    ExpectSameVerdict(VerdictOf(c_grouper, batch.line), batch, i + 1);
    std::string text(grulo_outcome_grp_line(c_grouper, nullptr, 0), '\0');
    EXPECT_EQ(grulo_outcome_grp_line(c_grouper, text.data(), text.size() + 1), text.size());
    c_grp += text;
    const long long number = static_cast<long long>(i) + 1;
    text.assign(grulo_outcome_err_entry(c_grouper, number, nullptr, 0), '\0');
    EXPECT_EQ(grulo_outcome_err_entry(c_grouper, number, text.data(), text.size() + 1),
              text.size());
    c_err += text;
    if (HasFailure()) break;
  }
  for (int seen : kinds_seen) EXPECT_GT(seen, 0);  // every kind of line was met
  EXPECT_TRUE(grp == reference_->grp()) << "the .grp lines differ from the batch's file";
  EXPECT_TRUE(err == reference_->err()) << "the .err entries differ from the batch's file";
  EXPECT_TRUE(c_grp == grp && c_err == err) << "the C interface's texts differ";
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
  EXPECT_EQ(grulo_group(grouper, tables, "", 0), GRULO_OK);
  EXPECT_EQ(grulo_outcome_format(grouper), GRULO_FORMAT_UNREADABLE);
  const std::string nul_line = std::string(20, '\0') + "M04";
  EXPECT_EQ(grulo_group(grouper, tables, nul_line.data(), nul_line.size()), GRULO_OK);
  EXPECT_EQ(grulo_outcome_format(grouper), GRULO_FORMAT_UNREADABLE);  // cut at its NUL byte
  EXPECT_EQ(grulo_outcome_error(grouper, -1, nullptr, nullptr), GRULO_ERROR_ARGUMENT);
  grulo_tables_free(tables);
  EXPECT_EQ(grulo_outcome_format(grouper), GRULO_FORMAT_UNREADABLE);  // still readable
  grulo_grouper_free(grouper);
}

// The numbers of the headers are those of the library that runs, and the
// classes keep their data behind one pointer, so that a new member changes
// no program built against an older version.
TEST(LibraryVersionTest, HeadersLibraryAndLayoutAgree) {
  EXPECT_EQ(grulo_version_number(), GRULO_VERSION_NUMBER);
  EXPECT_EQ(LibraryVersionNumber(), GRULO_VERSION_NUMBER);
  EXPECT_EQ(std::string(grulo_version()), std::to_string(GRULO_VERSION_MAJOR) + "." +
                                              std::to_string(GRULO_VERSION_MINOR) + "." +
                                              std::to_string(GRULO_VERSION_PATCH));
  EXPECT_EQ(GRULO_VERSION_NUMBER,
            GRULO_VERSION_MAJOR * 1000000 + GRULO_VERSION_MINOR * 1000 + GRULO_VERSION_PATCH);
  EXPECT_EQ(sizeof(Outcome), sizeof(void*));
  EXPECT_EQ(sizeof(Grouper), sizeof(void*));
  EXPECT_EQ(sizeof(FileRun), sizeof(void*));
  EXPECT_EQ(sizeof(Tables), sizeof(std::shared_ptr<int>));
}

// An outcome is a value: a copy keeps the line it was made of while the
// grouper goes on, and its .grp line and .err entry with it.
TEST_F(LibraryTest, OutcomesAreValues) {
  const std::vector<BatchVerdict>& verdicts = reference_->verdicts();
  Tables tables = Tables::Open(reference_->table_dir());
  Grouper grouper(kToday);
  size_t with_entry = 0;
  while (!verdicts[with_entry].has_entry || verdicts[with_entry].grp_line.empty()) ++with_entry;
  Outcome kept = grouper.Group(tables, verdicts[with_entry].line);
  const std::string grp = kept.grp_line(), err = kept.err_entry(7);
  Outcome assigned;
  assigned = kept;
  grouper.Group(tables, "short");
  for (const Outcome* o : {&kept, &assigned}) {
    EXPECT_EQ(o->format(), LineFormat::kWellFormed);
    EXPECT_EQ(o->grp_line(), grp);
    EXPECT_EQ(o->err_entry(7), err);
  }
  EXPECT_EQ(grp, verdicts[with_entry].grp_line + "\r\n");
  EXPECT_NE(err.find("Enregistrement n\xB0 7\r\n"), std::string::npos) << err;
  Outcome moved = std::move(assigned);
  EXPECT_EQ(moved.grp_line(), grp);
}

// The calls that the C interface refuses, and what the getters say after
// them: a failed grouping leaves no outcome (not the previous line's).
TEST(LibraryCInterfaceTest, RefusedCallsLeaveNoOutcome) {
  BatchReference reference(10);
  grulo_tables* tables = nullptr;
  ASSERT_EQ(grulo_tables_open(reference.table_dir().c_str(), &tables, nullptr), GRULO_OK);
  size_t grouped = 0;  // a line with a .grp line
  while (reference.verdicts()[grouped].grp_line.empty()) ++grouped;
  const std::string line = reference.verdicts()[grouped].line;
  const struct {
    const char* name;
    std::function<int(grulo_grouper*)> call;
    int status;
    bool outcome_left;  // the outcome of the line grouped before is still there
  } rows[] = {
      {"NULL line", [&](grulo_grouper* g) { return grulo_group(g, tables, nullptr, 0); },
       GRULO_ERROR_ARGUMENT, false},
      {"NULL tables", [&](grulo_grouper* g) { return grulo_group(g, nullptr, line.data(), 1); },
       GRULO_ERROR_ARGUMENT, false},
      {"month 13", [](grulo_grouper* g) { return grulo_grouper_set_today(g, 7, 13, 2026); },
       GRULO_ERROR_ARGUMENT, true},
      {"month 0", [](grulo_grouper* g) { return grulo_grouper_set_today(g, 7, 0, 2026); },
       GRULO_ERROR_ARGUMENT, true},
      {"31 February", [](grulo_grouper* g) { return grulo_grouper_set_today(g, 31, 2, 2026); },
       GRULO_ERROR_ARGUMENT, true},
      {"year 10000", [](grulo_grouper* g) { return grulo_grouper_set_today(g, 1, 1, 10000); },
       GRULO_ERROR_ARGUMENT, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    grulo_grouper* g = nullptr;
    ASSERT_EQ(grulo_grouper_new(&g), GRULO_OK);
    ASSERT_EQ(grulo_grouper_set_today(g, kToday.day, kToday.month, kToday.year), GRULO_OK);
    ASSERT_EQ(grulo_group(g, tables, line.data(), line.size()), GRULO_OK);
    const int category = grulo_outcome_category(g);
    ASSERT_NE(category, 0);
    EXPECT_EQ(row.call(g), row.status);
    EXPECT_EQ(grulo_outcome_category(g), row.outcome_left ? category : 0);
    EXPECT_EQ(grulo_outcome_grp_line(g, nullptr, 0) > 0, row.outcome_left);
    EXPECT_EQ(grulo_outcome_error(g, 0, nullptr, nullptr) == GRULO_ERROR_NO_OUTCOME,
              !row.outcome_left);
    // The date of a refused call is not taken: the line groups as before.
    ASSERT_EQ(grulo_group(g, tables, line.data(), line.size()), GRULO_OK);
    EXPECT_EQ(grulo_outcome_category(g), category);
    grulo_grouper_free(g);
  }
  EXPECT_THROW(Grouper(Date{7, 13, 2026}), std::invalid_argument);

  // Dates as text: DDMMYYYY, nothing else.
  const struct {
    const char* text;
    int status;
  } dates[] = {
      {"07122026", GRULO_OK},             {"29022024", GRULO_OK},
      {"29022026", GRULO_ERROR_ARGUMENT}, {"07132026", GRULO_ERROR_ARGUMENT},
      {"7122026", GRULO_ERROR_ARGUMENT},  {"07-12-26", GRULO_ERROR_ARGUMENT},
      {"071220260", GRULO_ERROR_ARGUMENT}, {"00000000", GRULO_ERROR_ARGUMENT},
      {nullptr, GRULO_ERROR_ARGUMENT},
  };
  for (const auto& date : dates) {
    int day = -1, month = -1, year = -1;
    EXPECT_EQ(grulo_parse_date(date.text, &day, &month, &year), date.status) << date.text;
    if (date.status == GRULO_OK) {
      EXPECT_EQ(std::to_string(day * 1000000 + month * 10000 + year),
                std::string(date.text).substr(date.text[0] == '0' ? 1 : 0));
    } else {
      EXPECT_EQ(day + month + year, -3) << date.text;
    }
  }

  // A text cut to the caller's buffer, as snprintf cuts it.
  grulo_grouper* g = nullptr;
  ASSERT_EQ(grulo_grouper_new(&g), GRULO_OK);
  ASSERT_EQ(grulo_grouper_set_today(g, kToday.day, kToday.month, kToday.year), GRULO_OK);
  ASSERT_EQ(grulo_group(g, tables, line.data(), line.size()), GRULO_OK);
  char small[5] = "abcd";
  EXPECT_EQ(grulo_outcome_grp_line(g, small, sizeof small), line.size() + 14);  // 12 + CR LF
  EXPECT_EQ(std::string(small), reference.verdicts()[grouped].grp_line.substr(0, 4));
  grulo_grouper_free(g);

  // One message pointer for call after call: the earlier message is freed
  // (LeakSanitizer sees it otherwise), a success leaves NULL.
  char* error = nullptr;
  grulo_tables* none = nullptr;
  EXPECT_EQ(grulo_tables_open("/nonexistent-a/", &none, &error), GRULO_ERROR_TABLES);
  EXPECT_EQ(grulo_tables_open("/nonexistent-b/", &none, &error), GRULO_ERROR_TABLES);
  ASSERT_NE(error, nullptr);
  EXPECT_NE(std::string(error).find("/nonexistent-b/"), std::string::npos) << error;
  EXPECT_EQ(grulo_tables_open(reference.table_dir().c_str(), &none, &error), GRULO_OK);
  EXPECT_EQ(error, nullptr);
  grulo_tables_free(none);
  grulo_tables_free(tables);
}

TEST(LibraryCatalogueTest, CAndCppGiveTheSameCatalogue) {
  int blocking = 0;
  for (int number = -1; number <= 84; ++number) {
    SCOPED_TRACE(number);
    const bool known = number >= 1 && number <= 82;
    const char* text = grulo_error_description(number);
    EXPECT_EQ(text != nullptr, known);
    EXPECT_EQ(std::string(text != nullptr ? text : ""), std::string(ErrorDescription(number)));
    EXPECT_EQ(grulo_error_blocking(number), known ? int{IsBlockingError(number)} : -1);
    blocking += IsBlockingError(number);
  }
  EXPECT_GT(blocking, 0);
  EXPECT_LT(blocking, 82);
}

// Appends what the C interface hands an output function to a string.
int AppendTo(void* context, const char* bytes, size_t length) {
  static_cast<std::string*>(context)->append(bytes, length);
  return 0;
}

// Whole files through C and C++ give what the batch program writes: its
// .grp and .err bytes and its counters, with tables that are good, missing,
// refused or of another version (which the per-line interfaces refuse).
TEST_F(LibraryTest, WholeFilesAreTheBatch) {
  GruloSandbox box;
  box.WriteInput(ReadFileBytes(reference_->input_path()));
  const std::string input = box.dir().File("data/week.rss");
  const struct {
    const char* name;
    const char* table;  // the table edited, or none
    std::function<void(std::string*)> edit;  // null: the table is left out
  } sets[] = {
      {"good", nullptr, nullptr},
      {"no-tree", "arbressr.tab", nullptr},
      {"no-acts", "ccamcssr.tab", nullptr},
      {"acts-version", "ccamcssr.tab", [](std::string* b) { (*b)[9] = 'Z'; }},
      {"diags-refused", "diag10sr.tab", [](std::string* b) { (*b)[32 + 32 + 20] = 0; }},
  };
  for (const auto& set : sets) {
    SCOPED_TRACE(set.name);
    for (const char* name : {"arbressr.tab", "ccamcssr.tab", "diag10sr.tab"}) {
      std::string bytes = ReadFileBytes(reference_->table_dir() + name);
      std::filesystem::remove(box.TableDir() + name);
      if (set.table != nullptr && std::strcmp(name, set.table) == 0) {
        if (!set.edit) continue;
        set.edit(&bytes);
      }
      WriteFileBytes(box.TableDir() + name, bytes);
    }
    ASSERT_EQ(box.Run(BatchReference::kToday), 0);
    const std::string grp = box.Grp(), err = box.Err(), counters = box.Counters();

    FileRun run;
    run.SetTables(box.TableDir());
    ASSERT_TRUE(run.SetToday(kToday));
    ASSERT_TRUE(run.Run(input)) << run.error();
    EXPECT_TRUE(run.grp_bytes() == grp && run.err_bytes() == err);
    const FileCounters n = run.counters();
    EXPECT_EQ("[R\xE9sultats]\r\nNbLus=" + std::to_string(n.NbLus) + "\r\nNbErrBloq=" +
                  std::to_string(n.NbErrBloq) + "\r\nNbErrNonBloq=" +
                  std::to_string(n.NbErrNonBloq) + "\r\nNbErrForm=" +
                  std::to_string(n.NbErrForm) + "\r\n",
              counters);
    EXPECT_EQ(run.warnings().empty(), std::strcmp(set.name, "good") == 0);

    grulo_file_run* c_run = nullptr;
    ASSERT_EQ(grulo_file_run_new(&c_run), GRULO_OK);
    ASSERT_EQ(grulo_file_run_set_table_files(c_run, (box.TableDir() + "arbressr.tab").c_str(),
                                             (box.TableDir() + "ccamcssr.tab").c_str(),
                                             (box.TableDir() + "diag10sr.tab").c_str()),
              GRULO_OK);
    ASSERT_EQ(grulo_file_run_set_today(c_run, kToday.day, kToday.month, kToday.year), GRULO_OK);
    std::string c_grp, c_err;
    ASSERT_EQ(grulo_file_run_set_output_functions(c_run, AppendTo, nullptr, &c_grp), GRULO_OK);
    ASSERT_EQ(grulo_group_file(c_run, input.c_str(), nullptr), GRULO_OK);
    EXPECT_TRUE(c_grp == grp);
    ASSERT_EQ(grulo_file_run_set_output_files(c_run, box.dir().File("c.grp").c_str(),
                                              box.dir().File("c.err").c_str()),
              GRULO_OK);
    ASSERT_EQ(grulo_group_file(c_run, input.c_str(), nullptr), GRULO_OK);
    EXPECT_TRUE(ReadFileBytes(box.dir().File("c.grp")) == grp);
    EXPECT_TRUE(ReadFileBytes(box.dir().File("c.err")) == err);
    EXPECT_EQ(grulo_file_run_counter(c_run, GRULO_COUNTER_NBLUS), n.NbLus);
    EXPECT_EQ(grulo_file_run_counter(c_run, GRULO_COUNTER_NBERRBLOQ), n.NbErrBloq);
    EXPECT_EQ(grulo_file_run_counter(c_run, GRULO_COUNTER_NBERRNONBLOQ), n.NbErrNonBloq);
    EXPECT_EQ(grulo_file_run_counter(c_run, GRULO_COUNTER_NBERRFORM), n.NbErrForm);
    EXPECT_EQ(std::string(grulo_file_run_warnings(c_run)).empty(), run.warnings().empty());
    grulo_file_run_free(c_run);

    // One at a time, the library refuses every set the batch works around,
    // and a refused set gives what the batch gives without a tree table.
    const bool good = std::strcmp(set.name, "good") == 0;
    const Tables refused = Tables::Open(box.TableDir());
    EXPECT_EQ(refused.ok(), good);
    if (std::strcmp(set.name, "no-tree") == 0) {
      Grouper grouper(kToday);
      std::string line_grp, line_err;
      for (size_t i = 0; i < reference_->verdicts().size(); ++i) {
        const Outcome& outcome = grouper.Group(refused, reference_->verdicts()[i].line);
        line_grp += outcome.grp_line();
        line_err += outcome.err_entry(static_cast<int64_t>(i) + 1);
      }
      EXPECT_TRUE(line_grp == grp && line_err == err);
    }
    grulo_tables* c_tables = nullptr;
    EXPECT_EQ(grulo_tables_open(box.TableDir().c_str(), &c_tables, nullptr),
              good ? GRULO_OK : GRULO_ERROR_TABLES);
    grulo_tables_free(c_tables);
  }
}

TEST(LibraryFileRunTest, FailuresNameTheFileAndReplaceNothing) {
  TempDir dir;
  WriteFileBytes(dir.File("old.grp"), "old");
  grulo_file_run* run = nullptr;
  ASSERT_EQ(grulo_file_run_new(&run), GRULO_OK);
  ASSERT_EQ(grulo_file_run_set_output_files(run, dir.File("old.grp").c_str(),
                                            dir.File("old.err").c_str()),
            GRULO_OK);
  char* error = nullptr;
  const std::string missing = dir.File("missing.rss");
  EXPECT_EQ(grulo_group_file(run, missing.c_str(), &error), GRULO_ERROR_NO_DATE);
  ASSERT_EQ(grulo_file_run_use_local_clock(run), GRULO_OK);
  EXPECT_EQ(grulo_group_file(run, missing.c_str(), &error), GRULO_ERROR_INPUT);
  ASSERT_NE(error, nullptr);
  EXPECT_NE(std::string(error).find(missing), std::string::npos) << error;
  EXPECT_EQ(ReadFileBytes(dir.File("old.grp")), "old");
  EXPECT_FALSE(std::filesystem::exists(dir.File("old.err")));
  // An output that would replace the input, or the other output: refused,
  // nothing lost.
  WriteFileBytes(dir.File("week.rss"), "input\n");
  const std::string input = dir.File("week.rss"), old_grp = dir.File("old.grp");
  for (auto [grp, err] : {std::pair{input, dir.File("new.err")}, std::pair{old_grp, input},
                          std::pair{old_grp, old_grp}}) {
    ASSERT_EQ(grulo_file_run_set_output_files(run, grp.c_str(), err.c_str()), GRULO_OK);
    EXPECT_EQ(grulo_group_file(run, input.c_str(), &error), GRULO_ERROR_OUTPUT);
    EXPECT_NE(std::string(error != nullptr ? error : "").find(grp == old_grp ? err : grp),
              std::string::npos);
  }
  EXPECT_EQ(ReadFileBytes(input), "input\n");
  EXPECT_EQ(ReadFileBytes(old_grp), "old");
  EXPECT_FALSE(std::filesystem::exists(dir.File("new.err")));

  // An output function that asks to stop.
  ASSERT_EQ(grulo_file_run_set_output_functions(
                run, nullptr, [](void*, const char*, size_t) { return 1; }, nullptr),
            GRULO_OK);
  EXPECT_EQ(grulo_group_file(run, input.c_str(), &error), GRULO_ERROR_OUTPUT);
  EXPECT_NE(std::string(error != nullptr ? error : "").find(".err output"), std::string::npos);

  EXPECT_EQ(grulo_group_file(nullptr, missing.c_str(), &error), GRULO_ERROR_ARGUMENT);
  EXPECT_EQ(error, nullptr);
  EXPECT_EQ(grulo_file_run_set_today(run, 1, 13, 2026), GRULO_ERROR_ARGUMENT);
  grulo_file_run_free(run);
}

}  // namespace
}  // namespace grulo::test
