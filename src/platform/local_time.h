// The system's real-time clock and the local date in its time zone.

#ifndef GRULO_PLATFORM_LOCAL_TIME_H_
#define GRULO_PLATFORM_LOCAL_TIME_H_

#include <cstdint>

namespace grulo {

// Seconds since 1970-01-01 UTC from the real-time clock; the coarse clock
// where the system has one (read without a system call, late by a few
// milliseconds at most).
int64_t WallClockSeconds();

// The same in milliseconds.
int64_t WallClockMillis();

// The local day that holds a moment, in the system's time zone.
struct LocalDay {
  int year = 1970;
  int month = 1;  // 1 to 12
  int day = 1;    // 1 to 31
  // The moments (seconds since the epoch) of the local midnight that begins
  // the day and of the next one; -1 when the system cannot tell them.
  int64_t start = -1;
  int64_t next_midnight = -1;
  // The local time of the moment within the day.
  int hour = 0;    // 0 to 23
  int minute = 0;  // 0 to 59
};

// The local day of `seconds`; false (and `*day` untouched) when the system
// cannot convert that moment.
bool LocalDayOf(int64_t seconds, LocalDay* day);

}  // namespace grulo

#endif  // GRULO_PLATFORM_LOCAL_TIME_H_
