#include "batch/batch_driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "run/run_batch.h"
#include "platform/file_lock.h"
#include "platform/lock_holder_testutil.h"
#include "text/cp1252_text.h"
#include "tests/process_testutil.h"

namespace grulo {
namespace {

using test::LockHolder;
using test::PathExists;
using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

// A well-formed summary line of 343 characters without acts; every other
// character is a letter that tells its position apart.
std::string Summary() {
  std::string line(343, '.');
  for (size_t i = 0; i < line.size(); ++i) line[i] = static_cast<char>('a' + i % 26);
  line.replace(9, 3, "M04");
  line.replace(341, 2, "00");
  return line;
}

TEST(BatchDriverTest, SortsErrorNumbersIntoTwoLists) {
  struct Case {
    std::vector<std::pair<int, int16_t>> entries;  // index, number
    const char* blocking;
    const char* non_blocking;
  } cases[] = {
      {{}, "", ""},
      {{{0, 22}, {1, 47}, {2, 13}}, "47,13,", "22,"},
      {{{0, 77}, {1, 1}, {2, 77}, {3, 1}}, "77,77,", "1,1,"},
      {{{1, 12}, {50, 0}, {99, 1}}, "12,", "1,"},  // every entry is read, zeros skipped
      {{{0, -5}, {1, 1000}}, "-5,1000,", ""},
  };
  ErrorListTexts texts;
  for (const Case& c : cases) {
    ErrorList list;
    for (auto [index, number] : c.entries) list.entries[index] = number;
    texts.Sort(list);
    EXPECT_EQ(texts.blocking(), c.blocking);
    EXPECT_EQ(texts.non_blocking(), c.non_blocking);
  }
  ErrorList full;
  full.entries.fill(-32768);
  texts.Sort(full);
  EXPECT_EQ(texts.blocking().size(), 700u);
  EXPECT_TRUE(texts.blocking().ends_with("-32768,-32768,"));
}

// What the scripted grouping gives one summary.
struct Outcome {
  std::vector<int16_t> errors;
  int16_t category = 0;
  int16_t number = 0;
  int16_t ret = 0;
  std::string version;  // at most 2 characters
  OutcomeKind kind = OutcomeKind::kGrouped;
};

class ScriptedGrouper final : public SummaryGrouper {
 public:
  void Group(std::string_view line, LineOutcome* outcome) override {
    lines.emplace_back(line);
    // Every summary starts from an empty outcome.
    EXPECT_EQ(outcome->errors.ErrorCount, 0);
    EXPECT_EQ(outcome->result.GroupReturn, 0);
    EXPECT_EQ(VersionView(outcome->version), "");
    if (hook) hook();
    if (outcomes.empty()) return;
    Outcome o = outcomes.front();
    outcomes.pop_front();
    for (int16_t number : o.errors) AddError(&outcome->errors, number);
    outcome->kind = o.kind;
    outcome->result = {o.category, o.number, o.ret};
    for (size_t i = 0; i < o.version.size() && i < 2; ++i) outcome->version[i] = o.version[i];
  }

  std::string expected_rep_tab = "tables/";
  std::deque<Outcome> outcomes;
  std::vector<std::string> lines;
  std::function<void()> hook;
};

// The run's grouping, handed to the scripted one.
class ToScripted final : public SummaryGrouper {
 public:
  explicit ToScripted(ScriptedGrouper* to) : to_(to) {}
  void Group(std::string_view line, LineOutcome* outcome) override { to_->Group(line, outcome); }

 private:
  ScriptedGrouper* to_;
};

class BatchRunTest : public ::testing::Test {
 protected:
  BatchRunTest() {
    std::filesystem::create_directory(dir_.File("out"));
    std::filesystem::create_directory(dir_.File("in"));
  }

  void WriteConfig(const std::string& fic_ent, const std::string& rep_sor,
                   const std::string& rep_tab = "tables/") {
    config_ = "[G\xE9n\xE9ral]\r\nRepTab=" + rep_tab + "\r\nFicEnt=" + fic_ent + "\r\nRepSor=" +
              rep_sor + "\r\n";
    grouper_.expected_rep_tab = rep_tab;
    WriteFileBytes(ConfigPath(), config_);
  }
  void WriteStandardConfig() { WriteConfig(dir_.File("in/week.12.txt"), dir_.File("out")); }
  void WriteInput(const std::string& bytes) { WriteFileBytes(dir_.File("in/week.12.txt"), bytes); }

