#include "platform/files.h"

#include "platform/file_read.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "tests/process_testutil.h"

namespace grulo {
namespace {

using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

TEST(FilesTest, TellsWhatAPathNames) {
#ifdef _WIN32
  GTEST_SKIP() << "the cases are symbolic links, which Windows grants only to administrators";
#else
  TempDir dir;
  WriteFileBytes(dir.File("f"), "12345");
  std::filesystem::create_directory(dir.File("d"));
  std::filesystem::create_symlink("f", dir.File("link"));
  std::filesystem::create_symlink("nowhere", dir.File("dangling"));
  ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0644), 0);
  struct Case {
    std::string path;
    FileInfo::Type type;
    int64_t size;
    Status::Code code;
    FileInfo::Type name_type;  // GetNameInfo's: a link not followed
  } cases[] = {
      {dir.File("f"), FileInfo::kRegular, 5, Status::kOk, FileInfo::kRegular},
      {dir.File("link"), FileInfo::kRegular, 5, Status::kOk, FileInfo::kLink},
      {dir.File("d"), FileInfo::kDirectory, 0, Status::kOk, FileInfo::kDirectory},
      {dir.File("fifo"), FileInfo::kPipe, 0, Status::kOk, FileInfo::kPipe},
      {"/dev/null", FileInfo::kOther, 0, Status::kOk, FileInfo::kOther},
      {dir.File("none"), FileInfo::kMissing, 0, Status::kOk, FileInfo::kMissing},
      {dir.File("dangling"), FileInfo::kMissing, 0, Status::kOk, FileInfo::kLink},
      {dir.File("f/below"), FileInfo::kMissing, 0, Status::kNotFound, FileInfo::kMissing},
      {"", FileInfo::kMissing, 0, Status::kInvalidArgument, FileInfo::kMissing},
  };
  for (const Case& c : cases) {
    FileInfo info;
    Status status = GetFileInfo(c.path, &info);
    EXPECT_EQ(status.code(), c.code) << c.path;
    EXPECT_EQ(info.type, c.type) << c.path;
    EXPECT_EQ(info.size, c.size) << c.path;
    status = GetNameInfo(c.path, &info);
    EXPECT_EQ(status.code(), c.code) << c.path;
    EXPECT_EQ(info.type, c.name_type) << c.path;
  }
  FileInfo a, b;
  ASSERT_TRUE(GetFileInfo(dir.File("f"), &a).ok());
  ASSERT_TRUE(GetFileInfo(dir.File("link"), &b).ok());
  EXPECT_EQ(a.id, b.id);
  EXPECT_EQ(ResolveLinks(dir.File("link")), std::filesystem::canonical(dir.File("f")).string());
  EXPECT_EQ(ResolveLinks(dir.File("f")), dir.File("f"));
#endif
}

// The one whole-file reader: the rules of each caller, and the system's
// reason when it refuses.
TEST(FilesTest, WholeFilesReadByTheCallersRules) {
#ifdef _WIN32
  GTEST_SKIP() << "FIFOs and /dev are those of POSIX systems";
#else
  TempDir dir;
  WriteFileBytes(dir.File("f"), std::string(20000, 'x') + "end");
  ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0644), 0);
  const ReadRules any{.regular_only = false};
  const struct {
    std::string path;
    ReadRules rules;
    Status::Code code;
    const char* message;
    size_t size;
  } cases[] = {
      {dir.File("f"), ReadRules(), Status::kOk, "", 20003},
      {dir.File("f"), ReadRules{.max_size = 20003}, Status::kOk, "", 20003},
      {dir.File("f"), ReadRules{.max_size = 20002}, Status::kInvalidArgument,
       "is too large (20003 bytes, at most 20002 bytes)", 0},
      {dir.File("none"), ReadRules(), Status::kNotFound, "No such file or directory", 0},
      {dir.path(), any, Status::kInvalidArgument, "is a directory", 0},
      // Refused at once, without waiting for a writer.
      {dir.File("fifo"), ReadRules(), Status::kInvalidArgument, "is not a regular file", 0},
      {"/dev/null", ReadRules(), Status::kInvalidArgument, "is not a regular file", 0},
      {"/dev/null", any, Status::kOk, "", 0},
      {"/dev/zero", ReadRules{.regular_only = false, .max_size = 100000},
       Status::kInvalidArgument, "is too large (more than 100000 bytes)", 0},
  };
  for (const auto& c : cases) {
    std::string text = "stale";
    const Status status = ReadWholeFile(c.path, c.rules, &text);
    EXPECT_EQ(status.code(), c.code) << c.path;
    EXPECT_EQ(status.message(), c.message) << c.path;
    EXPECT_EQ(text.size(), c.size) << c.path;
  }

  std::unique_ptr<ReadableFile> file;
  ASSERT_TRUE(ReadableFile::Open(dir.File("f"), &file).ok());
  char block[16];
  size_t got = 0;
  ASSERT_TRUE(file->Read(block, sizeof block, &got).ok());
  EXPECT_EQ(got, sizeof block);
  WriteFileBytes(dir.File("f"), "short");  // truncated under the open file
  FileInfo info;
  ASSERT_TRUE(file->Info(&info).ok());
  EXPECT_EQ(info.size, 5);
