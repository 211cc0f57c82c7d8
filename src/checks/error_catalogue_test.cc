#include "checks/error_catalogue.h"

#include <set>

#include <gtest/gtest.h>

#include "checks/error_list.h"

namespace grulo {
namespace {

// Numbers kept in the numbering that no check produces.
const std::set<int16_t> kNeverProduced = {4, 5, 6, 7, 18, 28, 62, 69};

TEST(ErrorCatalogueTest, DescribesEachNumberOnce) {
  for (int16_t n = 1; n <= kErrorNumberCount; ++n) {
    const ErrorInfo* info = FindErrorInfo(n);
    ASSERT_NE(info, nullptr) << n;
    EXPECT_EQ(ToNumber(info->number), n);
    EXPECT_EQ(FindErrorInfo(info->number), info);
    EXPECT_EQ(info->produced, kNeverProduced.count(n) == 0) << n;
    EXPECT_EQ(info->field.name.empty(), !info->produced) << n;
    EXPECT_EQ(info->field.count == 0, !info->produced) << n;
    EXPECT_EQ(info->blocking, !IsNonBlocking(n)) << n;
  }
  for (int16_t n : {-1, 0, 83, 100}) EXPECT_EQ(FindErrorInfo(n), nullptr) << n;
  EXPECT_EQ(FindErrorInfo(ErrorNumber::kNone), nullptr);
}

// The texts are read on a terminal and in listings: plain ASCII, one line
// each, a sentence.
TEST(ErrorCatalogueTest, TextsArePlainSentences) {
  for (const ErrorInfo& info : ErrorCatalogue()) {
    for (std::string_view text : {info.description, info.note}) {
      for (char c : text) {
        EXPECT_TRUE(c >= ' ' && c <= '~') << ToNumber(info.number) << ": " << text;
      }
      if (!text.empty()) {
        EXPECT_EQ(text.back(), '.') << ToNumber(info.number) << ": " << text;
      }
    }
    EXPECT_FALSE(info.description.empty()) << ToNumber(info.number);
    EXPECT_LE(info.description.size(), 200u) << ToNumber(info.number);
  }
}

// Where the field of an error lies in the line: offset from 0 and length of
// the field given, or of field i of a run.
TEST(ErrorCatalogueTest, FieldsPointAtTheirColumns) {
  const struct {
    int16_t number;
    int i;  // field of the run
    int offset, length, count;
  } rows[] = {
      {1, 0, 0, 9, 1},     {3, 0, 12, 7, 1},    {9, 0, 19, 1, 1},    {13, 0, 40, 8, 1},
      {16, 0, 48, 1, 1},   {17, 0, 87, 4, 1},   {22, 0, 54, 8, 1},   {24, 0, 62, 1, 1},
      {27, 0, 63, 1, 1},   {32, 0, 64, 8, 1},   {36, 0, 72, 1, 1},   {39, 0, 73, 1, 1},
      {41, 0, 49, 5, 1},   {45, 0, 74, 6, 1},   {47, 0, 80, 7, 1},   {49, 0, 91, 8, 1},
      {53, 0, 99, 6, 1},   {61, 0, 107, 6, 1},  {68, 0, 115, 6, 1},  {70, 0, 123, 6, 20},
      {73, 19, 275, 6, 20}, {76, 0, 341, 2, 1}, {77, 5, 291, 1, 6},  {78, 0, 292, 1, 1},
      {80, 11, 337, 4, 12}, {81, 0, 343, 8, 10}, {82, 9, 415, 8, 10},
  };
  for (const auto& r : rows) {
    const ErrorField& field = FindErrorInfo(r.number)->field;
    FieldRef at = field.At(r.i);
    EXPECT_EQ(at.offset, r.offset) << r.number;
    EXPECT_EQ(at.length, r.length) << r.number;
    EXPECT_EQ(field.count, r.count) << r.number;
  }
}

}  // namespace
}  // namespace grulo
