#include "io/file_replacement.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
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
}

// The replacement keeps the permissions, follows a symbolic link, leaves no
// temporary file, and fails without touching what stands in the way.
TEST(FileReplacementTest, ReplacesInOneStep) {
#ifdef _WIN32
  GTEST_SKIP() << "permission bits and symbolic links are those of POSIX systems";
#endif
  TempDir dir;
  ASSERT_TRUE(std::filesystem::create_directory(dir.File("real")));
  const std::string real = dir.File("real/grulo.ini");
  WriteFileBytes(real, "old");
  ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
  std::filesystem::create_symlink("real/grulo.ini", dir.File("grulo.ini"));
  ASSERT_TRUE(ReplaceFileAtomically(dir.File("grulo.ini"), "new", ".t").ok());
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("grulo.ini")));
  EXPECT_EQ(ReadFileBytes(real), "new");
  struct stat st;
  ASSERT_EQ(::stat(real.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(DirectoryNames(dir.File("real")), std::vector<std::string>{"grulo.ini"});

  EXPECT_EQ(ReplaceFileAtomically(dir.File("no/such/dir/grulo.ini"), "x", ".t").code(),
            Status::kNotFound);
  ASSERT_TRUE(std::filesystem::create_directory(dir.File("sub.ini")));
  EXPECT_EQ(ReplaceFileAtomically(dir.File("sub.ini"), "x", ".t").message(), "Is a directory");
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("sub.ini")));
}

TEST(FileReplacementTest, UncommittedReplacementLeavesTheOldFile) {
  TempDir dir;
  const std::string path = dir.File("week.grp");
  WriteFileBytes(path, "old");
  WriteFileBytes(dir.File(".week.grp.t"), "left by a killed run");
  {
    std::unique_ptr<FileReplacement> replacement;
    ASSERT_TRUE(FileReplacement::Begin(path, ".t", &replacement).ok());
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
