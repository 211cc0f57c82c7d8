// The clock and local date of platform/local_time.h on Windows: the C
// runtime's conversions, which follow the system's time zone (or TZ when it
// is set).

#include <time.h>
#include <windows.h>

#include "platform/local_time.h"

namespace grulo {
namespace {

int64_t LocalMidnight(struct tm tm, int days_ahead) {
  tm.tm_mday += days_ahead;
  tm.tm_hour = 0;
  tm.tm_min = 0;
  tm.tm_sec = 0;
  tm.tm_isdst = -1;
  return static_cast<int64_t>(_mktime64(&tm));
}

}  // namespace

// The system time as Windows keeps it (read from memory that the system
// updates: the C runtime's _time64 costs microseconds, under Wine much more).
int64_t WallClockMillis() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  const int64_t hundreds_of_nanos =
      (static_cast<int64_t>(now.dwHighDateTime) << 32) | static_cast<int64_t>(now.dwLowDateTime);
  constexpr int64_t kEpochIn100Nanos = 116444736000000000;  // 1970-01-01 from 1601-01-01
  return (hundreds_of_nanos - kEpochIn100Nanos) / 10000;
}

int64_t WallClockSeconds() { return WallClockMillis() / 1000; }

bool LocalDayOf(int64_t seconds, LocalDay* day) {
  __time64_t t = static_cast<__time64_t>(seconds);
  struct tm tm;
  if (_localtime64_s(&tm, &t) != 0) return false;
  day->year = tm.tm_year + 1900;
  day->month = tm.tm_mon + 1;
  day->day = tm.tm_mday;
  day->hour = tm.tm_hour;
  day->minute = tm.tm_min;
  day->start = LocalMidnight(tm, 0);
  day->next_midnight = LocalMidnight(tm, 1);
  return true;
}

}  // namespace grulo
