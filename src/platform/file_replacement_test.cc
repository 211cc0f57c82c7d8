#include "platform/file_replacement.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/process_testutil.h"

namespace grulo {
namespace {

using test::DirectoryNames;
using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

TEST(FileReplacementTest, TemporaryNameBesideTheFile) {
  EXPECT_EQ(TemporaryPathFor("/out/week.grp", ".t"), "/out/.week.grp.t");
  EXPECT_EQ(TemporaryPathFor("grulo.ini", ".t"), ".grulo.ini.t");
  EXPECT_EQ(TemporaryPathFor("/grulo.ini", ".t"), "/.grulo.ini.t");
  EXPECT_EQ(DirectoryOf("/out/week.grp"), "/out/");
  EXPECT_EQ(DirectoryOf("week.grp"), ".");
}

// The replacement keeps the permissions and leaves no temporary file, with
// either naming.
TEST(FileReplacementTest, ReplacesInOneStep) {
  for (TempNaming naming : {TempNaming::kFixed, TempNaming::kUnique}) {
    TempDir dir;
    const std::string path = dir.File("grulo.ini");
    WriteFileBytes(path, "old");
#ifndef _WIN32  // permission bits are those of POSIX systems
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
#endif
    ASSERT_TRUE(ReplaceFileAtomically(path, "new", ".t", naming).ok());
    EXPECT_EQ(ReadFileBytes(path), "new");
#ifndef _WIN32
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
#endif
    EXPECT_EQ(DirectoryNames(dir.path()), std::vector<std::string>{"grulo.ini"});
  }
}

// Nothing is written through a link or over anything but a regular file:
// each is refused before the temporary file exists, and what it names stays.
TEST(FileReplacementTest, RefusesWhatIsNoRegularFile) {
#ifdef _WIN32
  GTEST_SKIP() << "the cases are symbolic links and a FIFO, which Windows does not give the tests";
#else
  TempDir dir;
  WriteFileBytes(dir.File("victim"), "precious");
  std::filesystem::create_symlink(dir.File("victim"), dir.File("link.grp"));
  std::filesystem::create_symlink(dir.File("nowhere"), dir.File("dangling.grp"));
  std::filesystem::create_directory(dir.File("dir.grp"));
  ASSERT_EQ(::mkfifo(dir.File("fifo.grp").c_str(), 0644), 0);
  const struct {
    const char* name;
    Status::Code code;
    const char* message;
  } cases[] = {
      {"link.grp", Status::kInvalidArgument,
       "it is a symbolic link, which grulo never writes through"},
      {"dangling.grp", Status::kInvalidArgument,
       "it is a symbolic link, which grulo never writes through"},
      {"dir.grp", Status::kInvalidArgument, "it is a directory"},
      {"fifo.grp", Status::kInvalidArgument, "it is not a regular file"},
      {"none/x.grp", Status::kNotFound, nullptr},
  };
  for (const auto& c : cases) {
    for (TempNaming naming : {TempNaming::kFixed, TempNaming::kUnique}) {
      const Status status = ReplaceFileAtomically(dir.File(c.name), "x", ".t", naming);
      EXPECT_EQ(status.code(), c.code) << c.name;
      if (c.message != nullptr) {
        EXPECT_EQ(status.message(), c.message) << c.name;
      }
    }
  }
  EXPECT_EQ(ReadFileBytes(dir.File("victim")), "precious");
  EXPECT_FALSE(std::filesystem::exists(dir.File("nowhere")));
  EXPECT_EQ(DirectoryNames(dir.path()),
            (std::vector<std::string>{"dangling.grp", "dir.grp", "fifo.grp", "link.grp",
                                      "victim"}));
#endif
}

// A link planted at the name once the replacement began is replaced as a
// name: its target is never written.
TEST(FileReplacementTest, LinkPlantedMeanwhileIsReplacedAsAName) {
#ifdef _WIN32
  GTEST_SKIP() << "symbolic links need a privilege that the tests do not have on Windows";
#else
  TempDir dir;
  WriteFileBytes(dir.File("victim"), "precious");
  std::unique_ptr<FileReplacement> replacement;
  ASSERT_TRUE(
      FileReplacement::Begin(dir.File("week.grp"), ".t", TempNaming::kFixed, &replacement).ok());
  ASSERT_TRUE(replacement->file()->Append("new").ok());
  ASSERT_TRUE(replacement->Finish().ok());
  std::filesystem::create_symlink(dir.File("victim"), dir.File("week.grp"));
  ASSERT_TRUE(replacement->Commit().ok());
  EXPECT_FALSE(std::filesystem::is_symlink(dir.File("week.grp")));
  EXPECT_EQ(ReadFileBytes(dir.File("week.grp")), "new");
  EXPECT_EQ(ReadFileBytes(dir.File("victim")), "precious");
#endif
}

TEST(FileReplacementTest, UncommittedReplacementLeavesTheOldFile) {
  TempDir dir;
  const std::string path = dir.File("week.grp");
  WriteFileBytes(path, "old");
  WriteFileBytes(dir.File(".week.grp.t"), "left by a killed run");
  {
    std::unique_ptr<FileReplacement> replacement;
    ASSERT_TRUE(FileReplacement::Begin(path, ".t", TempNaming::kFixed, &replacement).ok());
    EXPECT_EQ(replacement->temp_path(), dir.File(".week.grp.t"));
    ASSERT_TRUE(replacement->file()->Append("new").ok());
    ASSERT_TRUE(replacement->Finish().ok());
    EXPECT_EQ(ReadFileBytes(dir.File(".week.grp.t")), "new");
    EXPECT_EQ(ReadFileBytes(path), "old");
  }
  EXPECT_EQ(DirectoryNames(dir.path()), std::vector<std::string>{"week.grp"});
  EXPECT_EQ(ReadFileBytes(path), "old");
}

}  // namespace
}  // namespace grulo
