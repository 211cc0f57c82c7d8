// The file calls with the paths the program meets on every system: names of
// Windows-1252 bytes, absolute forms, the lock file's content. These tests
// run on POSIX systems and on Windows alike.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_lock.h"
#include "platform/file_read.h"
#include "platform/files.h"
#include "platform/local_time.h"
#include "platform/process.h"
#include "tests/process_testutil.h"

namespace grulo {
namespace {

using test::PathExists;
using test::ReadFileBytes;
using test::TempDir;

Status WriteNew(const std::string& path, std::string_view bytes) {
  std::unique_ptr<WritableFile> file;
  Status status = WritableFile::CreateNew(path, "", &file);
  if (status.ok()) status = file->Append(bytes);
  if (status.ok()) status = file->Sync();
  if (status.ok()) status = file->Close();
  return status;
}

// A name with an accented letter, as grulo.ini spells it (0xE9 for e acute),
// is created, read, replaced and removed under that name; the bytes written
// are the bytes read, CR LF included.
TEST(FileNamesTest, AccentedNamesRoundTrip) {
  TempDir dir;
  const std::string name = dir.File("r\xE9sultat.grp");
  const std::string other = dir.File("caf\xE9.tmp");
  ASSERT_TRUE(WriteNew(name, "old\r\n").ok());
  ASSERT_TRUE(WriteNew(other, "new\r\nline\n").ok());
  EXPECT_FALSE(WriteNew(name, "again").ok());  // only new files

  FileInfo info;
  ASSERT_TRUE(GetFileInfo(other, &info).ok());
  EXPECT_EQ(info.type, FileInfo::kRegular);
  EXPECT_EQ(info.size, 10);

  ASSERT_TRUE(RenameFile(other, name).ok());
  ASSERT_TRUE(GetFileInfo(other, &info).ok());
  EXPECT_EQ(info.type, FileInfo::kMissing);
  std::string text;
  ASSERT_TRUE(ReadWholeFile(name, ReadRules(), &text).ok());
  EXPECT_EQ(text, "new\r\nline\n");
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadWholeFile(name, ReadRules{.max_size = 100}, &bytes).ok());
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "new\r\nline\n");
  EXPECT_EQ(ReadWholeFile(name, ReadRules{.max_size = 5}, &bytes).code(),
            Status::kInvalidArgument);

  ASSERT_TRUE(RemoveFile(name).ok());
  EXPECT_TRUE(RemoveFile(name).ok());  // already gone
  EXPECT_EQ(ReadWholeFile(name, ReadRules(), &text).code(), Status::kNotFound);
  EXPECT_EQ(ReadWholeFile(dir.File("none\xE9"), ReadRules(), &bytes).code(), Status::kNotFound);
}

TEST(FileNamesTest, DirectoriesAreNoFiles) {
  TempDir dir;
  FileInfo info;
  ASSERT_TRUE(GetFileInfo(dir.path(), &info).ok());
  EXPECT_EQ(info.type, FileInfo::kDirectory);
  std::unique_ptr<ReadableFile> file;
  EXPECT_FALSE(ReadableFile::Open(dir.path(), &file).ok());
  std::vector<uint8_t> bytes;
  EXPECT_EQ(ReadWholeFile(dir.path(), ReadRules(), &bytes).code(), Status::kInvalidArgument);
  ASSERT_TRUE(GetFileInfo(dir.File("missing/deeper"), &info).ok());
  EXPECT_EQ(info.type, FileInfo::kMissing);
}

// The time a file was last written, in seconds since 1970 whatever the
// system counts from (Windows counts from 1601): a time set on the file is
// read back, and a file just written has the clock's time.
TEST(FileNamesTest, ModificationTimeInSecondsSince1970) {
  TempDir dir;
  const std::string name = dir.File("dated\xE9");
  ASSERT_TRUE(WriteNew(name, "x").ok());
  FileInfo info;
  ASSERT_TRUE(GetFileInfo(name, &info).ok());
  EXPECT_LE(std::abs(info.modified - WallClockSeconds()), 60) << info.modified;
  const std::string plain = dir.File("dated");
  ASSERT_TRUE(WriteNew(plain, "x").ok());
  for (const int64_t moment : {int64_t{1709208000}, int64_t{86400}, int64_t{4102444800}}) {
    const std::chrono::sys_seconds when{std::chrono::seconds(moment)};
    std::filesystem::last_write_time(plain, std::chrono::file_clock::from_sys(when));
    ASSERT_TRUE(GetFileInfo(plain, &info).ok());
    EXPECT_EQ(info.modified, moment);
  }
}

// Which paths start at a root: Windows also has drives and network shares,
// and its backslash separates directories.
TEST(FileNamesTest, AbsolutePathsAndSeparators) {
  const bool windows = IsPathSeparator('\\');
  const struct {
    const char* path;
    bool absolute;
  } cases[] = {
      {"/srv/in", true},         {"srv/in", false},          {"./in", false},
      {"", false},               {"C:\\grulo\\in", windows}, {"c:/grulo", windows},
      {"\\\\server\\share", windows}, {"C:grulo", false},    {"1:\\x", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsAbsolutePath(c.path), c.absolute) << c.path;
  EXPECT_TRUE(IsPathSeparator('/'));
  EXPECT_FALSE(IsPathSeparator(':'));
  EXPECT_TRUE(IsAbsolutePath(CurrentDirectory()));
}

// While held, the lock file holds this process's id; released, it is gone.
TEST(FileNamesTest, LockFileNamesItsHolder) {
  TempDir dir;
  const std::string path = dir.File(".r\xE9sultat.lock");
  std::unique_ptr<FileLock> lock;
  int64_t holder = 0;
  ASSERT_TRUE(LockFile(path, &lock, &holder).ok());
  EXPECT_EQ(holder, 0);
  std::string text;
  ASSERT_TRUE(ReadWholeFile(path, ReadRules(), &text).ok());
  EXPECT_EQ(text, std::to_string(CurrentProcessId()) + "\n");
  lock.reset();
  FileInfo info;
  ASSERT_TRUE(GetFileInfo(path, &info).ok());
  EXPECT_EQ(info.type, FileInfo::kMissing);
}

TEST(FileNamesTest, OwnExecutableIsARegularFile) {
  const std::string own = ExecutablePath();
  ASSERT_FALSE(own.empty());
  EXPECT_TRUE(IsAbsolutePath(own)) << own;
  FileInfo info;
  ASSERT_TRUE(GetFileInfo(own, &info).ok());
  EXPECT_EQ(info.type, FileInfo::kRegular);
  EXPECT_NE(own.find("platform_test"), std::string::npos) << own;
}

}  // namespace
}  // namespace grulo
