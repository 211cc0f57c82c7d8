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
    EXPECT_EQ(info->produced, kNeverProduced.count(n) == 0) << n;
    EXPECT_EQ(info->field.name.empty(), !info->produced) << n;
    EXPECT_EQ(info->field.count == 0, !info->produced) << n;
    EXPECT_EQ(info->blocking, !IsNonBlocking(n)) << n;
  }
  for (int16_t n : {-1, 0, 83, 100}) EXPECT_EQ(FindErrorInfo(n), nullptr) << n;
}

}  // namespace
}  // namespace grulo
