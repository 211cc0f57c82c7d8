// The report pages in a real browser: the pages of grulo --report and grulo
// report are loaded by headless Chromium, and the rendered document must
// show the run's counters, one bar per group with the number of its .grp
// lines, and every error number of the .err file with its meaning; for the
// demo run, and for runs that once gave a false page (groups wider than
// their .grp columns, a missing tree table, everything blocked, an empty
// input). A screenshot of the demo page is left in the build directory
// (report.png) for a person to look at. Without Chromium the browser tests
// are skipped; the install script brings it.

#include <gtest/gtest.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "batch_reference_testutil.h"
#include "checks/error_catalogue.h"
#include "command_testutil.h"
#include "platform/files.h"
#include "process_testutil.h"
#include "record/summary_layout.h"
#include "report/run_outputs.h"

namespace grulo::test {
namespace {

// The first of the usual names of Chromium that is an executable file; none
// on Windows, where the browser test does not run.
std::string FindChromium() {
#ifndef _WIN32
  for (const char* path : {"/usr/bin/chromium", "/usr/bin/chromium-browser",
                           "/usr/lib/chromium/chromium", "/snap/bin/chromium"}) {
    if (::access(path, X_OK) == 0) return path;
  }
#endif
  return "";
}

std::string Unescaped(std::string text) {
  const std::pair<const char*, const char*> references[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}, {"&amp;", "&"}};
  for (const auto& [reference, character] : references) {
    for (size_t at; (at = text.find(reference)) != std::string::npos;) {
      text.replace(at, std::string(reference).size(), character);
    }
  }
  return text;
}

// The DOM of `page` as headless Chromium renders it; "" when Chromium is
// not installed.
std::vector<std::string> Browser(const TempDir& profile) {
  return {FindChromium(),
          "--headless",
          "--no-sandbox",
          "--disable-gpu",
          "--disable-background-networking",
          "--disable-component-update",
          "--disable-sync",
          "--no-first-run",
          "--user-data-dir=" + profile.path()};
}

std::string RenderedDom(const std::string& page) {
  TempDir profile;
  std::vector<std::string> dump = Browser(profile);
  dump.push_back("--dump-dom");
  dump.push_back("file://" + page);
  const ProcessResult rendered = RunCommand(dump);
  EXPECT_EQ(rendered.exit_status, 0) << rendered.err;
  EXPECT_NE(rendered.out.find("grulo run report"), std::string::npos)
      << rendered.out.substr(0, 500);
  return rendered.out;
}

constexpr char kNoChromium[] =
    "chromium is not installed (bash scripts/install-deps.sh test installs it): the report is "
    "not checked in a browser";

// Sentences that were once printed where they were false: none may appear
// whatever the run.
constexpr const char* kNeverSaid[] = {
    "No summary has an error", "Every walk of the tree reached a leaf",
    "The three tables opened and agreed", "Every line is a well-formed summary",
    "No summary was blocked."};

// The counters that a run wrote into grulo.ini.
std::map<std::string, int64_t> WrittenCounters(const GruloSandbox& box) {
  std::map<std::string, int64_t> counters;
  for (const std::string& line : SplitLines(box.Counters())) {
    const size_t equals = line.find('=');
    if (equals != std::string::npos) {
      counters[line.substr(0, equals)] = std::atoll(line.c_str() + equals + 1);
    }
  }
  return counters;
}

// What the .grp file of a run says: the lines ended by a table problem, the
// failed walks, and the lines of each group. A line's numbers stand between
// the version (two places) and "M14"; `groups` names the number texts that
// the tree's leaves print ("2252682402": 225-26824 with code 02), and when
// it is empty the numbers are taken to fit their columns.
struct GrpCounts {
  int64_t table_problems = 0;
  int64_t failed_walks = 0;
  std::map<std::string, int64_t> groups;
};

GrpCounts CountGrp(const std::string& grp, const std::map<std::string, std::string>& groups) {
  GrpCounts counts;
  for (const std::string& line : SplitLines(grp)) {
    const size_t marker = line.find("M14", 2);
    EXPECT_NE(marker, std::string::npos) << line;
    if (marker == std::string::npos) continue;
    const std::string numbers = line.substr(2, marker - 2);
    if (numbers == "0000099" || numbers == "0000009") {
      ++counts.table_problems;
    } else if (numbers.rfind("99904", 0) == 0 && numbers.size() == 7) {
      ++counts.failed_walks;
    } else if (groups.empty()) {
      EXPECT_EQ(numbers.size(), 7u) << line;
      ++counts.groups[numbers.substr(0, 2) + "-" + numbers.substr(2, 3)];
    } else {
      auto leaf = groups.find(numbers);
      EXPECT_NE(leaf, groups.end()) << "no leaf prints " << numbers;
      if (leaf != groups.end()) ++counts.groups[leaf->second];
    }
  }
  return counts;
}

// The rendered page against the run's files: every card and counter, one
// bar per group with the number of its .grp lines, a banner exactly when
// summaries met a table problem or a failed walk, no false sentence.
void CheckPage(const std::string& dom, const GruloSandbox& box,
               const std::map<std::string, std::string>& groups, const std::string& what) {
  std::map<std::string, int64_t> expected = WrittenCounters(box);
  ASSERT_EQ(expected.size(), 4u) << what;
  const GrpCounts grp = CountGrp(box.Grp(), groups);
  expected["table-problems"] = grp.table_problems;
  expected["failed-walks"] = grp.failed_walks;
  for (const auto& [name, value] : expected) {
    const std::regex card("data-counter=\"" + name + "\" data-value=\"([0-9]+)\"");
    std::smatch match;
    ASSERT_TRUE(std::regex_search(dom, match, card)) << what << ": " << name;
    EXPECT_EQ(std::atoll(match[1].str().c_str()), value) << what << ": " << name;
    const std::regex total("data-total=\"" + name + "\">([^<]*)<");
    ASSERT_TRUE(std::regex_search(dom, match, total)) << what << ": " << name;
    std::string digits;
    for (char c : match[1].str()) {
      if (c >= '0' && c <= '9') digits += c;
    }
    EXPECT_EQ(std::atoll(digits.c_str()), value) << what << ": " << name;
  }
  std::map<std::string, int64_t> bars;
  const std::regex bar("class=\"group-bar\" data-group=\"([0-9-]+)\" data-count=\"([0-9]+)\"");
  for (auto it = std::sregex_iterator(dom.begin(), dom.end(), bar); it != std::sregex_iterator();
       ++it) {
    EXPECT_EQ(bars.count((*it)[1].str()), 0u) << what << ": two bars for " << (*it)[1].str();
    bars[(*it)[1].str()] = std::atoll((*it)[2].str().c_str());
  }
  EXPECT_EQ(bars, grp.groups) << what;
  EXPECT_EQ(dom.find("id=\"table-problems-banner\"") != std::string::npos,
            grp.table_problems > 0)
      << what;
  EXPECT_EQ(dom.find("id=\"failed-walks-banner\"") != std::string::npos, grp.failed_walks > 0)
      << what;
  for (const char* sentence : kNeverSaid) {
    EXPECT_EQ(dom.find(sentence), std::string::npos) << what << ": " << sentence;
  }
}

// The demo run: tables built from the demo sources, the demo input, grulo
// run on them, then grulo report on the run's configuration.
class ReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(BuildDemoTables(box_.TableDir()), 0);
    box_.WriteInput(ReadFileBytes(SourcePath("data/demo/input.txt")));
    ASSERT_EQ(box_.Run(BatchReference::kToday), 0);
    page_ = box_.dir().File("report.html");
    const ProcessResult r =
        RunCommand({box_.program(), "report", "--config", box_.dir().File("bin/grulo.ini"),
                    "--today", BatchReference::kToday, "-o", page_});
    ASSERT_EQ(r.exit_status, 0) << r.err;
    ASSERT_EQ(r.err, "");
  }

  GruloSandbox box_;
  std::string page_;
};