  std::string ConfigPath() const { return dir_.File("grulo.ini"); }
  std::string Err() const { return ReadFileBytes(dir_.File("out/week.12.err")); }
  std::string Grp() const { return ReadFileBytes(dir_.File("out/week.12.grp")); }
  std::string Counters(int lus, int bloq, int non_bloq, int form) const {
    return config_ + "\r\n[R\xE9sultats]\r\nNbLus=" + std::to_string(lus) +
           "\r\nNbErrBloq=" + std::to_string(bloq) + "\r\nNbErrNonBloq=" +
           std::to_string(non_bloq) + "\r\nNbErrForm=" + std::to_string(form) + "\r\n";
  }
  // Runs the batch, with the scripted grouping unless another is given;
  // what it says is kept in messages_.
  int Run(GrouperFactory grouping = nullptr, const RunOptions& options = RunOptions(),
          bool terminal = false) {
    if (grouping == nullptr) {
      grouping = [this](const std::string& rep_tab) -> std::unique_ptr<SummaryGrouper> {
        EXPECT_EQ(rep_tab, grouper_.expected_rep_tab);  // the RepTab value, as it stands
        return std::make_unique<ToScripted>(&grouper_);
      };
    }
    std::FILE* stream = std::tmpfile();
    int status;
    {
      RunConsole console(stream, terminal);
      status = RunBatch({ConfigPath(), true}, options, grouping, console);
    }
    std::rewind(stream);
    messages_.clear();
    char block[4096];
    size_t n;
    while ((n = std::fread(block, 1, sizeof block, stream)) > 0) messages_.append(block, n);
    std::fclose(stream);
    return status;
  }
  // The names in a directory of the test, sorted.
  std::vector<std::string> Names(const std::string& dir) const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.File(dir))) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  TempDir dir_;
  std::string messages_;
  std::string config_;
  ScriptedGrouper grouper_;
};

TEST_F(BatchRunTest, FormatsResultNumbersLikePrintf) {
  WriteStandardConfig();
  std::string line = Summary();
  std::string input;
  for (int i = 0; i < 7; ++i) input += line + "\n";
  WriteInput(input);
  grouper_.outcomes = {
      {{}, -1, -5, 7, "Z"},
      {{}, 123, 4567, 100, "V1"},
      {{}, 0, 0, -32768, std::string("\0X", 2)},
      {{}, 5, 6, 0, "ABC"},
      // A version with a line feed: written as any text is, CR LF.
      {{}, 1, 2, 3, "\n1"},
      {{}, 1, 2, 3, "1\n"},
      {{}, 1, 2, 3, std::string("\0\n", 2)},
  };
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(Grp(), " Z-1-0507M14" + line + "\r\n" + "V11234567100M14" + line + "\r\n" +
                       "  00000-32768M14" + line + "\r\n" + "AB0500600M14" + line + "\r\n" +
                       "\r\n10100203M14" + line + "\r\n" + "1\r\n0100203M14" + line + "\r\n" +
                       "  0100203M14" + line + "\r\n");
  EXPECT_EQ(messages_, "");  // a clean run says nothing
}

TEST_F(BatchRunTest, EachSummaryStartsWithAnEmptyErrorList) {
  WriteStandardConfig();
  std::string line = Summary();
  WriteInput(line + "\n" + line + "\n");
  grouper_.outcomes = {{{12, 1}, 90, 900, 12, "", OutcomeKind::kBlocked}, {{}, 1, 2, 3, ""}};
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(Grp(), "  0100203M14" + line + "\r\n");
  // The entry of the blocked summary (stay, week and unit numbers taken from
  // its line); the next one starts without its errors.
  EXPECT_EQ(Err(),
            "====================================Enregistrement n\xB0 1\r\n"
            "N\xB0 de SSR / N\xB0 de semaine / N\xB0 UM : mnopqrs / wxyzab / jklm\r\n"
            "\t->  Liste des erreurs bloquantes: 12,\r\n"
            "\t->  Liste des erreurs non bloquantes: 1,\r\n");
  EXPECT_EQ(ReadFileBytes(ConfigPath()), Counters(2, 1, 0, 0));
}

