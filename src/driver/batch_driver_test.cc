#include "driver/batch_driver.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/process_testutil.h"

namespace grulo {
namespace {

using test::PathExists;
using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

// A summary line of 343 + 8 x `acts` characters with the given act count
// text and identification fields; every other character is a letter that
// tells its position apart.
std::string Summary(int acts, const std::string& act_count, const std::string& format = "M04",
                    const std::string& stay = "0001234", const std::string& week = "012024",
                    const std::string& unit = "U001") {
  std::string line(343 + 8 * acts, '.');
  for (size_t i = 0; i < line.size(); ++i) line[i] = static_cast<char>('a' + i % 26);
  line.replace(9, 3, format);
  line.replace(12, 7, stay);
  line.replace(74, 6, week);
  line.replace(87, 4, unit);
  line.replace(341, 2, act_count);
  return line;
}

TEST(BatchDriverTest, SortsErrorNumbersIntoTwoLists) {
  struct Case {
    std::vector<std::pair<int, int16_t>> entries;  // index, number
    const char* blocking;
    const char* non_blocking;
  } cases[] = {
      {{}, "", ""},
      {{{0, 12}, {1, 45}}, "12,45,", ""},
      {{{0, 22}, {1, 47}, {2, 13}}, "47,13,", "22,"},
      {{{0, 1}, {1, 17}, {2, 82}}, "", "1,17,82,"},
      {{{0, 44}, {1, 43}}, "43,", "44,"},
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
    rep_tabs.emplace_back(rep_tab);
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

  std::deque<Outcome> outcomes;
  std::vector<std::string> lines;
  std::vector<std::string> rep_tabs;
  std::function<void()> hook;
};

class BatchRunTest : public ::testing::Test {
 protected:
  BatchRunTest() {
    std::filesystem::create_directory(dir_.File("out"));
    std::filesystem::create_directory(dir_.File("in"));
  }

  void WriteConfig(const std::string& fic_ent, const std::string& rep_sor) {
    config_ = "[G\xE9n\xE9ral]\r\nRepTab=tables/\r\nFicEnt=" + fic_ent + "\r\nRepSor=" + rep_sor +
              "\r\n";
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
  int Run() { return RunBatch(ConfigPath(), grouper_); }

  TempDir dir_;
  std::string config_;
  ScriptedGrouper grouper_;
};

constexpr char kHeader[] = "====================================Enregistrement n\xB0 ";
constexpr char kIdent[] = "N\xB0 de SSR / N\xB0 de semaine / N\xB0 UM : ";

TEST_F(BatchRunTest, WritesEntriesLinesAndCounters) {
  WriteStandardConfig();
  std::string clean = Summary(0, "00", "M04", "0000001");
  std::string warned = Summary(1, "01", "MA4", "0000002");
  std::string blocked = Summary(0, "00", "M04", "0000004", "522023", "UM77");
  std::string table = Summary(0, "  ", "M04", "0000005");
  WriteInput(clean + "\n" + warned + "\r\n" + "short\n" + blocked + "\n" + table);
  grouper_.outcomes = {
      {{}, 1, 23, 4, "AB", ""},
      {{1, 17}, 2, 345, 0, "AB", ""},
      {{22, 47, 13}, 90, 900, 47, "AB", ""},
      {{}, 0, 0, 99, "", "Pb d'ouverture des tables arbre: 99\n"},
  };
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(grouper_.lines, (std::vector<std::string>{clean, warned, blocked, table}));
  EXPECT_EQ(grouper_.rep_tabs, std::vector<std::string>(4, "tables/"));
  EXPECT_EQ(Err(), std::string(kHeader) + "2\r\n" + kIdent + "0000002 / 012024 / U001\r\n" +
                       "\t->  Liste des erreurs bloquantes: \r\n" +
                       "\t->  Liste des erreurs non bloquantes: 1,17,\r\n" + kHeader + "3\r\n" +
                       "   -> Impossible de lire le format\r\n" + kHeader + "4\r\n" + kIdent +
                       "0000004 / 522023 / UM77\r\n" +
                       "\t->  Liste des erreurs bloquantes: 47,13,\r\n" +
                       "\t->  Liste des erreurs non bloquantes: 22,\r\n" +
                       "Pb d'ouverture des tables arbre: 99\r\n");
  EXPECT_EQ(Grp(), "AB0102304M14" + clean + "\r\n" + "AB0234500M14" + warned + "\r\n" +
                       "  0000099M14" + table + "\r\n");
  EXPECT_EQ(ReadFileBytes(ConfigPath()), Counters(5, 1, 1, 1));
}

TEST_F(BatchRunTest, FormatsResultNumbersLikePrintf) {
  WriteStandardConfig();
  std::string line = Summary(0, "00");
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
  std::string line = Summary(0, "00");
  WriteInput(line + "\n" + line + "\n");
  grouper_.outcomes = {{{12}, 90, 900, 12, "", ""}, {{}, 1, 2, 3, "", ""}};
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(Grp(), "  0100203M14" + line + "\r\n");
  EXPECT_EQ(ReadFileBytes(ConfigPath()), Counters(2, 1, 0, 0));
}

TEST_F(BatchRunTest, MissingConfigurationFailsWithoutCreatingIt) {
  EXPECT_EQ(Run(), 1);
  EXPECT_FALSE(PathExists(ConfigPath()));
}

TEST_F(BatchRunTest, InputThatIsADirectoryCreatesNothing) {
  WriteConfig(dir_.File("in"), dir_.File("out"));
  EXPECT_EQ(Run(), 1);
  EXPECT_TRUE(std::filesystem::is_empty(dir_.File("out")));
  EXPECT_EQ(ReadFileBytes(ConfigPath()), config_);
}

TEST_F(BatchRunTest, RefusesToOverwriteTheInput) {
  std::string input = Summary(0, "00") + "\n";
  WriteConfig(dir_.File("out/week.grp"), dir_.File("out"));
  WriteFileBytes(dir_.File("out/week.grp"), input);
  EXPECT_EQ(Run(), 1);
  EXPECT_EQ(ReadFileBytes(dir_.File("out/week.grp")), input);
  EXPECT_TRUE(grouper_.lines.empty());
}

TEST_F(BatchRunTest, FailedOutputWriteIsNoCompleteRun) {
  WriteStandardConfig();
  WriteInput(Summary(0, "00") + "\n");
  std::filesystem::create_symlink("/dev/full", dir_.File("out/week.12.grp"));
  EXPECT_EQ(Run(), 1);
  EXPECT_EQ(ReadFileBytes(ConfigPath()), config_);
}

TEST_F(BatchRunTest, CountersThatCannotBeWrittenFailTheRun) {
  WriteStandardConfig();
  WriteInput(Summary(0, "00") + "\n");
  grouper_.hook = [this] {
    std::filesystem::remove(ConfigPath());
    std::filesystem::create_directory(ConfigPath());
  };
  EXPECT_EQ(Run(), 1);
  EXPECT_NE(Grp(), "<missing>");
}

}  // namespace
}  // namespace grulo