// The batch writes the same page itself with --report, after its run.
TEST_F(ReportTest, TheBatchWritesItWithReport) {
  const std::string page = box_.dir().File("batch-report.html");
  ProcessOptions options;
  options.args = {"--report", page};
  options.env = {{"GRULO_TODAY", BatchReference::kToday}};
  const ProcessResult r = box_.RunGrulo(options);
  ASSERT_EQ(r.exit_status, 0) << r.err;
  const std::string made = ReadFileBytes(page_), by_batch = ReadFileBytes(page);
  // The pages differ only in the time they were made at.
  ASSERT_EQ(made.size(), by_batch.size());
  size_t differing = 0;
  for (size_t i = 0; i < made.size(); ++i) differing += made[i] != by_batch[i];
  EXPECT_LT(differing, 20u);
}

TEST_F(ReportTest, PageIsOneFileWithoutScriptOrNetwork) {
  const std::string html = ReadFileBytes(page_);
  EXPECT_EQ(html.rfind("<!DOCTYPE html>", 0), 0u);
  EXPECT_EQ(html.find("<script"), std::string::npos);
  EXPECT_EQ(html.find("http://"), std::string::npos);
  EXPECT_EQ(html.find("https://"), std::string::npos);
  EXPECT_EQ(html.find("<link"), std::string::npos);
  EXPECT_EQ(html.find("<img"), std::string::npos);
  EXPECT_NE(html.find("<svg"), std::string::npos);
  EXPECT_NE(html.find("@media print"), std::string::npos);
}

