#include "platform/local_time.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/time_zone_testutil.h"

namespace grulo {
namespace {

class LocalTimeTest : public ::testing::Test {
 protected:
  void SetUp() override { old_tz_ = test::TimeZoneVariable(); }
  void TearDown() override { test::SetTimeZoneVariable(old_tz_); }

 private:
  std::optional<std::string> old_tz_;
};

// The day, its two midnights and the time within it, in a zone without daylight saving time and
// in one an hour east of it.
TEST_F(LocalTimeTest, DayAndMidnightsOfAMoment) {
  const struct {
    const char* tz;
    int64_t moment;
    LocalDay expected;
  } cases[] = {
      // 5 March 2009, 23:59:58 UTC.
      {"UTC0", 1236297598, {2009, 3, 5, 1236211200, 1236297600, 23, 59}},
      // The same moment is 00:59:58 on 6 March an hour east.
      {"CET-1", 1236297598, {2009, 3, 6, 1236294000, 1236380400, 0, 59}},
      // 29 February 2024, noon UTC.
      {"UTC0", 1709208000, {2024, 2, 29, 1709164800, 1709251200, 12, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.tz) + " " + std::to_string(c.moment));
    test::SetTimeZoneVariable(std::string(c.tz));
    LocalDay day;
    ASSERT_TRUE(LocalDayOf(c.moment, &day));
    EXPECT_EQ(day.year, c.expected.year);
    EXPECT_EQ(day.month, c.expected.month);
    EXPECT_EQ(day.day, c.expected.day);
    EXPECT_EQ(day.start, c.expected.start);
    EXPECT_EQ(day.next_midnight, c.expected.next_midnight);
    EXPECT_EQ(day.hour, c.expected.hour);
    EXPECT_EQ(day.minute, c.expected.minute);
  }
}

TEST_F(LocalTimeTest, WallClockIsPastTheYear2020) {
  EXPECT_GT(WallClockSeconds(), int64_t{1577836800});
}

}  // namespace
}  // namespace grulo
