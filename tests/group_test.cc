// grulo group and grulo compare against the batch itself: what grulo group
// writes from a pipe is the classic run's .grp and .err, byte for byte, for
// good and broken table sets and on any number of threads; its JSON rows
// are read_frame's columns; and each side of grulo compare is the classic
// run with that table set.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "process_testutil.h"

namespace grulo::test {
namespace {

constexpr char kToday[] = "07122026";

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

// A path between single quotes for sh.
[[maybe_unused]] std::string Sh(const std::string& path) { return "'" + path + "'"; }

struct Classic {
  std::string grp, err;
};

class GroupTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new TempDir();
    MakeDirectory(dir_->File("good"));
    ASSERT_EQ(BuildDemoTables(dir_->File("good/")), 0);
    ASSERT_EQ(RunBuiltProgram("grulo-gen",
                              {"--count", "3000", "--seed", "5", "--faulty-share", "0.4",
                               "--malformed-share", "0.05", "--diag",
                               SourcePath("data/demo/diag.txt"), "--acts",
                               SourcePath("data/demo/acts.txt"), "--out",
                               dir_->File("generated.txt")}),
              0);
    std::string input = ReadFileBytes(dir_->File("generated.txt"));
    const std::string good = input.substr(0, input.find('\n'));
    input += std::string(5000, '7') + "\n" + good + "\r\n\n" + good;  // no final line feed
    WriteFileBytes(dir_->File("input.rss"), input);
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }

  // A table directory made from the good tables, one byte string changed.
  static std::string TableSet(const std::string& name,
                              void (*edit)(const std::string& file, std::string* bytes)) {
    const std::string tables = dir_->File(name + "/");
    MakeDirectory(tables);
    for (const char* file : {"arbressr.tab", "ccamcssr.tab", "diag10sr.tab"}) {
      std::string bytes = ReadFileBytes(dir_->File("good/") + file);
      edit(file, &bytes);
      if (bytes != "<drop>") WriteFileBytes(tables + file, bytes);
    }
    return tables;
  }

  // The classic run on the input with `tables`.
  static Classic ClassicRun(const std::string& tables) {
    GruloSandbox box;
    box.WriteInput(ReadFileBytes(dir_->File("input.rss")));
    const std::string config = "[G\xE9n\xE9ral]\r\nRepTab=" + tables + "\r\nFicEnt=" +
                               box.dir().File("data/week.rss") + "\r\nRepSor=" +
                               box.dir().File("out") + "\r\n";
    EXPECT_EQ(box.RunWithConfig(kToday, config), 0);
    return {box.Grp(), box.Err()};
  }

  static TempDir* dir_;
};

TempDir* GroupTest::dir_ = nullptr;

void Unchanged(const std::string&, std::string*) {}
void DropTree(const std::string& file, std::string* bytes) {
  if (file == "arbressr.tab") *bytes = "<drop>";
}
void ActsOfAnotherVersion(const std::string& file, std::string* bytes) {
  if (file == "ccamcssr.tab") (*bytes)[9] = 'Z';
}
void DiagsCut(const std::string& file, std::string* bytes) {
  if (file == "diag10sr.tab") bytes->resize(bytes->size() / 3);
}

TEST_F(GroupTest, FromAPipeWritesTheBatchsGrpAndErr) {
  const struct {
    const char* name;
    void (*edit)(const std::string&, std::string*);
  } table_sets[] = {{"good", Unchanged},
                    {"no-tree", DropTree},
                    {"acts-version", ActsOfAnotherVersion},
                    {"diags-cut", DiagsCut}};
  for (const auto& set : table_sets) {
    SCOPED_TRACE(set.name);
    const std::string tables = TableSet(set.name, set.edit);
    const Classic classic = ClassicRun(tables);
    for (const char* threads : {"1", "3"}) {
      SCOPED_TRACE(threads);
      const std::string err_path = dir_->File(std::string(set.name) + threads + ".err");
      const std::vector<std::string> args = {"group", "--tables", tables, "--today", kToday,
                                             "--err", err_path, "--threads", threads, "-"};
#ifdef _WIN32
      ProcessOptions options;
      options.args = args;
      options.stdin_path = dir_->File("input.rss");
      ProcessResult result = RunProgram(BuiltProgram("grulo"), BuiltProgram("grulo"), options);
#else
      std::string command = "cat " + Sh(dir_->File("input.rss")) + " | " + Sh(BuiltProgram("grulo"));
      for (const std::string& arg : args) {
        command += ' ';
        command += Sh(arg);
      }
      ProcessOptions options;
      options.args = {"-c", command};
      ProcessResult result = RunProgram("/bin/sh", "sh", options);
#endif
      ASSERT_EQ(result.exit_status, 0) << result.err;
      EXPECT_TRUE(result.out == classic.grp);
      EXPECT_TRUE(ReadFileBytes(err_path) == classic.err);
      EXPECT_NE(result.err.find("NbLus=3004 "), std::string::npos) << result.err;
    }
  }
}

