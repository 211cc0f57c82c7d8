#include "calendar/clock.h"

#include <time.h>

#include <utility>

namespace grulo {
namespace {

int64_t CoarseNow() {
  struct timespec ts;
  if (clock_gettime(CLOCK_REALTIME_COARSE, &ts) != 0) return static_cast<int64_t>(time(nullptr));
  return static_cast<int64_t>(ts.tv_sec);
}

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

SystemClock::SystemClock(NowFunction now)
    : now_(now != nullptr ? std::move(now) : NowFunction(&CoarseNow)) {}

CivilDate SystemClock::LocalToday() {
  int64_t now = now_();
  if (recomputations_ > 0 && now >= day_start_ && now < next_midnight_) return today_;

  ++recomputations_;
  time_t t = static_cast<time_t>(now);
  struct tm tm;
  if (localtime_r(&t, &tm) == nullptr) {
    today_ = CivilDate{1970, 1, 1};
    day_start_ = now;
    next_midnight_ = now + 1;
    return today_;
  }
  today_ = CivilDate{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
  day_start_ = LocalMidnight(tm, 0);
  next_midnight_ = LocalMidnight(tm, 1);
  // A time zone whose midnight does not exist, or a failed conversion: keep
  // the date for at most a minute.
  if (day_start_ > now || day_start_ == -1) day_start_ = now;
  if (next_midnight_ <= now) next_midnight_ = now + 60;
  return today_;
}

void TodayDate(Clock& clock, DateText* out) {
  CivilDate d = clock.LocalToday();
  FormatDate(d.day, d.month, d.year, out);
  if ((*out)[0] == ' ') (*out)[0] = '0';
}

}  // namespace grulo
