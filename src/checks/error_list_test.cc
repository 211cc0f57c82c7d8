#include "checks/error_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace grulo {
namespace {

// The first blocking error of a list is checked with the check sequence,
// which returns it.

TEST(ErrorListTest, KeepsTheFirstHundredErrors) {
  ErrorList list;
  ClearErrors(&list);
  for (int i = 0; i < 100; ++i) AddError(&list, static_cast<int16_t>(1 + i % 82));
  AddError(&list, 47);
  EXPECT_EQ(list.ErrorCount, 100);
  EXPECT_EQ(list.entries[99], 1 + 99 % 82);
  ClearErrors(&list);
  EXPECT_EQ(list.ErrorCount, 0);
  EXPECT_EQ(list.entries[99], 0);
}

TEST(ErrorListTest, BlockingClasses) {
  const std::vector<int16_t> non_blocking = {1,  4,  5,  6,  7,  17, 18, 21, 22, 23, 24, 25,
                                             26, 27, 28, 29, 30, 31, 33, 34, 35, 36, 37, 38,
                                             39, 40, 41, 44, 64, 69, 70, 71, 72, 73, 82};
  for (int16_t n = -5; n <= 120; ++n) {
    bool expected = std::find(non_blocking.begin(), non_blocking.end(), n) != non_blocking.end();
    EXPECT_EQ(IsNonBlocking(n), expected) << n;
  }
}

}  // namespace
}  // namespace grulo