#ifdef _WIN32
TEST_F(GroupTest, RowsAreReadFramesColumns) {
  GTEST_SKIP() << "checked with Debian's Python on Linux";
}
#else
// The JSON rows, parsed by Python's json, are read_frame's columns (when the
// Python module is built), and the CSV rows say the same.
TEST_F(GroupTest, RowsAreReadFramesColumns) {
  const std::string tables = dir_->File("good/");
  for (const char* format : {"jsonl", "csv"}) {
    ProcessOptions options;
    options.args = {"group", "--tables", tables, "--today", kToday, "--format", format,
                    "--quiet", dir_->File("input.rss")};
    ProcessResult result = RunProgram(BuiltProgram("grulo"), BuiltProgram("grulo"), options);
    ASSERT_EQ(result.exit_status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    WriteFileBytes(dir_->File(std::string("rows.") + format), result.out);
  }
  const std::string script = R"(
import csv, json, os, sys
d = sys.argv[1]
rows = [json.loads(line) for line in open(os.path.join(d, "rows.jsonl"), encoding="utf-8")]
columns = ["line", "format", "category", "number", "return", "version", "blocking",
           "non_blocking"]
assert len(rows) == 3004, len(rows)
assert all(list(r) == columns for r in rows)
table = list(csv.reader(open(os.path.join(d, "rows.csv"), encoding="utf-8", newline="")))
assert table[0] == columns, table[0]
def text(v):
    return "" if v is None else " ".join(map(str, v)) if isinstance(v, list) else str(v)
for r, c in zip(rows, table[1:]):
    assert [text(r[k]) for k in columns] == c, (r, c)
try:
    import grulo, pandas
except ImportError:
    print("no module")
    sys.exit(0)
frame = grulo.read_frame(os.path.join(d, "input.rss"), sys.argv[2], today=sys.argv[3])
assert list(frame.columns) == columns
for r, (_, f) in zip(rows, frame.iterrows()):
    for k in columns:
        v = f[k]
        v = None if v is pandas.NA or (k == "version" and pandas.isna(v)) else v
        v = list(v) if isinstance(v, tuple) else v
        assert r[k] == v, (k, r, f)
print("frame")
)";
  WriteFileBytes(dir_->File("check.py"), script);
  ProcessOptions options;
  options.args = {dir_->File("check.py"), dir_->path(), tables, kToday};
  options.env = {{"PYTHONPATH", BuildFile("python")}};
  ProcessResult result = RunProgram("/usr/bin/python3", "python3", options);
  EXPECT_EQ(result.exit_status, 0) << result.err;
  if (result.out != "frame\n") std::printf("read_frame not compared: %s", result.out.c_str());
}

// A reader that stops early (head) ends grulo group quietly with 141.
TEST_F(GroupTest, ClosedOutputEndsQuietly) {
  const std::string command = Sh(BuiltProgram("grulo")) + " group --tables " +
                              Sh(dir_->File("good/")) + " --today " + kToday + " " +
                              Sh(dir_->File("input.rss")) +
                              " 2>" + Sh(dir_->File("pipe.stderr")) +
                              " | head -n 1 >/dev/null; echo \"${PIPESTATUS[0]}\"";
  ProcessOptions options;
  options.args = {"-c", command};
  ProcessResult result = RunProgram("/bin/bash", "bash", options);
  EXPECT_EQ(result.out, "141\n");
  EXPECT_EQ(ReadFileBytes(dir_->File("pipe.stderr")), "");
}