TEST_F(ReportTest, RenderedPageShowsTheRun) {
  if (FindChromium().empty()) GTEST_SKIP() << kNoChromium;
  const std::string dom = RenderedDom(page_);
  CheckPage(dom, box_, {}, "the demo run");
  EXPECT_GT(WrittenCounters(box_).at("NbLus"), 20);

  // Every error number of the .err file, with its meaning.
  std::set<int> numbers;
  const std::regex list("erreurs (?:non )?bloquantes: ([0-9,]*)");
  const std::string err = box_.Err();
  for (auto it = std::sregex_iterator(err.begin(), err.end(), list); it != std::sregex_iterator();
       ++it) {
    const std::string text = (*it)[1].str();
    for (size_t start = 0; start < text.size();) {
      const size_t comma = text.find(',', start);
      numbers.insert(std::atoi(text.substr(start, comma - start).c_str()));
      start = comma + 1;
    }
  }
  EXPECT_GT(numbers.size(), 40u);
  for (int number : numbers) {
    const std::regex row("<tr class=\"error-row\" data-error=\"" + std::to_string(number) +
                         "\"[^>]*>[\\s\\S]*?<div class=\"meaning\">([^<]*)</div>");
    std::smatch match;
    ASSERT_TRUE(std::regex_search(dom, match, row)) << "error " << number;
    EXPECT_EQ(Unescaped(match[1].str()), FindErrorInfo(static_cast<int16_t>(number))->description)
        << "error " << number;
  }

  // A screenshot for a person, kept in the build directory.
  const char* build = std::getenv("GRULO_BUILD_DIR");
  ASSERT_NE(build, nullptr);
  const std::string screenshot = std::string(build) + "/report.png";
  TempDir profile;
  std::vector<std::string> shot = Browser(profile);
  shot.push_back("--screenshot=" + screenshot);
  shot.push_back("--window-size=1200,2000");
  shot.push_back("file://" + page_);
  const ProcessResult taken = RunCommand(shot);
  EXPECT_EQ(taken.exit_status, 0) << taken.err;
  EXPECT_GT(ReadFileBytes(screenshot).size(), 10000u);
}

