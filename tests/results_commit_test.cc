// The end of a run stopped at each of its steps: killed (as by SIGKILL, or
// a power cut after what was synced) or failing there, through the test
// hook GRULO_TEST_FAULT. The .grp, .err and counters change together or not
// at all: a reader in between sees each file whole, and all old unless a
// commit record is there (then grulo's own reader refuses until a run
// finishes it); the next run finishes it before anything else.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "process_testutil.h"

namespace grulo::test {
namespace {

std::string Summary(int n) {
  std::string line(343, '0');
  line.replace(9, 3, "M04");
  line.replace(12, 7, std::to_string(1000000 + n));
  line.replace(341, 2, "00");
  return line;
}

std::string Lines(int from, int count) {
  std::string text;
  for (int i = from; i < from + count; ++i) text += Summary(i) + "\n";
  return text;
}

struct Results {
  std::string grp, err, counters;
  bool operator==(const Results&) const = default;
};

Results Read(const GruloSandbox& box) { return {box.Grp(), box.Err(), box.Counters()}; }

constexpr int kKilled = -2;

TEST(ResultsCommitTest, StoppedAtEachStepLeavesAllOldOrAllNew) {
  const struct {
    const char* fault;
    int status;           // of the stopped run
    bool record;          // a commit record left
    bool new_after_next;  // the next run finds the new results in place
  } cases[] = {
      {"sync-grp", kKilled, false, false},
      {"sync-err", kKilled, false, false},
      {"sync-config", kKilled, false, false},
      {"write-record", kKilled, false, false},
      {"sync-record", kKilled, true, true},
      {"rename-config", kKilled, true, true},
      {"rename-grp", kKilled, true, true},
      {"rename-err", kKilled, true, true},
      {"sync-dirs", kKilled, true, true},
      {"remove-record", kKilled, true, true},
      {"sync-grp:fail", 1, false, false},
      {"write-record:fail", 1, false, false},
      {"rename-config:fail", 1, false, false},  // nothing renamed: undone
      {"rename-grp:fail", 5, true, true},       // some renamed: finished by the next run
      {"rename-err:fail", 5, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fault);
    GruloSandbox box;
    box.WriteInput(Lines(10, 5));
    ASSERT_EQ(box.Run(""), 0);
    const Results fresh = Read(box);
    box.WriteInput(Lines(0, 3));
    ASSERT_EQ(box.Run(""), 0);
    const Results old = Read(box);
    ASSERT_NE(old, fresh);

    box.WriteInput(Lines(10, 5));
    ProcessOptions stopped;
    stopped.env = {{"GRULO_TEST_FAULT", c.fault}};
    const ProcessResult r = box.RunGrulo(stopped);
    if (c.status == kKilled) {
      EXPECT_TRUE(r.exit_status == -1 || r.exit_status == 137) << r.exit_status;
    } else {
      EXPECT_EQ(r.exit_status, c.status) << r.err;
    }
    const bool record = PathExists(box.dir().File("bin/.grulo.ini.grulo-commit"));
    EXPECT_EQ(record, c.record);
    const Results between = Read(box);
    EXPECT_TRUE(between.grp == old.grp || between.grp == fresh.grp);
    EXPECT_TRUE(between.err == old.err || between.err == fresh.err);
    EXPECT_TRUE(between.counters == old.counters || between.counters == fresh.counters);
    if (record) {
      ProcessOptions report;
      report.args = {"report", "-o", "-"};
      const ProcessResult seen = box.RunGrulo(report);
      EXPECT_EQ(seen.exit_status, 1);
      EXPECT_NE(seen.err.find("was stopped while it put its results in place"),
                std::string::npos) << seen.err;
    } else {
      EXPECT_EQ(between, old);
    }

    // The next run, whose input is gone, stops once it finished the commit.
    std::filesystem::remove(box.dir().File("data/week.rss"));
    const ProcessResult next = box.RunGrulo();
    EXPECT_EQ(next.exit_status, 1);
    EXPECT_EQ(next.err.find("an earlier run was stopped") != std::string::npos, c.record)
        << next.err;
    EXPECT_EQ(Read(box), c.new_after_next ? fresh : old);
    EXPECT_EQ(DirectoryNames(box.dir().File("out")),
              (std::vector<std::string>{"week.err", "week.grp"}));
    EXPECT_EQ(DirectoryNames(box.dir().File("bin")),
              (std::vector<std::string>{std::string("grulo") + kExecutableSuffix, "grulo.ini"}));
  }
}

// An edit of grulo.ini saved while a run ends is kept: the counters are
// merged into the file as it stands when the results are put in place, and
// again by the next run when the edit came after the run was stopped.
TEST(ResultsCommitTest, EditOfTheConfigurationIsKept) {
  GruloSandbox box;
  box.WriteInput(Lines(0, 3));
  const std::string config = box.StandardConfig() + "; week 12\r\n";
  WriteFileBytes(box.dir().File("bin/grulo.ini"), config);
  ProcessOptions stopped;
  stopped.env = {{"GRULO_TEST_FAULT", "rename-grp"}};
  box.RunGrulo(stopped);
  // Edited after the counters went in: the edit holds them already.
  const std::string edited = box.Config() + "; checked\r\n";
  WriteFileBytes(box.dir().File("bin/grulo.ini"), edited);
  EXPECT_EQ(box.RunGrulo().exit_status, 0);
  EXPECT_EQ(box.Config(), edited);

  stopped.env = {{"GRULO_TEST_FAULT", "rename-config"}};
  box.WriteInput(Lines(0, 4));
  box.RunGrulo(stopped);
  // Edited before the counters went in: they are merged into the edit.
  WriteFileBytes(box.dir().File("bin/grulo.ini"), edited + "; again\r\n");
  std::filesystem::remove(box.dir().File("data/week.rss"));
  EXPECT_EQ(box.RunGrulo().exit_status, 1);
  std::string expected = edited + "; again\r\n";
  expected.replace(expected.find("NbLus=3"), 7, "NbLus=4");
  EXPECT_EQ(box.Config(), expected);
}

}  // namespace
}  // namespace grulo::test
