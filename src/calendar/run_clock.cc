#include "calendar/run_clock.h"

#include <string_view>

#include "calendar/calendar.h"
#include "text/number_text.h"

namespace grulo {

std::unique_ptr<Clock> MakeRunClock(const char* today) {
  if (today != nullptr) {
    std::string_view text(today);
    bool digits = text.size() == 8;
    for (char c : text) digits = digits && IsDigit(c);
    if (digits && DateIsValid(text) == 0) {
      SplitDateResult d = SplitDate(text);
      return std::make_unique<FixedClock>(CivilDate{d.year, d.month, d.day});
    }
  }
  return std::make_unique<SystemClock>();
}

}  // namespace grulo