// The closing summary counts every line once: the summaries that table
// problems and failed walks left without a group apart from the grouped
// ones, and with --strict they give an exit status of their own, after the
// same outputs and counters.
TEST_F(BatchRunTest, ClosingSummaryAndStrictStatus) {
  WriteStandardConfig();
  std::string input;
  for (int i = 0; i < 6; ++i) input += Summary() + "\n";
  WriteInput(input + "short\n");
  for (bool strict : {false, true}) {
    SCOPED_TRACE(strict);
    grouper_.outcomes = {
        {{}, 1, 2, 0, "V1"},                                  // grouped
        {{22}, 1, 3, 0, "V1"},                                // grouped, a non-blocking error
        {{47}, 90, 900, 47, "V1", OutcomeKind::kBlocked},     // blocked
        {{22}, 99, 904, 2, "V1", OutcomeKind::kWalkFailed},   // a failed walk, an error
        {{}, 99, 904, 1, "V1", OutcomeKind::kWalkFailed},     // a failed walk
        {{}, 0, 0, 99, "", OutcomeKind::kTableProblem},       // a table problem
    };
    RunOptions options;
    options.strict = strict;
    EXPECT_EQ(Run(nullptr, options, true), strict ? kExitStrictTableProblems : 0);
    EXPECT_NE(messages_.find("grulo: 2 grouped (1 non-blocking), 1 blocked, 1 format error, 3 "
                             "table problems\ngrulo: 7 lines in "),
              std::string::npos)
        << messages_;
    EXPECT_EQ(messages_.find("--strict: 3 summaries met table problems or failed walks; the "
                             "outputs and counters are written; exit status 4\n") !=
                  std::string::npos,
              strict)
        << messages_;
    EXPECT_EQ(ReadFileBytes(ConfigPath()), Counters(7, 1, 2, 1));
    config_ = ReadFileBytes(ConfigPath());
    config_.resize(config_.find("\r\n[R"));
  }
}

TEST_F(BatchRunTest, MissingConfigurationFailsWithoutCreatingIt) {
  EXPECT_EQ(Run(), 1);
  EXPECT_FALSE(PathExists(ConfigPath()));
  EXPECT_EQ(messages_, "grulo: cannot read the configuration file " + Quoted(ConfigPath()) +
                           " (given with --config): No such file or directory\n");
}

TEST_F(BatchRunTest, InputThatIsADirectoryCreatesNothing) {
  WriteConfig(dir_.File("in"), dir_.File("out"));
  EXPECT_EQ(Run(), 1);
  EXPECT_TRUE(std::filesystem::is_empty(dir_.File("out")));
  EXPECT_EQ(ReadFileBytes(ConfigPath()), config_);
}

TEST_F(BatchRunTest, RefusesToOverwriteTheInput) {
  std::string input = Summary() + "\n";
  WriteConfig(dir_.File("out/week.grp"), dir_.File("out"));
  WriteFileBytes(dir_.File("out/week.grp"), input);
  EXPECT_EQ(Run(), 1);
  EXPECT_EQ(ReadFileBytes(dir_.File("out/week.grp")), input);
  EXPECT_TRUE(grouper_.lines.empty());
}

// An output name taken by something else than a regular file (here a link to
// a device) counts as a .grp file that cannot be created.
TEST_F(BatchRunTest, GrpThatIsNoRegularFileIsNotCreated) {
#ifdef _WIN32
  GTEST_SKIP() << "the .grp is a symbolic link to a device, which Windows does not have";
#endif
  WriteStandardConfig();
  WriteInput(Summary() + "\n");
  std::filesystem::create_symlink("/dev/full", dir_.File("out/week.12.grp"));
  EXPECT_EQ(Run(), 1);
  EXPECT_EQ(Err(), "Pb d'ouverture fichier en sortie : " + dir_.File("out/week.12") + ".grp\r\n");
  EXPECT_NE(messages_.find("cannot create the output file " + Quoted(dir_.File("out/week.12.grp"))),
            std::string::npos) << messages_;
  EXPECT_EQ(ReadFileBytes(ConfigPath()), config_);
  EXPECT_TRUE(grouper_.lines.empty());
}

