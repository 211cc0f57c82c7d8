// What only Windows does: names through the wide-character calls, and files
// that another program holds open.

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "platform/file_read.h"
#include "platform/files.h"
#include "tests/process_testutil.h"

namespace grulo {
namespace {

using test::ReadFileBytes;
using test::TempDir;

std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// 0xE9 in a path is the character U+00E9 in the file system's name.
TEST(WindowsFilesTest, Windows1252BytesNameUnicodeCharacters) {
  TempDir dir;
  std::unique_ptr<WritableFile> file;
  ASSERT_TRUE(WritableFile::CreateNew(dir.File("caf\xE9 \x80.txt"), "", &file).ok());
  ASSERT_TRUE(file->Close().ok());
  const std::wstring expected = Wide(dir.path()) + L"/caf\u00E9 \u20AC.txt";
  EXPECT_NE(GetFileAttributesW(expected.c_str()), INVALID_FILE_ATTRIBUTES);
  FileInfo info;
  ASSERT_TRUE(GetFileInfo(dir.File("CAF\xC9 \x80.TXT"), &info).ok());  // names ignore case
  EXPECT_EQ(info.type, FileInfo::kRegular);
}

// A target that another program holds open without sharing its removal is
// not replaced: the rename fails with a reason and both files stay as they
// were.
TEST(WindowsFilesTest, FileHeldOpenIsNotReplaced) {
  TempDir dir;
  test::WriteFileBytes(dir.File("week.grp"), "old");
  test::WriteFileBytes(dir.File("new.tmp"), "new");
  HANDLE held = CreateFileW(Wide(dir.File("week.grp")).c_str(), GENERIC_READ, FILE_SHARE_READ,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const Status checked = CheckReplaceable(dir.File("week.grp"));
  const Status status = RenameFile(dir.File("new.tmp"), dir.File("week.grp"));
  CloseHandle(held);
  // The check says so before the rename is tried (the rename's reason may
  // be another: "Permission denied").
  EXPECT_EQ(checked.code(), Status::kIoError);
  EXPECT_EQ(checked.message(), "the file is in use by another program");
  EXPECT_EQ(status.code(), Status::kIoError);
  EXPECT_FALSE(status.message().empty());
  // Held with its removal shared, or not held, or not there: replaceable.
  held = CreateFileW(Wide(dir.File("week.grp")).c_str(), GENERIC_READ,
                     FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(CheckReplaceable(dir.File("week.grp")).ok());
  CloseHandle(held);
  EXPECT_TRUE(CheckReplaceable(dir.File("week.grp")).ok());
  EXPECT_TRUE(CheckReplaceable(dir.File("none.grp")).ok());
  EXPECT_EQ(ReadFileBytes(dir.File("week.grp")), "old");
  EXPECT_EQ(ReadFileBytes(dir.File("new.tmp")), "new");
  EXPECT_TRUE(RenameFile(dir.File("new.tmp"), dir.File("week.grp")).ok());
  EXPECT_EQ(ReadFileBytes(dir.File("week.grp")), "new");
}

TEST(WindowsFilesTest, DrivePathsAndBackslashes) {
  TempDir dir;
  std::string windows_path = dir.path();
  for (char& c : windows_path) {
    if (c == '/') c = '\\';
  }
  test::WriteFileBytes(dir.File("a.txt"), "x");
  std::string text;
  ASSERT_TRUE(ReadWholeFile(windows_path + "\\a.txt", ReadRules(), &text).ok()) << windows_path;
  EXPECT_EQ(text, "x");
  EXPECT_TRUE(IsAbsolutePath(windows_path)) << windows_path;
}

}  // namespace
}  // namespace grulo
