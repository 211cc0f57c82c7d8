#include "calendar/clock.h"

#include <algorithm>
#include <utility>

#include "platform/local_time.h"
#include "platform/process.h"

namespace grulo {

SystemClock::SystemClock(NowFunction wall_millis, NowFunction steady_millis)
    : wall_(wall_millis != nullptr ? std::move(wall_millis) : NowFunction(&WallClockMillis)),
      steady_(steady_millis != nullptr ? std::move(steady_millis)
                                       : NowFunction(&CoarseMonotonicMillis)) {}

CivilDate SystemClock::LocalToday() {
  const int64_t steady = steady_();
  if (wall_reads_ > 0 && steady >= last_steady_ && steady < check_at_) return today_;

  ++wall_reads_;
  last_steady_ = steady;
  const int64_t wall = wall_();
  const int64_t now = wall >= 0 ? wall / 1000 : -((999 - wall) / 1000);  // seconds, rounded down
  if (recomputations_ == 0 || now < day_start_ || now >= next_midnight_) {
    ++recomputations_;
    LocalDay local;
    if (LocalDayOf(now, &local)) {
      today_ = CivilDate{local.year, local.month, local.day};
      day_start_ = local.start;
      next_midnight_ = local.next_midnight;
    } else {
      today_ = CivilDate{1970, 1, 1};
      day_start_ = -1;
      next_midnight_ = -1;
    }
    // A time zone whose midnight does not exist, or a failed conversion: keep
    // the date for at most a minute.
    if (day_start_ > now || day_start_ == -1) day_start_ = now;
    if (next_midnight_ <= now) next_midnight_ = now + 60;
  }
  check_at_ = steady + std::clamp<int64_t>(next_midnight_ * 1000 - wall, 0, kRecheckMillis);
  return today_;
}

void FormatToday(const CivilDate& date, DateText* out) {
  FormatDate(date.day, date.month, date.year, out);
  if ((*out)[0] == ' ') (*out)[0] = '0';
}

void TodayDate(Clock& clock, DateText* out) { FormatToday(clock.LocalToday(), out); }

}  // namespace grulo