#endif
}

TEST(FilesTest, WritesOnlyNewFiles) {
  TempDir dir;
  WriteFileBytes(dir.File("model"), "m");
  ASSERT_EQ(::chmod(dir.File("model").c_str(), 0604), 0);
  std::unique_ptr<WritableFile> file;
  ASSERT_TRUE(WritableFile::CreateNew(dir.File("new"), dir.File("model"), &file).ok());
  ASSERT_TRUE(file->Append("abc").ok());
  ASSERT_TRUE(file->Append("").ok());
  ASSERT_TRUE(file->Sync().ok());
  ASSERT_TRUE(file->Close().ok());
  ASSERT_TRUE(file->Close().ok());
  EXPECT_EQ(ReadFileBytes(dir.File("new")), "abc");
#ifndef _WIN32  // permission bits are those of POSIX systems
  struct stat st;
  ASSERT_EQ(::stat(dir.File("new").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0604u);
#endif

  Status status = WritableFile::CreateNew(dir.File("new"), "", &file);
  EXPECT_EQ(status.message(), "File exists");
  EXPECT_EQ(file, nullptr);
#ifndef _WIN32  // links need a privilege there
  // A name taken by a link, dangling or not, is taken: nothing is created
  // where it points.
  std::filesystem::create_symlink(dir.File("elsewhere"), dir.File("planted"));
  EXPECT_EQ(WritableFile::CreateNew(dir.File("planted"), "", &file).message(), "File exists");
  EXPECT_FALSE(std::filesystem::exists(dir.File("elsewhere")));
#endif
  EXPECT_EQ(WritableFile::CreateNew(dir.File("no/new"), "", &file).code(), Status::kNotFound);

  ASSERT_TRUE(RenameFile(dir.File("new"), dir.File("model")).ok());
  EXPECT_EQ(ReadFileBytes(dir.File("model")), "abc");
  EXPECT_EQ(RenameFile(dir.File("new"), dir.File("x")).code(), Status::kNotFound);
  ASSERT_TRUE(RemoveFile(dir.File("model")).ok());
  ASSERT_TRUE(RemoveFile(dir.File("model")).ok());  // already gone
  EXPECT_TRUE(SyncDirectory(dir.path()).ok());
}

// A file of many megabytes written in pieces of every size, its early
// parts handed to the disk while the later ones are written, holds every
// byte in order.
TEST(FilesTest, LargeFilesHoldEveryPiece) {
  TempDir dir;
  std::unique_ptr<WritableFile> file;
  ASSERT_TRUE(WritableFile::CreateNew(dir.File("large"), "", &file).ok());
  std::string want;
  const size_t kPieces[] = {1, (size_t{8} << 20) - 1, 2, 333333, size_t{9} << 20, 0, 17};
  char fill = 'a';
  for (size_t size : kPieces) {
    const std::string piece(size, fill++);
    ASSERT_TRUE(file->Append(piece).ok());
    want += piece;
  }
  ASSERT_TRUE(file->Sync().ok());
  ASSERT_TRUE(file->Close().ok());
  EXPECT_TRUE(ReadFileBytes(dir.File("large")) == want);
}

TEST(FilesTest, AbsolutePaths) {
  EXPECT_TRUE(IsAbsolutePath("/srv/in"));
  EXPECT_FALSE(IsAbsolutePath("in/week.rss"));
  EXPECT_FALSE(IsAbsolutePath("./x"));
  EXPECT_FALSE(IsAbsolutePath(""));
  std::string cwd = CurrentDirectory();
  EXPECT_TRUE(IsAbsolutePath(cwd));
  EXPECT_TRUE(std::filesystem::equivalent(cwd, std::filesystem::current_path()));
}

}  // namespace
}  // namespace grulo
