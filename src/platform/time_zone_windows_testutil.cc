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
  _putenv_s("TZ", tz ? tz->c_str() : "");  // an empty value removes it
  _tzset();
}

}  // namespace grulo::test
