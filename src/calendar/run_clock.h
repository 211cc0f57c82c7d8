// The clock of a run: the system's local clock, or a fixed date for tests.

#ifndef GRULO_CALENDAR_RUN_CLOCK_H_
#define GRULO_CALENDAR_RUN_CLOCK_H_

#include <memory>

#include "calendar/clock.h"

namespace grulo {

// The environment variable that fixes the current date of a run, as DDMMYYYY
// (for instance GRULO_TODAY=07122026). It exists for tests; a value that is
// not eight digits forming a valid date is ignored.
inline constexpr char kTodayVariable[] = "GRULO_TODAY";

// A fixed clock when `today` (the variable's value, or nullptr) is a valid
// DDMMYYYY date, the system clock otherwise.
std::unique_ptr<Clock> MakeRunClock(const char* today);

}  // namespace grulo

#endif  // GRULO_CALENDAR_RUN_CLOCK_H_