TEST_F(BatchRunTest, CountersThatCannotBeWrittenFailTheRun) {
  WriteStandardConfig();
  WriteInput(Summary() + "\n");
  grouper_.hook = [this] {
    std::filesystem::remove(ConfigPath());
    std::filesystem::create_directory(ConfigPath());
  };
  EXPECT_EQ(Run(), 1);
  EXPECT_NE(messages_.find("cannot write the counters into " + Quoted(ConfigPath())),
            std::string::npos)
      << messages_;
  // The outputs are not put in place without their counters.
  EXPECT_EQ(Grp(), "<missing>");
  EXPECT_EQ(Err(), "<missing>");
  EXPECT_EQ(Names("out"), std::vector<std::string>{});
}

// Every way the configuration can fail the run: exit status 1, one line
// saying what and where, and nothing written.
TEST_F(BatchRunTest, ConfigurationProblemsStopTheRunBeforeAnythingIsWritten) {
  const std::string input = dir_.File("in/week.12.txt");
  const std::string out = dir_.File("out");
  const std::string cfg = ConfigPath();
  const std::string in_cfg = " in " + Quoted(cfg);
  WriteInput(Summary() + "\n");
  WriteFileBytes(dir_.File("a-file"), "x");
  struct Case {
    std::string config;
    std::vector<std::string> said;  // pieces of the message
  } cases[] = {
      {"[General]\r\nFicEnt=" + input + "\r\nRepSor=" + out + "\r\n",
       {"grulo: the configuration file " + Quoted(cfg) +
            " has no section [G\xC3\xA9n\xC3\xA9ral]; its section [General] lacks the accents: "
            "write [G\xC3\xA9n\xC3\xA9ral]\n"}},
      {"[G\xE8n\xE8ral]\r\nFicEnt=" + input + "\r\nRepSor=" + out + "\r\n",
       {"its section [G\xC3\xA8n\xC3\xA8ral] has other accents: write [G\xC3\xA9n\xC3\xA9ral]\n"}},
      {"[Ge\xCC\x81ne\xCC\x81ral]\r\nFicEnt=" + input + "\r\nRepSor=" + out + "\r\n",
       {"its section [Ge\xCC\x81ne\xCC\x81ral] writes its accents as separate marks "
        "(decomposed Unicode): write [G\xC3\xA9n\xC3\xA9ral] with each accented letter as one "
        "character\n"}},
      {"[Generale]\r\nFicEnt=" + input + "\r\nRepSor=" + out + "\r\n",
       {"has no section [G\xC3\xA9n\xC3\xA9ral]\n"}},
      {"[G\xE9n\xE9ral]\r\nRepSor=" + out + "\r\n",
       {"no input file: the key FicEnt is missing in section [G\xC3\xA9n\xC3\xA9ral] of " +
        Quoted(cfg)}},
      {"[G\xE9n\xE9ral]\r\nFicEnt=\r\nRepSor=" + out + "\r\n", {"no input file: FicEnt is empty"}},
      {"[G\xE9n\xE9ral]\r\nFicEnt=" + input + "\r\n",
       {"no output directory: the key RepSor is missing", "into the root directory"}},
      {"[G\xE9n\xE9ral]\r\nFicEnt=" + input + "\r\nRepSor=\r\n", {"RepSor is empty"}},
      {"[G\xE9n\xE9ral]\r\nFicEnt=" + input + "\r\nRepSor=" + out + "/none\r\n",
       {"the output directory " + Quoted(out + "/none") + " (RepSor" + in_cfg +
        ") does not exist"}},
      {"[G\xE9n\xE9ral]\r\nFicEnt=" + input + "\r\nRepSor=" + dir_.File("a-file") + "\r\n",
       {"is not a directory"}},
      {"[G\xE9n\xE9ral]\r\nFicEnt=" + input + "x\r\nRepSor=" + out + "\r\n",
       {"grulo: cannot open the input file " + Quoted(input + "x") + " (FicEnt" + in_cfg +
        "): No such file or directory\n"}},
      {"[G\xE9n\xE9ral]\r\nFicEnt=" + dir_.File("in") + "\r\nRepSor=" + out + "\r\n",
       {"cannot open the input file " + Quoted(dir_.File("in")), "): Is a directory"}},
      {"[G\xE9n\xE9ral]\r\nFicEnt=in/week.12.txt\r\nRepSor=" + out + "\r\n",
       {"cannot open the input file 'in/week.12.txt' (FicEnt" + in_cfg +
        "; relative to the current directory '"}},
  };
  for (const Case& c : cases) {
    config_ = c.config;
    WriteFileBytes(cfg, config_);
    EXPECT_EQ(Run(), 1) << c.config;
    for (const std::string& piece : c.said) {
      EXPECT_NE(messages_.find(piece), std::string::npos) << messages_ << "\nwanted: " << piece;
    }
    EXPECT_EQ(std::count(messages_.begin(), messages_.end(), '\n'), 1) << messages_;
    EXPECT_EQ(Names("out"), std::vector<std::string>{}) << c.config;
    EXPECT_EQ(Names(""), (std::vector<std::string>{"a-file", "grulo.ini", "in", "out"}));
    EXPECT_EQ(ReadFileBytes(cfg), config_);
  }
  EXPECT_TRUE(grouper_.lines.empty());
}

