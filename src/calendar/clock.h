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

// The system's local clock, read for every summary at no noticeable cost:
// a coarse steady clock (read from memory, on Linux and on Windows alike)
// says when a second has passed, or when the next local midnight has come;
// only then is the real-time clock read again, and the local date computed
// again only when that clock has passed the next local midnight (or gone
// back before the current day). So a run that crosses midnight takes the new
// date within a few milliseconds, and a clock set to another time is seen
// within a second.
class SystemClock final : public Clock {
 public:
  using NowFunction = std::function<int64_t()>;  // milliseconds

  // `wall_millis` (since the epoch) and `steady_millis` (from any start)
  // replace the system's real-time and coarse steady clocks in tests.
  explicit SystemClock(NowFunction wall_millis = nullptr, NowFunction steady_millis = nullptr);
  CivilDate LocalToday() override;

  // How often the real-time clock was read and the local date computed;
  // for tests of the caching.
  int wall_reads() const { return wall_reads_; }
  int recomputations() const { return recomputations_; }

  // The real-time clock is read again at the latest this long after it was.
  static constexpr int64_t kRecheckMillis = 1000;

 private:
  NowFunction wall_;
  NowFunction steady_;
  int64_t check_at_ = 0;     // steady time at which the real-time clock is read again
  int64_t last_steady_ = 0;  // steady time of the last read
  int64_t day_start_ = 0;    // seconds since the epoch
  int64_t next_midnight_ = 0;
  CivilDate today_{};
  int wall_reads_ = 0;
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
