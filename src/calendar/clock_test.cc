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

// A fake real-time clock (milliseconds since the epoch) and steady clock.
struct FakeTime {
  int64_t wall = 0;
  int64_t steady = 0;
  SystemClock Clock() {
    return SystemClock([this] { return wall; }, [this] { return steady; });
  }
  void Advance(int64_t millis) {
    wall += millis;
    steady += millis;
  }
};

constexpr int64_t kMarch5At235958 = int64_t{1236297598} * 1000;  // 5 March 2009, UTC

// The real-time clock is read at most once a second of the steady clock,
// the date computed again only after midnight, and midnight is seen when it
// comes, not up to a second later.
TEST_F(SystemClockTest, ReadsTheTimeOnceASecondAndTheDateAfterMidnight) {
  FakeTime time{kMarch5At235958 - 3000, 0};
  SystemClock clock = time.Clock();
  for (int i = 0; i < 2000; ++i) {  // 23:59:55 to 23:59:57, a call every millisecond
    EXPECT_EQ(clock.LocalToday().day, 5);
    time.Advance(1);
  }
  EXPECT_EQ(clock.wall_reads(), 2);
  EXPECT_EQ(clock.recomputations(), 1);
  time.Advance(2500);  // 23:59:59.500: read, with midnight 0.5 s ahead
  EXPECT_EQ(clock.LocalToday().day, 5);
  time.Advance(499);  // 23:59:59.999: not read again
  EXPECT_EQ(clock.LocalToday().day, 5);
  EXPECT_EQ(clock.wall_reads(), 3);
  time.Advance(1);  // midnight
  CivilDate d = clock.LocalToday();
  EXPECT_EQ(d.day, 6);
  EXPECT_EQ(d.month, 3);
  EXPECT_EQ(clock.recomputations(), 2);
}

// A real-time clock set back a day is seen within a second; a steady clock
// that goes back makes the next call read again.
TEST_F(SystemClockTest, ClockSetToAnotherDayIsSeenWithinASecond) {
  FakeTime time{kMarch5At235958 + 3000, 0};  // 6 March, 00:00:01
  SystemClock clock = time.Clock();
  EXPECT_EQ(clock.LocalToday().day, 6);
  time.wall -= 86400 * 1000;
  time.steady += 999;
  EXPECT_EQ(clock.LocalToday().day, 6);
  time.steady += 1;
  EXPECT_EQ(clock.LocalToday().day, 5);
  time.wall += 86400 * 1000;
  time.steady -= 10;
  EXPECT_EQ(clock.LocalToday().day, 6);
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
