// Edges of the checks that the table-driven tests beside each check do not
// reach: a second diagnosis other than a Z code after the placeholder, and
// an error list whose count is out of its range.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "checks/code_checks.h"
#include "checks/error_list.h"
#include "checks/summary_testutil.h"

namespace grulo {
namespace {

TEST(CheckEdgesTest, OnlyAZCodeIsRefusedAfterThePlaceholder) {
  const struct {
    const char* second;
    ErrorNumber want;
  } kCases[] = {
      {"Z51   ", ErrorNumber::kDiag1ZAfterPlaceholder},
      {"A000  ", ErrorNumber::kNone},
      {"M12+5 ", ErrorNumber::kNone},
  };
  for (const auto& c : kCases) {
    const SummaryState state = testing::PreparedState(
        {{testing::DiagField(0), "ZAIGU "}, {testing::DiagField(1), c.second}});
    EXPECT_EQ(CheckDiag1(state), c.want) << c.second;
  }
}

TEST(CheckEdgesTest, AListWithACountOutOfRangeTakesNothing) {
  for (int16_t count : {int16_t{-1}, int16_t{kErrorListSize}, int16_t{kErrorListSize + 5}}) {
    ErrorList list;
    list.ErrorCount = count;
    AddError(&list, int16_t{12});
    EXPECT_EQ(list.ErrorCount, count);
    for (int16_t entry : list.entries) EXPECT_EQ(entry, 0);
  }
}

}  // namespace
}  // namespace grulo
