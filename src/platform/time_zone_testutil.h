// For tests of the local date: the time zone of the running process.

#ifndef GRULO_PLATFORM_TIME_ZONE_TESTUTIL_H_
#define GRULO_PLATFORM_TIME_ZONE_TESTUTIL_H_

#include <optional>
#include <string>

namespace grulo::test {

// The TZ variable of this process, nothing when it is not set.
std::optional<std::string> TimeZoneVariable();

// Sets TZ (unsets it for nothing) and makes the local time of the C library
// follow it.
void SetTimeZoneVariable(const std::optional<std::string>& tz);

}  // namespace grulo::test

#endif  // GRULO_PLATFORM_TIME_ZONE_TESTUTIL_H_