// Each line's row is out before grulo group waits for the next line: a
// filter that answers line by line.
TEST_F(GroupTest, AnswersBeforeTheNextLine) {
  const std::string input = ReadFileBytes(dir_->File("input.rss"));
  WriteFileBytes(dir_->File("one.rss"), input.substr(0, input.find('\n') + 1));
  const std::string command =
      "coproc G { " + Sh(BuiltProgram("grulo")) + " group --tables " + Sh(dir_->File("good/")) +
      " --today " + kToday + " --format jsonl --threads 1 --quiet; }\n"
      "cat " + Sh(dir_->File("one.rss")) + " >&\"${G[1]}\"\n"
      "IFS= read -r -t 30 row <&\"${G[0]}\" && echo \"${row:0:10}\" || echo none\n"
      "eval \"exec ${G[1]}>&-\"\nwait\n";
  ProcessOptions options;
  options.args = {"-c", command};
  EXPECT_EQ(RunProgram("/bin/bash", "bash", options).out, "{\"line\": 1\n");
}
#endif

// An --err file is never the input, a table or a link; the usage error
// changes nothing.
TEST_F(GroupTest, ErrFileRefusals) {
  const std::string tables = dir_->File("good/");
  const std::string input = dir_->File("input.rss");
  const std::string before = ReadFileBytes(input);
  std::vector<std::string> refused = {input, tables + "diag10sr.tab", dir_->path()};
#ifndef _WIN32
  WriteFileBytes(dir_->File("target.txt"), "kept");
  ASSERT_EQ(std::system(("ln -s " + Sh(dir_->File("target.txt")) + " " +
                         Sh(dir_->File("link.err"))).c_str()),
            0);
  refused.push_back(dir_->File("link.err"));
#endif
  for (const std::string& err_path : refused) {
    SCOPED_TRACE(err_path);
    ProcessOptions options;
    options.args = {"group", "--tables", tables, "--today", kToday, "--err", err_path, input};
    ProcessResult result = RunProgram(BuiltProgram("grulo"), BuiltProgram("grulo"), options);
    EXPECT_EQ(result.exit_status, 2) << result.err;
    EXPECT_EQ(result.out, "");
  }
  // The input on standard input, named by --err.
  ProcessOptions options;
  options.args = {"group", "--tables", tables, "--today", kToday, "--err", input, "-"};
  options.stdin_path = input;
  EXPECT_EQ(RunProgram(BuiltProgram("grulo"), BuiltProgram("grulo"), options).exit_status, 2);
  EXPECT_TRUE(ReadFileBytes(input) == before);
#ifndef _WIN32
  EXPECT_EQ(ReadFileBytes(dir_->File("target.txt")), "kept");
#endif
}

