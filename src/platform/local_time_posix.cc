// The clock and local date of platform/local_time.h on a POSIX system.

#include <time.h>

#include "platform/local_time.h"

namespace grulo {
namespace {

// Local midnight that begins the day `days_ahead` days after the day of `tm`.
int64_t LocalMidnight(struct tm tm, int days_ahead) {
  tm.tm_mday += days_ahead;
  tm.tm_hour = 0;
  tm.tm_min = 0;
  tm.tm_sec = 0;
  tm.tm_isdst = -1;
  return static_cast<int64_t>(mktime(&tm));
}

}  // namespace

int64_t WallClockMillis() {
  struct timespec ts;
#ifdef CLOCK_REALTIME_COARSE
  if (clock_gettime(CLOCK_REALTIME_COARSE, &ts) == 0) {
#else
  if (clock_gettime(CLOCK_REALTIME, &ts) == 0) {
#endif
    return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
  }
  return static_cast<int64_t>(time(nullptr)) * 1000;
}

int64_t WallClockSeconds() { return WallClockMillis() / 1000; }

bool LocalDayOf(int64_t seconds, LocalDay* day) {
  time_t t = static_cast<time_t>(seconds);
  struct tm tm;
  if (localtime_r(&t, &tm) == nullptr) return false;
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
