#include "calendar/clock.h"

#include <utility>

#include "platform/local_time.h"

namespace grulo {

SystemClock::SystemClock(NowFunction now)
    : now_(now != nullptr ? std::move(now) : NowFunction(&WallClockSeconds)) {}

CivilDate SystemClock::LocalToday() {
  int64_t now = now_();
  if (recomputations_ > 0 && now >= day_start_ && now < next_midnight_) return today_;

  ++recomputations_;
  LocalDay local;
  if (!LocalDayOf(now, &local)) {
    today_ = CivilDate{1970, 1, 1};
    day_start_ = now;
    next_midnight_ = now + 1;
    return today_;
  }
  today_ = CivilDate{local.year, local.month, local.day};
  day_start_ = local.start;
  next_midnight_ = local.next_midnight;
  // A time zone whose midnight does not exist, or a failed conversion: keep
  // the date for at most a minute.
  if (day_start_ > now || day_start_ == -1) day_start_ = now;
  if (next_midnight_ <= now) next_midnight_ = now + 60;
  return today_;
}

void FormatToday(const CivilDate& date, DateText* out) {
  FormatDate(date.day, date.month, date.year, out);
  if ((*out)[0] == ' ') (*out)[0] = '0';
}

void TodayDate(Clock& clock, DateText* out) { FormatToday(clock.LocalToday(), out); }

}  // namespace grulo
