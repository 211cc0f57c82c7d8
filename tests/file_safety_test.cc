// No file is written through a link planted at a name grulo creates, locks
// or replaces, and no option makes grulo replace a file of the run: what a
// planted name points to stays untouched, and a refused report changes
// nothing at all.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
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

// Every name under the sandbox (but the program) with its bytes, a link
// with what it points to.
std::map<std::string, std::string> Snapshot(const TempDir& dir) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.path())) {
    std::string name = entry.path().generic_string().substr(dir.path().size());
    if (name == std::string("/bin/grulo") + kExecutableSuffix) continue;
    if (entry.is_symlink()) {
      files[name] = "-> " + std::filesystem::read_symlink(entry.path()).string();
    } else {
      files[name] = entry.is_regular_file() ? ReadFileBytes(entry.path().string()) : "<dir>";
    }
  }
  return files;
}

bool Contains(const std::string& text, const std::string& piece) {
  return text.find(piece) != std::string::npos;
}

class FileSafetyTest : public ::testing::Test {
 protected:
  FileSafetyTest() {
    box_.WriteInput(Summary(1) + "\n" + Summary(2) + "\n");
    WriteFileBytes(File("bin/grulo.ini"), box_.StandardConfig());
    WriteFileBytes(File("victim"), "precious");
  }
  std::string File(std::string_view name) const { return box_.dir().File(name); }
  ProcessResult Run(std::vector<std::string> args = {}) const {
    ProcessOptions options;
    options.args = std::move(args);
    return box_.RunGrulo(options);
  }

  GruloSandbox box_;
};

TEST_F(FileSafetyTest, LinksPlantedAtEveryNameLeaveTheirTargetsUntouched) {
#ifdef _WIN32
  GTEST_SKIP() << "planting symbolic links needs a privilege that the tests do not have there";
#else
  const struct {
    const char* name;  // where the link is planted
    int status;
    std::string said;  // in the message; empty for a clean run
  } cases[] = {
      // Refused before anything is written: the planted name stays.
      {"out/.week.grulo-outputs.lock", 1,
       "grulo: the lock file '" + File("out/.week.grulo-outputs.lock") +
           "' of the outputs: it is a symbolic link, which grulo never writes through; remove it"},
      {"bin/.grulo.ini.grulo-config.lock", 1,
       "beside the configuration file: it is a symbolic link, which grulo never writes through"},
      {"out/week.err", 1,
       "cannot create the output file '" + File("out/week.err") + "' (RepSor in '" +
           File("bin/grulo.ini") + "'): it is a symbolic link, which grulo never writes through"},
      {"out/week.grp", 1,
       "cannot create the output file '" + File("out/week.grp") + "' (RepSor in '" +
           File("bin/grulo.ini") + "'): it is a symbolic link, which grulo never writes through"},
      {"bin/.grulo.ini.grulo-commit", 1, "the record is not a regular file; remove it"},
      {"page.html", 2, "grulo: --report: the report page '" + File("page.html") +
                           "' is a symbolic link, which grulo never writes through"},
      // Names of temporary files: a leftover, removed as a name.
      {"out/.week.grp.grulo-tmp", 0, ""},
      {"out/.week.err.grulo-tmp", 0, ""},
      {"bin/.grulo.ini.grulo-config-tmp", 0, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(File(c.name));
    std::filesystem::create_symlink(File("victim"), File(c.name));
    const ProcessResult r = Run({"--report", File("page.html")});
    EXPECT_EQ(r.exit_status, c.status) << r.err;
    EXPECT_TRUE(Contains(r.err, c.said)) << r.err;
    EXPECT_EQ(ReadFileBytes(File("victim")), "precious");
    EXPECT_EQ(std::filesystem::is_symlink(File(c.name)), c.status != 0);
    std::filesystem::remove(File(c.name));
  }
#endif
}

// A report page that would replace a file of the run, or a file that is no
// page of grulo report, is a usage error: nothing is read or written, the
// run does not start. A page whose directory does not take it stops the run
// before it starts.
TEST_F(FileSafetyTest, ReportNeverReplacesAFileOfTheRun) {
  ASSERT_EQ(Run().exit_status, 0);  // the outputs and counters there
  WriteFileBytes(File("notes.txt"), "notes");
  const struct {
    std::string page;
    std::string said;
  } cases[] = {
      {File("bin/grulo.ini"), "is the configuration file"},
      {File("data/week.rss"), "is the run's input file"},
      {File("data/../data/week.rss"), "is the run's input file"},
      {File("out/week.grp"), "is the run's .grp file"},
      {File("out/week.err"), "is the run's .err file"},
      {File("tables/arbressr.tab"), "is the table file"},  // not there yet
      {File("notes.txt"), "is a file that is no page of grulo report"},
      {File("out"), "is a directory"},
  };
  const auto before = Snapshot(box_.dir());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.page);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--report", c.page},
          std::vector<std::string>{"report", "-o", c.page}}) {
      const ProcessResult r = Run(args);
      EXPECT_EQ(r.exit_status, 2) << r.err;
      EXPECT_TRUE(Contains(r.err, "the report page '" + c.page + "' " + c.said)) << r.err;
      EXPECT_EQ(Snapshot(box_.dir()), before);
    }
  }
  const ProcessResult r = Run({"--report", File("nowhere/page.html")});
  EXPECT_EQ(r.exit_status, 1);
  EXPECT_TRUE(Contains(r.err, "grulo: cannot write the report page '" +
                                  File("nowhere/page.html") +
                                  "': No such file or directory; the run did not start, nothing "
                                  "was changed\n"))
      << r.err;
  EXPECT_EQ(Snapshot(box_.dir()), before);

  // An earlier page is replaced.
  ASSERT_EQ(Run({"--report", File("page.html")}).exit_status, 0);
  ASSERT_EQ(Run({"report", "-o", File("page.html")}).exit_status, 0);
}

}  // namespace
}  // namespace grulo::test
