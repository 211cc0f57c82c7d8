#include "calendar/clock.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/time_zone_testutil.h"

namespace grulo {
namespace {

class SystemClockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    old_tz_ = test::TimeZoneVariable();
    test::SetTimeZoneVariable("UTC0");
  }
  void TearDown() override { test::SetTimeZoneVariable(old_tz_); }

 private:
  std::optional<std::string> old_tz_;
};

TEST_F(SystemClockTest, ComputesTheDateAgainOnlyAfterMidnight) {
  int64_t fake_now = 0;
  SystemClock clock([&fake_now] { return fake_now; });
  // 5 March 2009, 23:59:58 UTC.
  fake_now = 1236297598;
  EXPECT_EQ(clock.LocalToday().day, 5);
  fake_now += 1;
  EXPECT_EQ(clock.LocalToday().day, 5);
  EXPECT_EQ(clock.recomputations(), 1);
  fake_now += 1;  // midnight
  CivilDate d = clock.LocalToday();
  EXPECT_EQ(d.day, 6);
  EXPECT_EQ(d.month, 3);
  EXPECT_EQ(clock.recomputations(), 2);
  fake_now += 3600;
  clock.LocalToday();
  EXPECT_EQ(clock.recomputations(), 2);
}

TEST_F(SystemClockTest, ClockGoingBackBeforeTheDayIsNoticed) {
  int64_t fake_now = 0;
  SystemClock clock([&fake_now] { return fake_now; });
  fake_now = 1236297600;  // 6 March 2009, 00:00:00 UTC
  EXPECT_EQ(clock.LocalToday().day, 6);
  fake_now -= 10;
  EXPECT_EQ(clock.LocalToday().day, 5);
}

// The text kept for every summary follows the clock across midnight, and
// writes each date as TodayDate does, odd ones included.
TEST(TodayTextTest, FollowsTheClockAndWritesAsTodayDate) {
  const CivilDate kDates[] = {{2009, 3, 6}, {2009, 3, 6}, {2009, 3, 7}, {2010, 3, 7},
                              {2010, 4, 7}, {12345, 13, 0}, {-5, 0, 123}, {2009, 3, 6}};
  TodayText today;
  for (const CivilDate& d : kDates) {
    FixedClock clock(d);
    DateText want{};
    TodayDate(clock, &want);
    EXPECT_EQ(today.Read(clock), want) << d.year << "-" << d.month << "-" << d.day;
  }
}

}  // namespace
}  // namespace grulo
