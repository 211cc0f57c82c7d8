#include "calendar/run_clock.h"

#include <gtest/gtest.h>

#include <string>

namespace grulo {
namespace {

std::string TodayOf(Clock& clock) {
  DateText today{};
  TodayDate(clock, &today);
  return std::string(DateView(today));
}

TEST(RunClockTest, FixedDateOnlyForAValidEightDigitDate) {
  EXPECT_EQ(TodayOf(*MakeRunClock("29022000")), "29022000");
  EXPECT_EQ(TodayOf(*MakeRunClock("01010001")), "01010001");
  // Anything else leaves the system clock, which never gives these dates.
  for (const char* odd : {"29022001", "2902200", "290220000", " 1012009", "", "abcdefgh"}) {
    std::string today = TodayOf(*MakeRunClock(odd));
    EXPECT_NE(today, odd);
    EXPECT_EQ(DateIsValid(today), 0) << odd;
  }
}

}  // namespace
}  // namespace grulo
