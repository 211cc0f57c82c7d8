#include "authoring/file_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/process_testutil.h"

namespace grulo {
namespace {

// Each failure names the path and what is wrong, with a code that tells a
// missing file from one that is refused.
TEST(FileInputTest, RefusalsNameThePathAndTheReason) {
  test::TempDir dir;
  test::MakeDirectory(dir.File("sub"));
  const struct {
    const char* name;
    Status::Code code;
    const char* message;  // after the path
  } kCases[] = {
      {"missing.txt", Status::kNotFound, ": No such file or directory"},
      {"sub", Status::kInvalidArgument, ": is a directory"},
  };
  for (const auto& c : kCases) {
    const std::string path = dir.File(c.name);
    std::string text = "unchanged";
    Status status = ReadTextSource(path, &text);
    EXPECT_EQ(status.code(), c.code) << c.name;
    EXPECT_EQ(status.message(), path + c.message);
    std::unique_ptr<TableFile> file;
    status = OpenTableFile(path, &file);
    EXPECT_EQ(status.code(), c.code) << c.name;
    EXPECT_EQ(status.message(), path + c.message);
    EXPECT_EQ(file, nullptr);
  }
}

// The names in a directory that look like temporary files.
std::vector<std::string> TemporaryFiles(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    if (name.find(".tmp.") != std::string::npos) names.push_back(name);
  }
  return names;
}

// A reader that opened the old file keeps reading it whole; the path then
// names the new file, with the old one's mode.
TEST(FileOutputTest, ReplacesTheFileWhole) {
  test::TempDir dir;
  const std::string path = dir.File("out.tab");
  test::WriteFileBytes(path, "an older and longer content");
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  struct stat before;
  ASSERT_EQ(::stat(path.c_str(), &before), 0);
  std::unique_ptr<TableFile> reader = TableFile::Open(path);
  ASSERT_NE(reader, nullptr);

  ASSERT_TRUE(WriteFileAtomically(path, std::string_view("new")).ok());
  EXPECT_EQ(test::ReadFileBytes(path), "new");
#ifndef _WIN32  // inode numbers and permission bits are those of POSIX systems
  struct stat after;
  ASSERT_EQ(::stat(path.c_str(), &after), 0);
  EXPECT_NE(after.st_ino, before.st_ino);
  EXPECT_EQ(after.st_mode & 07777, 0640u);
#endif
  ASSERT_EQ(reader->size(), 27);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(reader->Peek(0, 27)), 27),
            "an older and longer content");
  EXPECT_TRUE(TemporaryFiles(dir.path()).empty());
}

// A failed write names the path and leaves no temporary file behind.
TEST(FileOutputTest, FailureLeavesTheTargetAndNoTemporaryFile) {
  test::TempDir dir;
  const std::string nowhere = dir.File("no-such-dir/out.tab");
  Status status = WriteFileAtomically(nowhere, std::string_view("x"));
  EXPECT_FALSE(status.ok());
  EXPECT_EQ(status.message().rfind(nowhere + ": ", 0), 0u) << status.message();

  // A directory or a link in the way: refused before anything is written.
  const std::string in_the_way = dir.File("diag10sr.tab");
  test::MakeDirectory(in_the_way);
  status = WriteFileAtomically(in_the_way, std::string_view("x"));
  EXPECT_EQ(status.message(), in_the_way + ": cannot be replaced: it is a directory");
  EXPECT_TRUE(std::filesystem::is_directory(in_the_way));
  test::WriteFileBytes(dir.File("victim"), "precious");
  std::filesystem::create_symlink(dir.File("victim"), dir.File("ccamcssr.tab"));
  EXPECT_FALSE(WriteFileAtomically(dir.File("ccamcssr.tab"), std::string_view("x")).ok());
  EXPECT_EQ(test::ReadFileBytes(dir.File("victim")), "precious");
  EXPECT_TRUE(TemporaryFiles(dir.path()).empty());

  // Written but never committed: the target stays as it was.
  const std::string path = dir.File("out.tab");
  test::WriteFileBytes(path, "old");
  {
    std::unique_ptr<FileReplacement> pending;
    ASSERT_TRUE(WritePendingFile(path, "new", &pending).ok());
    EXPECT_EQ(test::ReadFileBytes(pending->temp_path()), "new");
    EXPECT_EQ(test::ReadFileBytes(path), "old");
  }
  EXPECT_EQ(test::ReadFileBytes(path), "old");
  EXPECT_TRUE(TemporaryFiles(dir.path()).empty());
}

}  // namespace
}  // namespace grulo
