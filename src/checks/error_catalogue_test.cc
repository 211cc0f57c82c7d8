#include "checks/error_catalogue.h"

#include <random>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "checks/check_sequence.h"
#include "checks/error_list.h"
#include "checks/summary_testutil.h"

namespace grulo {
namespace {

// Numbers kept in the numbering that no check produces.
const std::set<int16_t> kNeverProduced = {4, 5, 6, 7, 18, 28, 62, 69};

TEST(ErrorCatalogueTest, DescribesEachNumberOnce) {
  for (int16_t n = 1; n <= kErrorNumberCount; ++n) {
    const ErrorInfo* info = FindErrorInfo(n);
    ASSERT_NE(info, nullptr) << n;
    EXPECT_EQ(info->number, n);
    EXPECT_FALSE(info->description.empty()) << n;
    EXPECT_EQ(info->produced, kNeverProduced.count(n) == 0) << n;
    EXPECT_EQ(info->field.empty(), !info->produced) << n;
    EXPECT_EQ(info->blocking, !IsNonBlocking(n)) << n;
    for (char c : std::string(info->field) + std::string(info->description)) {
      EXPECT_TRUE(c >= ' ' && c <= '~') << n;  // single-byte and printable
    }
  }
  for (int16_t n : {-1, 0, 83, 100}) EXPECT_EQ(FindErrorInfo(n), nullptr) << n;
}

// Summaries with random faults, in the fields and in the lookup results,
// never receive a number that no check produces, and never more than 69.
TEST(ErrorCatalogueTest, ChecksNeverProduceReservedNumbers) {
  std::mt19937 random(20090615);
  const std::string alphabet = " 0123456789+-ABRUVWXYZabz\xE9\t";
  auto pick = [&random](int n) { return static_cast<int>(random() % n); };
  std::set<int16_t> seen;
  for (int round = 0; round < 4000; ++round) {
    std::string line = testing::ValidSummaryLine(pick(13));
    int changes = 1 + pick(round % 10 == 0 ? 400 : 6);
    for (int i = 0; i < changes; ++i) {
      line[pick(static_cast<int>(line.size()))] = alphabet[pick(static_cast<int>(alphabet.size()))];
    }
    SummaryState state;
    testing::PrepareState(line, &state);
    for (int i = pick(4); i > 0; --i) {
      int slot = pick(kDiagSlotCount);
      const uint8_t categories[] = {0, 11, 99, 99, 50};
      state.DiagAttr[slot * state.DiagAttrLength] = categories[pick(5)];
      state.DiagAttr[slot * state.DiagAttrLength + 1 + 2 * pick(3)] = 38;
      state.DiagAttr[slot * state.DiagAttrLength + 2 + 2 * pick(3)] = pick(2) ? 210 : 212;
      state.DiagPositionBits[slot] = static_cast<uint8_t>(pick(256));
    }
    if (pick(3) == 0) state.ActClass[pick(kMaxActSlots)] = 0;

    FixedClock clock(CivilDate{1985 + pick(30), 1 + pick(12), 1 + pick(28)});
    ErrorList list;
    int16_t group_return = 0, group_category = 0, group_number = 0;
    ValidateSummary(state, clock, &list, &group_return, &group_category, &group_number);
    ASSERT_LE(list.ErrorCount, 69);
    for (int16_t number : testing::ErrorsOf(list)) {
      const ErrorInfo* info = FindErrorInfo(number);
      ASSERT_NE(info, nullptr) << number;
      ASSERT_TRUE(info->produced) << number << " in round " << round;
      seen.insert(number);
    }
  }
  // The random faults reach most of the catalogue, so the test means something.
  EXPECT_GT(seen.size(), 60u);
}

}  // namespace
}  // namespace grulo
