// grulo report in a real browser: the demo run's page is loaded by headless
// Chromium, and the rendered document must show the run's counters, one bar
// per group with its count, and every error number of the .err file with
// its meaning. A screenshot of the page is left in the build directory
// (report.png) for a person to look at. Without Chromium the browser test
// is skipped; the install script brings it.

#include <gtest/gtest.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <cstdlib>
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

// The demo run: tables built from the demo sources, the demo input, grulo
// run on them, then grulo report on the run's configuration.
class ReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(BuildDemoTables(box_.TableDir()), 0);
    box_.WriteInput(ReadFileBytes(SourcePath("data/demo/input.txt")));
    ASSERT_EQ(box_.Run(BatchReference::kToday), 0);
    page_ = box_.dir().File("report.html");
    const ProcessResult r = RunCommand(
        {box_.program(), "report", "--config", box_.dir().File("bin/grulo.ini"), "-o", page_});
    ASSERT_EQ(r.exit_status, 0) << r.err;
    ASSERT_EQ(r.err, "");
  }

  // The counters that the run wrote into grulo.ini.
  std::map<std::string, int64_t> WrittenCounters() const {
    std::map<std::string, int64_t> counters;
    for (const std::string& line : SplitLines(box_.Counters())) {
      const size_t equals = line.find('=');
      if (equals != std::string::npos) {
        counters[line.substr(0, equals)] = std::atoll(line.c_str() + equals + 1);
      }
    }
    return counters;
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
  const std::string chromium = FindChromium();
  if (chromium.empty()) {
    GTEST_SKIP() << "chromium is not installed (bash scripts/install-deps.sh test installs it): "
                    "the report is not checked in a browser";
  }
  TempDir profile;
  const std::vector<std::string> browser = {chromium,
                                            "--headless",
                                            "--no-sandbox",
                                            "--disable-gpu",
                                            "--disable-background-networking",
                                            "--disable-component-update",
                                            "--disable-sync",
                                            "--no-first-run",
                                            "--user-data-dir=" + profile.path()};
  std::vector<std::string> dump = browser;
  dump.push_back("--dump-dom");
  dump.push_back("file://" + page_);
  const ProcessResult rendered = RunCommand(dump);
  ASSERT_EQ(rendered.exit_status, 0) << rendered.err;
  const std::string& dom = rendered.out;
  ASSERT_NE(dom.find("grulo run report"), std::string::npos) << dom.substr(0, 500);

  // The totals are the counters of grulo.ini.
  const std::map<std::string, int64_t> counters = WrittenCounters();
  ASSERT_EQ(counters.size(), 4u);
  for (const auto& [name, value] : counters) {
    const std::regex card("data-counter=\"" + name + "\" data-value=\"([0-9]+)\"");
    std::smatch match;
    ASSERT_TRUE(std::regex_search(dom, match, card)) << name;
    EXPECT_EQ(std::atoll(match[1].str().c_str()), value) << name;
    const std::regex total("data-total=\"" + name + "\">([^<]*)<");
    ASSERT_TRUE(std::regex_search(dom, match, total)) << name;
    std::string digits;
    for (char c : match[1].str()) {
      if (c >= '0' && c <= '9') digits += c;
    }
    EXPECT_EQ(std::atoll(digits.c_str()), value) << name;
  }

  // One bar per group, with the number of .grp lines of that group.
  std::map<std::string, int64_t> expected_groups;
  for (const std::string& line : SplitLines(box_.Grp())) {
    const std::string group = line.substr(2, 2) + "-" + line.substr(4, 3);
    if (group == "99-904" || group == "00-000") continue;
    ++expected_groups[group];
  }
  std::map<std::string, int64_t> bars;
  const std::regex bar("class=\"group-bar\" data-group=\"([0-9-]+)\" data-count=\"([0-9]+)\"");
  for (auto it = std::sregex_iterator(dom.begin(), dom.end(), bar); it != std::sregex_iterator();
       ++it) {
    EXPECT_EQ(bars.count((*it)[1].str()), 0u) << "two bars for " << (*it)[1].str();
    bars[(*it)[1].str()] = std::atoll((*it)[2].str().c_str());
  }
  EXPECT_GT(expected_groups.size(), 20u);
  EXPECT_EQ(bars, expected_groups);

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
  std::vector<std::string> shot = browser;
  shot.push_back("--screenshot=" + screenshot);
  shot.push_back("--window-size=1200,2000");
  shot.push_back("file://" + page_);
  const ProcessResult taken = RunCommand(shot);
  EXPECT_EQ(taken.exit_status, 0) << taken.err;
  EXPECT_GT(ReadFileBytes(screenshot).size(), 10000u);
}

TEST_F(ReportTest, FromTheRunsFilesWithoutAConfiguration) {
  const std::string page = box_.dir().File("by-files.html");
  const ProcessResult r = RunCommand(
      {box_.program(), "report", "--input", box_.dir().File("data/week.rss"), "--grp",
       box_.dir().File("out/week.grp"), "--err", box_.dir().File("out/week.err"), "-o", page});
  ASSERT_EQ(r.exit_status, 0) << r.err;
  const std::string html = ReadFileBytes(page);
  const std::map<std::string, int64_t> counters = WrittenCounters();
  EXPECT_NE(html.find("data-counter=\"NbLus\" data-value=\"" +
                      std::to_string(counters.at("NbLus")) + "\""),
            std::string::npos);
  EXPECT_EQ(html.find("class=\"warning\""), std::string::npos);

  // Outputs of another input: the page says so.
  box_.WriteInput("short line\n" + ReadFileBytes(SourcePath("data/demo/input.txt")));
  const ProcessResult other = RunCommand(
      {box_.program(), "report", "--input", box_.dir().File("data/week.rss"), "--grp",
       box_.dir().File("out/week.grp"), "--err", box_.dir().File("out/week.err"), "-o", page});
  ASSERT_EQ(other.exit_status, 0) << other.err;
  EXPECT_NE(ReadFileBytes(page).find("class=\"warning\""), std::string::npos);
}

// The page replaces the previous one whole, under a name of Windows-1252
// bytes as a configuration would give it (0xE9: e acute).
TEST_F(ReportTest, PageUnderAnAccentedName) {
  const std::string page = box_.dir().File("rapport-\xE9.html");
  for (int run = 0; run < 2; ++run) {
    const ProcessResult r = RunCommand(
        {box_.program(), "report", "--config", box_.dir().File("bin/grulo.ini"), "-o", page});
    ASSERT_EQ(r.exit_status, 0) << r.err;
    FileInfo info;
    ASSERT_TRUE(GetFileInfo(page, &info).ok());
    EXPECT_EQ(info.type, FileInfo::kRegular);
    EXPECT_EQ(info.size, static_cast<int64_t>(ReadFileBytes(page_).size()));
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
      {{"--input", "/nonexistent", "--grp", "/nonexistent.grp", "--err", "/nonexistent.err"},
       1,
       "cannot read the .grp file '/nonexistent.grp'"},
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
