#include "authoring/file_io.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/process_testutil.h"

namespace grulo {
namespace {

// Each failure names the path and what is wrong, with a code that tells a
// missing file from one that is refused.
TEST(FileInputTest, RefusalsNameThePathAndTheReason) {
  test::TempDir dir;
  test::WriteFileBytes(dir.File("three.txt"), "abc");
  test::MakeDirectory(dir.File("sub"));
  const struct {
    const char* name;
    Status::Code code;
    const char* message;  // after the path
  } kCases[] = {
      {"missing.txt", Status::kNotFound, ": cannot open: No such file or directory"},
      {"sub", Status::kInvalidArgument, ": not a regular file"},
  };
  for (const auto& c : kCases) {
    const std::string path = dir.File(c.name);
    std::string text = "unchanged";
    Status status = ReadWholeFile(path, 100, &text);
    EXPECT_EQ(status.code(), c.code) << c.name;
    EXPECT_EQ(status.message(), path + c.message);
    std::unique_ptr<TableFile> file;
    status = OpenTableFile(path, &file);
    EXPECT_EQ(status.code(), c.code) << c.name;
    EXPECT_EQ(status.message(), path + c.message);
    EXPECT_EQ(file, nullptr);
  }

  std::string text;
  ASSERT_TRUE(ReadWholeFile(dir.File("three.txt"), 3, &text).ok());
  EXPECT_EQ(text, "abc");
  const Status too_large = ReadWholeFile(dir.File("three.txt"), 2, &text);
  EXPECT_EQ(too_large.code(), Status::kInvalidArgument);
  EXPECT_EQ(too_large.message(),
            dir.File("three.txt") + ": 3 bytes, more than the 2 a source may have");
}

TEST(FileOutputTest, WriteReplacesTheFileOrSaysWhyNot) {
  test::TempDir dir;
  const std::string path = dir.File("out.tab");
  test::WriteFileBytes(path, "an older and longer content");
  ASSERT_TRUE(WriteWholeFile(path, std::string_view("new")).ok());
  EXPECT_EQ(test::ReadFileBytes(path), "new");

  const std::string nowhere = dir.File("no-such-dir/out.tab");
  const Status status = WriteWholeFile(nowhere, std::string_view("x"));
  EXPECT_FALSE(status.ok());
  EXPECT_EQ(status.message().rfind(nowhere + ": ", 0), 0u) << status.message();
}

}  // namespace
}  // namespace grulo