// An input that grows or shrinks while it is read: the outputs would not
// match the file, so the previous ones stay.
TEST_F(BatchRunTest, InputThatChangesSizeFailsTheRun) {
  for (bool grow : {true, false}) {
    WriteStandardConfig();
    const std::string text = Summary() + "\n" + Summary() + "\n";
    WriteInput(text);
    WriteFileBytes(dir_.File("out/week.12.grp"), "previous grp");
    WriteFileBytes(dir_.File("out/week.12.err"), "previous err");
    grouper_.hook = [this, grow, &text] {
      WriteInput(grow ? text + text : text.substr(0, 100));
      grouper_.hook = nullptr;
    };
    EXPECT_EQ(Run(), 1);
    const std::string size = std::to_string(text.size());
    // What grew was read too; what was cut off had been read already.
    const std::string expected =
        grow ? size + " bytes at the start, " + std::to_string(2 * text.size()) + " at the end"
             : size + " bytes at the start, 100 at the end, " + size + " read";
    EXPECT_EQ(messages_, "grulo: the input file " + Quoted(dir_.File("in/week.12.txt")) +
                             " (FicEnt in " + Quoted(ConfigPath()) +
                             ") changed size during the run: " + expected +
                             "; the previous 'week.12.grp', 'week.12.err' and counters are left "
                             "as they were\n");
    EXPECT_EQ(Grp(), "previous grp");
    EXPECT_EQ(Err(), "previous err");
    EXPECT_EQ(Names("out"), (std::vector<std::string>{"week.12.err", "week.12.grp"}));
    EXPECT_EQ(ReadFileBytes(ConfigPath()), config_);
  }
}

TEST_F(BatchRunTest, LeftoversOfAKilledRunAreRemoved) {
  WriteStandardConfig();
  WriteInput(Summary() + "\n");
  for (const char* name : {"out/.week.12.grp.grulo-tmp", "out/.week.12.err.grulo-tmp",
                           "out/.week.12.grulo-outputs.lock", ".grulo.ini.grulo-config-tmp",
                           ".grulo.ini.grulo-config.lock"}) {
    WriteFileBytes(dir_.File(name), "left behind");
  }
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(Names("out"), (std::vector<std::string>{"week.12.err", "week.12.grp"}));
  EXPECT_EQ(Names(""), (std::vector<std::string>{"grulo.ini", "in", "out"}));
}

// A commit record that a power cut left unfinished (no rename had begun)
// is undone; one that is not grulo's, or names another configuration, stops
// the run and stays.
TEST_F(BatchRunTest, CommitRecordsCutShortOrNotOurs) {
  WriteStandardConfig();
  WriteInput(Summary() + "\n");
  const std::string record = dir_.File(".grulo.ini.grulo-commit");
  const struct {
    std::string text;
    int status;
    std::string said;
  } cases[] = {
      {"grulo commit record\nconfig " + ConfigPath() + "\ncounter NbLus 9", 0,
       "grulo: warning: an earlier run was stopped while it wrote its commit record '" + record +
           "': none of its results had been put in place; the record is removed\n"},
      {"notes\n", 1, "the record is not one of grulo's; remove it"},
      {"grulo commit record\nconfig /elsewhere/grulo.ini\nend\n", 1,
       "the record names the configuration file '/elsewhere/grulo.ini' (moved or copied since?); "
       "remove it"},
  };
  for (const auto& c : cases) {
    WriteFileBytes(record, c.text);
    EXPECT_EQ(Run(), c.status) << c.text;
    EXPECT_NE(messages_.find(c.said), std::string::npos) << messages_;
    EXPECT_EQ(PathExists(record), c.status != 0);
  }
}