// Named by its files and tables, the run is grouped again; outputs that
// another input, other tables or another date made give no page, and the
// message names the file and the line where they part.
TEST_F(ReportTest, FromTheRunsFilesWithoutAConfiguration) {
  const std::vector<std::string> files = {
      "--input", box_.dir().File("data/week.rss"), "--grp", box_.dir().File("out/week.grp"),
      "--err",   box_.dir().File("out/week.err"),  "--tables", box_.TableDir()};
  const std::string page = box_.dir().File("by-files.html");
  std::vector<std::string> args = {box_.program(), "report"};
  args.insert(args.end(), files.begin(), files.end());
  const std::vector<std::string> today = {"--today", BatchReference::kToday};
  std::vector<std::string> same = args;
  same.insert(same.end(), today.begin(), today.end());
  same.insert(same.end(), {"-o", page});
  const ProcessResult r = RunCommand(same);
  ASSERT_EQ(r.exit_status, 0) << r.err;
  const std::string html = ReadFileBytes(page);
  EXPECT_NE(html.find("data-counter=\"NbLus\" data-value=\"" +
                      std::to_string(WrittenCounters(box_).at("NbLus")) + "\""),
            std::string::npos);
  EXPECT_EQ(html.find("class=\"warning\""), std::string::npos);

  const std::string refused = box_.dir().File("refused.html");
  const struct {
    const char* name;
    std::vector<std::string> more;
    std::string input;  // replaces the input when not empty
    const char* said;
    bool edit_grp = false;  // a byte of the .grp file's third line changed
  } rows[] = {
      {"an edited .grp file", today, "", "from its line 3 on, its bytes are not", true},
      {"another date", {"--today", "01011990"}, "", "from its line "},
      {"another input",
       today,
       "short line\n" + ReadFileBytes(SourcePath("data/demo/input.txt")),
       "from its line 1 on"},
      {"more lines in the input",
       today,
       ReadFileBytes(SourcePath("data/demo/input.txt")) + "short line\n",
       "the file ends there, the regrouping goes on"},
  };
  for (const auto& row : rows) {
    if (!row.input.empty()) box_.WriteInput(row.input);
    const std::string grp = box_.Grp();
    if (row.edit_grp) {
      std::string edited = grp;
      size_t third = edited.find('\n', edited.find('\n') + 1) + 1;
      edited[third + 10] = edited[third + 10] == '4' ? '5' : '4';  // in "M14"
      WriteFileBytes(box_.dir().File("out/week.grp"), edited);
    }
    std::vector<std::string> other = args;
    other.insert(other.end(), row.more.begin(), row.more.end());
    other.insert(other.end(), {"-o", refused});
    const ProcessResult seen = RunCommand(other);
    EXPECT_EQ(seen.exit_status, 1) << row.name;
    EXPECT_NE(seen.err.find("is not what the run's input, tables and date give"),
              std::string::npos)
        << row.name << ": " << seen.err;
    EXPECT_NE(seen.err.find(row.said), std::string::npos) << row.name << ": " << seen.err;
    EXPECT_NE(seen.err.find("--today DDMMYYYY"), std::string::npos) << seen.err;
    EXPECT_FALSE(PathExists(refused)) << row.name;
    WriteFileBytes(box_.dir().File("out/week.grp"), grp);
  }
}

// --rejected lists every summary of the .err file that has error lists,
// with the same numbers, and replaces only such a list.
TEST_F(ReportTest, RejectedListHasEveryEntryOfTheErrFile) {
  const std::string list = box_.dir().File("rejected.csv");
  const std::vector<std::string> args = {box_.program(), "report", "--config",
                                         box_.dir().File("bin/grulo.ini"), "--today",
                                         BatchReference::kToday, "--rejected", list, "-o", page_};
  for (int run = 0; run < 2; ++run) {  // the second replaces the first
    const ProcessResult r = RunCommand(args);
    ASSERT_EQ(r.exit_status, 0) << r.err;
  }
  // From the .err file: "line,blocking,non_blocking" of each entry with lists.
  std::vector<std::string> expected;
  std::string line_number, blocking;
  const std::regex header("Enregistrement n\xB0 ([0-9]+)");
  const std::regex lists("erreurs (non )?bloquantes: ([0-9,]*)");
  for (const std::string& line : SplitLines(box_.Err())) {
    std::smatch match;
    if (std::regex_search(line, match, header)) line_number = match[1].str();
    if (!std::regex_search(line, match, lists)) continue;
    std::string numbers = match[2].str();
    if (!numbers.empty()) numbers.pop_back();  // the last comma
    std::replace(numbers.begin(), numbers.end(), ',', ' ');
    if (!match[1].matched) {
      blocking = numbers;
    } else {
      expected.push_back(line_number + ",\"" + blocking + "\",\"" + numbers + "\"");
    }
  }
  const std::string csv = ReadFileBytes(list);
  ASSERT_EQ(csv.rfind("line,establishment,stay,week,unit,blocking,non_blocking\r\n", 0), 0u);
  std::vector<std::string> rows;
  for (const std::string& row : SplitLines(csv.substr(csv.find('\n') + 1))) {
    // line,"establishment","stay","week","unit","blocking","non_blocking"
    const size_t lists_at = row.rfind("\",\"", row.rfind("\",\"") - 1) + 2;
    rows.push_back(row.substr(0, row.find(',')) + "," + row.substr(lists_at));
  }
  EXPECT_GT(expected.size(), 100u);
  EXPECT_EQ(rows, expected);

  WriteFileBytes(list, "notes\n");
  const ProcessResult refused = RunCommand(args);
  EXPECT_EQ(refused.exit_status, 2);
  EXPECT_NE(refused.err.find("is a file that is no list of rejected summaries"),
            std::string::npos)
      << refused.err;
  EXPECT_EQ(ReadFileBytes(list), "notes\n");
}

