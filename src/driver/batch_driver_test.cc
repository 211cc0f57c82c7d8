#include "driver/batch_driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "driver/run_batch.h"
#include "tests/process_testutil.h"

namespace grulo {
namespace {

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

// What the scripted grouping operation returns for one summary.
struct Outcome {
  std::vector<int16_t> errors;
  int16_t category = 0;
  int16_t number = 0;
  int16_t ret = 0;
  std::string version;  // at most 2 characters
  std::string message;  // written to the .err file
};

class ScriptedGrouper final : public SummaryGrouper {
 public:
  void GroupSummary(std::string_view line, std::string_view rep_tab, int16_t* group_category,
                    int16_t* group_number, int16_t* group_return, ErrorList* errors,
                    OutputFile* err_file, VersionText* table_version) override {
    lines.emplace_back(line);
    EXPECT_EQ(rep_tab, expected_rep_tab);  // the RepTab value, as it stands
    EXPECT_EQ(*group_category, 0);
    EXPECT_EQ(*group_number, 0);
    EXPECT_EQ(*group_return, 0);
    EXPECT_EQ(VersionView(*table_version), "");
    if (hook) hook();
    if (outcomes.empty()) return;
    Outcome o = outcomes.front();
    outcomes.pop_front();
    // Entries set directly, without clearing: the list comes as the driver
    // hands it over.
    for (size_t i = 0; i < o.errors.size(); ++i) errors->entries[i] = o.errors[i];
    *group_category = o.category;
    *group_number = o.number;
    *group_return = o.ret;
    for (size_t i = 0; i < o.version.size() && i < 2; ++i) (*table_version)[i] = o.version[i];
    err_file->Write(o.message);
  }

  std::string expected_rep_tab = "tables/";
  std::deque<Outcome> outcomes;
  std::vector<std::string> lines;
  std::function<void()> hook;
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
  // Runs the batch; what it says is kept in messages_.
  int Run() {
    std::FILE* stream = std::tmpfile();
    int status;
    {
      RunConsole console(stream, false);
      status = RunBatch({ConfigPath(), true}, grouper_, console);
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
  WriteInput(line + "\n" + line + "\n" + line + "\n" + line + "\n");
  grouper_.outcomes = {
      {{}, -1, -5, 7, "Z", ""},
      {{}, 123, 4567, 100, "V1", ""},
      {{}, 0, 0, -32768, std::string("\0X", 2), ""},
      {{}, 5, 6, 0, "ABC", ""},
  };
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(Grp(), " Z-1-0507M14" + line + "\r\n" + "V11234567100M14" + line + "\r\n" +
                       "  00000-32768M14" + line + "\r\n" + "AB0500600M14" + line + "\r\n");
}

TEST_F(BatchRunTest, EachSummaryStartsWithAnEmptyErrorList) {
  WriteStandardConfig();
  std::string line = Summary();
  WriteInput(line + "\n" + line + "\n");
  grouper_.outcomes = {{{12, 1}, 90, 900, 12, "", ""}, {{}, 1, 2, 3, "", "table note\n"}};
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(Grp(), "  0100203M14" + line + "\r\n");
  // The entry of the blocked summary (stay, week and unit numbers taken from
  // its line), then what the grouping wrote for the next one.
  EXPECT_EQ(Err(),
            "====================================Enregistrement n\xB0 1\r\n"
            "N\xB0 de SSR / N\xB0 de semaine / N\xB0 UM : mnopqrs / wxyzab / jklm\r\n"
            "\t->  Liste des erreurs bloquantes: 12,\r\n"
            "\t->  Liste des erreurs non bloquantes: 1,\r\n"
            "table note\r\n");
  EXPECT_EQ(ReadFileBytes(ConfigPath()), Counters(2, 1, 0, 0));
}

TEST_F(BatchRunTest, MissingConfigurationFailsWithoutCreatingIt) {
  EXPECT_EQ(Run(), 1);
  EXPECT_FALSE(PathExists(ConfigPath()));
  EXPECT_EQ(messages_, "grulo: cannot read the configuration file " + ConfigPath() +
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
  WriteStandardConfig();
  WriteInput(Summary() + "\n");
  std::filesystem::create_symlink("/dev/full", dir_.File("out/week.12.grp"));
  EXPECT_EQ(Run(), 1);
  EXPECT_EQ(Err(), "Pb d'ouverture fichier en sortie : " + dir_.File("out/week.12") + ".grp\r\n");
  EXPECT_NE(messages_.find("cannot create the output file " + dir_.File("out/week.12.grp")),
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
  EXPECT_NE(messages_.find("cannot write the counters into " + ConfigPath()), std::string::npos)
      << messages_;
  // The outputs are not put in place without their counters.
  EXPECT_EQ(Grp(), "<missing>");
  EXPECT_EQ(Err(), "<missing>");
  EXPECT_EQ(Names("out"), std::vector<std::string>{});
}

}  // namespace
}  // namespace grulo