// A run that finds the configuration or the output names locked by another
// process stops at once and names it.
TEST_F(BatchRunTest, LockHeldByAnotherProcess) {
#ifdef _WIN32
  GTEST_SKIP() << "the other process is a forked child, which Windows does not have";
#else
  WriteStandardConfig();
  WriteInput(Summary() + "\n");
  WriteFileBytes(dir_.File("out/week.12.grp"), "previous grp");
  struct Case {
    std::string lock;
    std::string said;
  } cases[] = {
      {dir_.File(".grulo.ini.grulo-config.lock"),
       "is using the configuration file " + Quoted(ConfigPath())},
      {dir_.File("out/.week.12.grulo-outputs.lock"),
       "is writing " + Quoted(dir_.File("out/week.12.grp")) + " and 'week.12.err'"},
  };
  for (const Case& c : cases) {
    LockHolder other(c.lock);
    ASSERT_TRUE(other.held());
    const int64_t child = other.pid();
    EXPECT_EQ(Run(), 1);
    EXPECT_NE(messages_.find("grulo: another run (process " + std::to_string(child) + ") " + c.said),
              std::string::npos) << messages_;
    EXPECT_NE(messages_.find("this run stops and changes nothing"), std::string::npos);
    EXPECT_TRUE(grouper_.lines.empty());
    other.Release();
    EXPECT_EQ(Grp(), "previous grp");
    EXPECT_EQ(ReadFileBytes(ConfigPath()), config_);
  }
  EXPECT_EQ(Run(), 0);  // the locks went with the process
#endif
}

// A new counters section takes the configuration file's encoding.
TEST_F(BatchRunTest, CountersSectionInTheFilesEncoding) {
  WriteInput("");
  struct Case {
    std::string general;
    std::string results;
  } cases[] = {
      {"G\xE9n\xE9ral", "R\xE9sultats"},
      {"G\xC3\xA9n\xC3\xA9ral", "R\xC3\xA9sultats"},
  };
  grouper_.expected_rep_tab = "";  // no RepTab
  for (const Case& c : cases) {
    config_ = "[" + c.general + "]\nFicEnt=" + dir_.File("in/week.12.txt") + "\nRepSor=" +
              dir_.File("out") + "\n";
    WriteFileBytes(ConfigPath(), config_);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(ReadFileBytes(ConfigPath()),
              config_ + "\n[" + c.results + "]\nNbLus=0\nNbErrBloq=0\nNbErrNonBloq=0\nNbErrForm=0\n");
  }
}

TEST_F(BatchRunTest, TableProblemsAndAByteOrderMarkAreWarned) {
  std::filesystem::create_directory(dir_.File("tables"));
  WriteConfig(dir_.File("in/week.12.txt"), dir_.File("out"), dir_.File("tables"));
  std::string line = Summary();
  WriteInput("\xEF\xBB\xBF" + line + "\n" + line + "\n" + line + "\n");
  EXPECT_EQ(Run(BatchGrouping(FixedClocks(CivilDate{2026, 12, 7}))), 0);
  const std::string tables = dir_.File("tables");
  const std::string where = " (RepTab in " + Quoted(ConfigPath()) + ")";
  EXPECT_EQ(messages_,
            "grulo: warning: the input file " + Quoted(dir_.File("in/week.12.txt")) +
                " starts with a UTF-8 byte order mark (bytes EF BB BF): line 1 is reported as a "
                "format problem, as every implementation does; save the file without the mark, "
                "in Windows-1252\n"
                "grulo: warning: table file " + Quoted(tables + "arbressr.tab") + where +
                ": missing; 2 summaries got return code 99\n"
                "grulo: warning: table file " + Quoted(tables + "ccamcssr.tab") + where +
                ": not opened; no summary reached it\n"
                "grulo: warning: table file " + Quoted(tables + "diag10sr.tab") + where +
                ": not opened; no summary reached it\n"
                "grulo: warning: the table directory " + Quoted(tables) + where +
                " does not end with '/': the table names are put right behind it (" +
                Quoted(tables + "arbressr.tab") + "); write RepTab=" + tables + "/\n");
  EXPECT_EQ(ReadFileBytes(ConfigPath()), Counters(3, 0, 0, 1));
}

}  // namespace
}  // namespace grulo
