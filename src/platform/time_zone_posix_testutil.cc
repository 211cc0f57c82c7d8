#include <stdlib.h>
#include <time.h>

#include "platform/time_zone_testutil.h"

namespace grulo::test {

std::optional<std::string> TimeZoneVariable() {
  const char* tz = getenv("TZ");
  if (tz == nullptr) return std::nullopt;
  return std::string(tz);
}

void SetTimeZoneVariable(const std::optional<std::string>& tz) {
  if (tz) {
    setenv("TZ", tz->c_str(), 1);
  } else {
    unsetenv("TZ");
  }
  tzset();
}

}  // namespace grulo::test