// The page replaces the previous one whole, under a name of Windows-1252
// bytes as a configuration would give it (0xE9: e acute).
TEST_F(ReportTest, PageUnderAnAccentedName) {
  const std::string page = box_.dir().File("rapport-\xE9.html");
  for (int run = 0; run < 2; ++run) {
    const ProcessResult r =
        RunCommand({box_.program(), "report", "--config", box_.dir().File("bin/grulo.ini"),
                    "--today", BatchReference::kToday, "-o", page});
    ASSERT_EQ(r.exit_status, 0) << r.err;
    FileInfo info;
    ASSERT_TRUE(GetFileInfo(page, &info).ok());
    EXPECT_EQ(info.type, FileInfo::kRegular);
    EXPECT_EQ(info.size, static_cast<int64_t>(ReadFileBytes(page_).size()));
  }
}

// Runs whose pages were once false: groups that do not fit the columns of
// their .grp line, a missing tree table, every summary blocked, an empty
// input. Both pages, the run's own and the one made afterwards, show in the
// browser what the .grp file and the counters say.
TEST(ReportOfRunsTest, EveryPageTellsTheTruth) {
  if (FindChromium().empty()) GTEST_SKIP() << kNoChromium;
  const std::string demo = ReadFileBytes(SourcePath("data/demo/input.txt"));
  std::string blocked;  // every line with sex 3, which blocks
  for (const std::string& line : SplitLines(demo)) {
    std::string changed = line;
    const size_t sex = static_cast<size_t>(line_field::kSex.offset);
    if (changed.size() > sex) changed[sex] = '3';
    blocked += changed + "\n";
  }
  // Leaves whose numbers run into each other on the .grp line (0xFFF9: the
  // group number -7).
  const std::string wide_tree =
      "version D1\nnode-size 8\n"
      "root: AgeBelow 50 -> older [5 0xFFF9 00]\n"
      "older: AgeBelow 75 -> [225 26824 02] [106 1923 00]\n";
  const std::map<std::string, std::string> wide_groups = {
      {"2252682402", "225-26824"}, {"106192300", "106-1923"}, {"05-0700", "05--07"}};
  const struct {
    const char* name;
    std::string tree;  // the demo tree when empty
    bool without_tree;
    std::string input;
    std::map<std::string, std::string> groups;
  } runs[] = {
      {"wide and negative groups", wide_tree, false, demo, wide_groups},
      {"a missing tree table", "", true, demo, {}},
      {"every summary blocked", "", false, blocked, {}},
      {"an empty input", "", false, "", {}},
  };
  for (const auto& run : runs) {
    GruloSandbox box;
    std::string tree = SourcePath("data/demo/tree.txt");
    if (!run.tree.empty()) {
      tree = box.dir().File("tree.txt");
      WriteFileBytes(tree, run.tree);
    }
    ASSERT_EQ(RunBuiltProgram("grulo-tables",
                              {"build", "--tree", tree, "--acts", SourcePath("data/demo/acts.txt"),
                               "--diag", SourcePath("data/demo/diag.txt"), "--out",
                               box.TableDir()}),
              0)
        << run.name;
    if (run.without_tree) std::filesystem::remove(box.TableDir() + "arbressr.tab");
    box.WriteInput(run.input);
    WriteFileBytes(box.dir().File("bin/grulo.ini"), box.StandardConfig());
    const std::string by_run = box.dir().File("by-run.html");
    const std::string after = box.dir().File("after.html");
    ProcessOptions options;
    options.args = {"--report", by_run};
    options.env = {{"GRULO_TODAY", BatchReference::kToday}};
    const ProcessResult ran = box.RunGrulo(options);
    ASSERT_EQ(ran.exit_status, 0) << run.name << ": " << ran.err;
    const ProcessResult made =
        RunCommand({box.program(), "report", "--config", box.dir().File("bin/grulo.ini"),
                    "--today", BatchReference::kToday, "-o", after});
    ASSERT_EQ(made.exit_status, 0) << run.name << ": " << made.err;
    for (const std::string& page : {by_run, after}) {
      CheckPage(RenderedDom(page), box, run.groups, std::string(run.name) + ", " + page);
    }
    if (!run.groups.empty()) {
      const std::string dom = RenderedDom(after);
      for (const auto& [numbers, label] : run.groups) {
        EXPECT_NE(dom.find("data-group=\"" + label + "\""), std::string::npos) << label;
      }
    }
  }
}

