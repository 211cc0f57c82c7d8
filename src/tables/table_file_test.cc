#include "tables/table_file.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <cstdint>
#include <limits>

#include "authoring/file_io.h"
#include "authoring/table_model.h"
#include "authoring/table_testutil.h"
#include "tests/process_testutil.h"

namespace grulo {
namespace {

TEST(TableFileTest, FilesThatCannotBeOpened) {
  test::TempDir dir;
#ifndef _WIN32  // no FIFO on Windows
  const std::string fifo = dir.File("arbressr.tab");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(TableFile::Open(fifo), nullptr);  // refused at once, without waiting for a writer
#endif
  EXPECT_EQ(TableFile::Open(dir.File("missing.tab")), nullptr);
  EXPECT_EQ(TableFile::Open(dir.path()), nullptr);  // a directory
  EXPECT_EQ(TableFile::Open(std::string("a\0b", 3)), nullptr);
  EXPECT_EQ(TableFile::Open("/dev/null"), nullptr);  // a device
}

TEST(TableFileTest, ReadsOutsideTheFileFail) {
  const int64_t kMax = std::numeric_limits<int64_t>::max();
  const struct {
    int64_t offset;
    int64_t n;
    bool inside;
  } kCases[] = {
      {0, 5, true},   {4, 1, true},   {5, 0, true},     {0, 0, true},
      {5, 1, false},  {4, 2, false},  {6, 0, false},    {-1, 1, false},
      {-1, 0, false}, {0, -1, false}, {1, kMax, false}, {kMax, 1, false},
  };
  std::unique_ptr<TableFile> file = TableFile::FromBytes({1, 2, 3, 4, 5});
  for (const auto& c : kCases) {
    EXPECT_EQ(file->Peek(c.offset, c.n) != nullptr, c.inside) << c.offset << " " << c.n;
    uint8_t out[8] = {7, 7, 7, 7, 7, 7, 7, 7};
    if (c.n <= 8) {
      EXPECT_EQ(file->ReadAt(c.offset, c.n, out), c.inside) << c.offset << " " << c.n;
      if (!c.inside) {
        EXPECT_EQ(out[0], 7);  // nothing copied
      }
    }
  }
}

TEST(TableFileTest, EmptyFileHoldsZeroBytesAtOffsetZero) {
  test::TempDir dir;
  ASSERT_TRUE(WriteFileAtomically(dir.File("empty.tab"), std::string_view()).ok());
  std::unique_ptr<TableFile> files[] = {TableFile::Open(dir.File("empty.tab")),
                                        TableFile::FromBytes({})};
  for (const std::unique_ptr<TableFile>& file : files) {
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->size(), 0);
    EXPECT_NE(file->Peek(0, 0), nullptr);
    EXPECT_EQ(file->Peek(0, 1), nullptr);
    EXPECT_TRUE(file->ReadAt(0, 0, nullptr));
  }
}

}  // namespace
}  // namespace grulo
