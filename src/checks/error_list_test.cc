#include "checks/error_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <utility>
#include <vector>

namespace grulo {
namespace {

const std::vector<int16_t> kNonBlocking = {1,  4,  5,  6,  7,  17, 18, 21, 22, 23, 24, 25,
                                           26, 27, 28, 29, 30, 31, 33, 34, 35, 36, 37, 38,
                                           39, 40, 41, 44, 64, 69, 70, 71, 72, 73, 82};

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

// Clearing leaves every entry 0, for lists kept by the rule (entries from
// ErrorCount on are 0) and for lists filled by hand that break it, with
// counts out of range too.
TEST(ErrorListTest, ClearingZeroesEveryEntryWhateverTheCount) {
  const struct {
    const char* name;
    int16_t count;
    std::vector<std::pair<int, int16_t>> entries;  // index, number
  } kLists[] = {
      {"empty", 0, {}},
      {"by the rule", 3, {{0, 47}, {1, 17}, {2, 13}}},
      {"full", 100, {{0, 1}, {99, 2}}},
      {"an entry beyond the count", 2, {{0, 5}, {1, 6}, {50, 7}}},
      {"only the last entry", 0, {{99, -1}}},
      {"negative count", -4, {{0, 8}, {10, 9}}},
      {"count beyond the list", 300, {{0, 8}, {99, 9}}},
  };
  for (const auto& l : kLists) {
    ErrorList list;
    for (auto [index, number] : l.entries) list.entries[static_cast<size_t>(index)] = number;
    list.ErrorCount = l.count;
    ClearErrors(&list);
    EXPECT_EQ(list.ErrorCount, 0) << l.name;
    for (int16_t entry : list.entries) EXPECT_EQ(entry, 0) << l.name;
  }
}

bool ListedNonBlocking(int16_t n) {
  return std::find(kNonBlocking.begin(), kNonBlocking.end(), n) != kNonBlocking.end();
}

TEST(ErrorListTest, BlockingClasses) {
  for (int n = -32768; n <= 32767; ++n) {
    ASSERT_EQ(IsNonBlocking(static_cast<int16_t>(n)), ListedNonBlocking(static_cast<int16_t>(n)))
        << n;
  }
}

TEST(ErrorListTest, FirstBlockingErrorIsTheFirstNumberOutsideTheTable) {
  std::mt19937 random(5);
  for (int i = 0; i < 20000; ++i) {
    ErrorList list;
    ClearErrors(&list);
    std::vector<int16_t> added;
    const int length = static_cast<int>(random() % 110);
    // Mostly non-blocking numbers, so that the blocking one comes anywhere.
    for (int k = 0; k < length; ++k) {
      const int16_t number = random() % 4 == 0
                                 ? static_cast<int16_t>(random() % 90)
                                 : kNonBlocking[random() % kNonBlocking.size()];
      AddError(&list, number);
      added.push_back(number);
    }
    int16_t expected = 0;
    for (size_t k = 0; k < added.size() && k < 100; ++k) {
      if (added[k] != 0 && !ListedNonBlocking(added[k])) {
        expected = added[k];
        break;
      }
    }
    ASSERT_EQ(FirstBlockingError(list), expected) << i;
  }
  ErrorList list;
  ClearErrors(&list);
  for (int16_t number : {22, 47, 13}) AddError(&list, number);
  EXPECT_EQ(FirstBlockingError(list), 47);
}

}  // namespace
}  // namespace grulo