// grulo compare with a new table set (some leaves moved, some diagnosis
// codes gone): each changed summary's row is what the two classic runs say
// of it, and no other summary has one.
TEST_F(GroupTest, CompareRowsAreTheTwoClassicRuns) {
  std::string tree = ReadFileBytes(SourcePath("data/demo/tree.txt"));
  for (const char* leaf : {"[01 010 00]", "[02 020 00]", "[01 021 00]"}) {
    const size_t at = tree.find(leaf);
    if (at != std::string::npos) tree.replace(at + 4, 3, "099");
  }
  std::string diag;
  int code = 0;
  for (const std::string& line : Lines(ReadFileBytes(SourcePath("data/demo/diag.txt")))) {
    const bool is_code = !line.empty() && line[0] >= 'A' && line[0] <= 'Z';
    if (is_code && ++code % 25 == 0) continue;
    diag += line + "\n";
  }
  WriteFileBytes(dir_->File("tree.txt"), tree);
  WriteFileBytes(dir_->File("diag.txt"), diag);
  MakeDirectory(dir_->File("new"));
  ASSERT_EQ(RunBuiltProgram("grulo-tables",
                            {"build", "--tree", dir_->File("tree.txt"), "--acts",
                             SourcePath("data/demo/acts.txt"), "--diag", dir_->File("diag.txt"),
                             "--out", dir_->File("new/")}),
            0);
  const std::string old_tables = dir_->File("good/"), new_tables = dir_->File("new/");

  // What each classic run says of each line: "category,number,return" and
  // the two lists, blanks between numbers; empty for a line no summary.
  auto verdicts = [&](const Classic& run) {
    const std::vector<std::string> input = Lines(ReadFileBytes(dir_->File("input.rss")));
    std::vector<std::vector<std::string>> v(input.size(), std::vector<std::string>(3));
    std::vector<bool> malformed(input.size());
    size_t record = 0;
    for (const std::string& text : Lines(run.err)) {
      static const std::string kHeader = "====================================Enregistrement n\xB0 ";
      static const std::string kBlocking = "\t->  Liste des erreurs bloquantes: ";
      static const std::string kNonBlocking = "\t->  Liste des erreurs non bloquantes: ";
      auto list = [](std::string l) {
        if (!l.empty() && l.back() == ',') l.pop_back();
        for (char& c : l) c = c == ',' ? ' ' : c;
        return l;
      };
      if (text.rfind(kHeader, 0) == 0) {
        record = std::strtoul(text.c_str() + kHeader.size(), nullptr, 10);
      } else if (record >= 1 && record <= input.size()) {
        if (text.rfind(kBlocking, 0) == 0) v[record - 1][1] = list(text.substr(kBlocking.size()));
        else if (text.rfind(kNonBlocking, 0) == 0) v[record - 1][2] = list(text.substr(kNonBlocking.size()));
        else if (text.rfind("   -> ", 0) == 0) malformed[record - 1] = true;
      }
    }
    const std::vector<std::string> grp = Lines(run.grp);
    size_t next = 0;
    for (size_t i = 0; i < input.size(); ++i) {
      if (malformed[i]) {
        v[i] = {};
      } else if (!v[i][1].empty()) {
        v[i][0] = "90,900," + v[i][1].substr(0, v[i][1].find(' '));
      } else if (next < grp.size()) {
        const std::string& g = grp[next++];
        v[i][0] = std::to_string(std::atoi(g.substr(2, 2).c_str())) + "," +
                  std::to_string(std::atoi(g.substr(4, 3).c_str())) + "," +
                  std::to_string(std::atoi(g.substr(7, 2).c_str()));
      }
    }
    return v;
  };
  const auto old_v = verdicts(ClassicRun(old_tables));
  const auto new_v = verdicts(ClassicRun(new_tables));
  std::string expected =
      "line,old_category,old_number,old_return,new_category,new_number,new_return,"
      "old_blocking,old_non_blocking,new_blocking,new_non_blocking\n";
  int changed = 0;
  for (size_t i = 0; i < old_v.size(); ++i) {
    if (old_v[i].empty() || old_v[i] == new_v[i]) continue;
    ++changed;
    expected += std::to_string(i + 1) + "," + old_v[i][0] + "," + new_v[i][0] + "," +
                old_v[i][1] + "," + old_v[i][2] + "," + new_v[i][1] + "," + new_v[i][2] + "\n";
  }
  EXPECT_GT(changed, 20);

  ProcessOptions options;
  options.args = {"compare", "--old", old_tables, "--new", new_tables, "--input",
                  dir_->File("input.rss"), "--today", kToday, "--csv", dir_->File("changes.csv"),
                  "--html", dir_->File("changes.html"), "--threads", "3"};
  ProcessResult result = RunProgram(BuiltProgram("grulo"), BuiltProgram("grulo"), options);
  ASSERT_EQ(result.exit_status, 0) << result.err;
  EXPECT_TRUE(ReadFileBytes(dir_->File("changes.csv")) == expected);
  EXPECT_NE(result.out.find(" " + std::to_string(changed) + " with another outcome"),
            std::string::npos)
      << result.out;
  const std::string page = ReadFileBytes(dir_->File("changes.html"));
  EXPECT_EQ(page.rfind("<!DOCTYPE html>", 0), 0u);
  EXPECT_NE(page.find("<th>01-099</th>"), std::string::npos);
  EXPECT_EQ(page.find("http"), std::string::npos);  // nothing fetched

  // Its outputs are never a file it reads, and its input, read twice, is a
  // file.
  const std::vector<std::vector<std::string>> refused = {
      {"--input", dir_->File("input.rss"), "--csv", new_tables + "arbressr.tab"},
      {"--input", dir_->File("input.rss"), "--html", dir_->File("input.rss")},
      {"--input", dir_->path()}};
  for (const std::vector<std::string>& words : refused) {
    options.args = {"compare", "--old", old_tables, "--new", new_tables, "--today", kToday};
    options.args.insert(options.args.end(), words.begin(), words.end());
    result = RunProgram(BuiltProgram("grulo"), BuiltProgram("grulo"), options);
    EXPECT_EQ(result.exit_status, 2) << result.err;
  }
}

}  // namespace
}  // namespace grulo::test
