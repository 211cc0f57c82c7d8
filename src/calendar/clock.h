// The local clock behind TodayDate, injectable so that tests fix the date.

#ifndef GRULO_CALENDAR_CLOCK_H_
#define GRULO_CALENDAR_CLOCK_H_

#include <cstdint>
#include <functional>
#include <memory>

#include "calendar/calendar.h"

namespace grulo {

struct CivilDate {
  int year;
  int month;  // 1 to 12
  int day;    // 1 to 31
};

// Writes the date as TodayDate does.
void FormatToday(const CivilDate& date, DateText* out);

class Clock {
 public:
  virtual ~Clock() = default;
  // The current local date.
  virtual CivilDate LocalToday() = 0;
};

// The system's local clock. Reading it for every summary costs neither a
// system call nor a time-zone lookup: the coarse real-time clock is read from
// user space, and the local date is computed again only when that clock
// passes the next local midnight (or goes back before the current day).
class SystemClock final : public Clock {
 public:
  using NowFunction = std::function<int64_t()>;  // seconds since the epoch

  // `now` replaces the real-time clock in tests.
  explicit SystemClock(NowFunction now = nullptr);
  CivilDate LocalToday() override;

  // How often the local date was computed; for tests of the caching.
  int recomputations() const { return recomputations_; }

 private:
  NowFunction now_;
  int64_t day_start_ = 0;
  int64_t next_midnight_ = 0;  // 0 with day_start_ 0: nothing computed yet
  CivilDate today_{};
  int recomputations_ = 0;
};

// A clock that says what it is told.
class FixedClock final : public Clock {
 public:
  explicit FixedClock(CivilDate date) : date_(date) {}
  void Set(CivilDate date) { date_ = date; }
  CivilDate LocalToday() override { return date_; }

 private:
  CivilDate date_;
};

// Makes a clock for each thread that groups: every thread reads its own.
using ClockFactory = std::function<std::unique_ptr<Clock>()>;

// Clocks that all say `date`.
inline ClockFactory FixedClocks(CivilDate date) {
  return [date] { return std::unique_ptr<Clock>(new FixedClock(date)); };
}

// Writes the current local date as DDMMYYYY followed by a NUL.
void TodayDate(Clock& clock, DateText* out);

// TodayDate for a caller that asks for every summary: the text is written
// again only when the clock's date changes.
class TodayText {
 public:
  const DateText& Read(Clock& clock) {
    const CivilDate d = clock.LocalToday();
    if (!known_ || d.year != date_.year || d.month != date_.month || d.day != date_.day) {
      date_ = d;
      known_ = true;
      FormatToday(d, &text_);
    }
    return text_;
  }

 private:
  CivilDate date_{};
  bool known_ = false;
  DateText text_{};
};

}  // namespace grulo

#endif  // GRULO_CALENDAR_CLOCK_H_