// --previous takes last week's run by its configuration (its page made
// first, as grulo report makes it) or by its page; not by its outputs.
TEST_F(ReportTest, AgainstThePreviousRunByItsConfigurationOrItsPage) {
  const std::string config = box_.dir().File("bin/grulo.ini");
  const std::string lines = std::to_string(WrittenCounters(box_).at("NbLus"));
  const std::string compared = box_.dir().File("compared.html");
  const struct {
    std::string previous;
    int status;
    std::string said;  // in the page, or on standard error
  } rows[] = {
      {config, 0, "data-previous=\"NbLus\" data-before=\"" + lines + "\" data-now=\"" + lines},
      {page_, 0, "data-previous=\"NbLus\" data-before=\"" + lines + "\" data-now=\"" + lines},
      {box_.dir().File("out/week.grp"), 2, "is an output of a run; name that run's configuration"},
      {box_.dir().File("data/week.rss"), 1, "gives no page to compare with"},
  };
  for (const auto& row : rows) {
    const ProcessResult r = RunCommand(
        {box_.program(), "report", "--config", config, "--previous", row.previous, "-o", compared},
        "", {"GRULO_TODAY=" + std::string(BatchReference::kToday)});
    ASSERT_EQ(r.exit_status, row.status) << row.previous << ": " << r.err;
    const std::string said = row.status == 0 ? ReadFileBytes(compared) : r.err;
    EXPECT_NE(said.find(row.said), std::string::npos) << row.previous << ": " << said;
  }
}

TEST_F(ReportTest, UsageErrorsAndMissingFiles) {
  const std::string unwritable = box_.dir().File("nowhere/page.html");
  const std::string unwritable_message =
      "cannot write the report page '" + unwritable + "': No such file or directory";
  const struct {
    std::vector<std::string> args;
    int status;
    const char* message;
  } rows[] = {
      {{"--config", box_.dir().File("bin/grulo.ini"), "-o", unwritable},
       1,
       unwritable_message.c_str()},
      {{"--bogus"}, 2, "unknown option '--bogus'"},
      {{"stray"}, 2, "unexpected argument 'stray'"},
      {{"--config", "/nonexistent.ini"}, 1, "cannot read the configuration '/nonexistent.ini'"},
      {{"--input", "/nonexistent", "--grp", "/nonexistent.grp", "--err", "/nonexistent.err",
        "--tables", "/nonexistent/"},
       1,
       "cannot read the .grp file '/nonexistent.grp'"},
      {{"--input", "/nonexistent", "--grp", "/nonexistent.grp", "--err", "/nonexistent.err"},
       2,
       "give --tables DIR"},
      {{"--today", "31022026"}, 2, "--today: '31022026' is not a date DDMMYYYY"},
  };
  for (const auto& row : rows) {
    std::vector<std::string> args = {box_.program(), "report"};
    args.insert(args.end(), row.args.begin(), row.args.end());
    const ProcessResult r = RunCommand(args);
    EXPECT_EQ(r.exit_status, row.status) << row.message;
    EXPECT_NE(r.err.find(row.message), std::string::npos) << r.err;
  }
}

}  // namespace
}  // namespace grulo::test
