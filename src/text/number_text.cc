#include "text/number_text.h"

#include <limits>

namespace grulo {

int32_t number_text_internal::ReadNumberInFull(std::string_view text) {
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p < end && IsWhiteSpace(*p)) ++p;
  bool negative = false;
  if (p < end && (*p == '+' || *p == '-')) {
    negative = *p == '-';
    ++p;
  }
  // Held in 64 bits and capped at 2^31, whose negation is the lowest 32-bit
  // number; a NUL byte is no digit and ends the reading.
  constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
  int64_t value = 0;
  for (; p < end && IsDigit(*p); ++p) {
    value = value * 10 + (*p - '0');
    if (value > kLimit) value = kLimit;
  }
  if (negative) return static_cast<int32_t>(-value);
  return value >= kLimit ? std::numeric_limits<int32_t>::max() : static_cast<int32_t>(value);
}

int32_t ParseCount(std::string_view text) {
  // A text that starts with a digit has no white space or sign for ReadNumber
  // to take; one that starts with blanks has them skipped by ReadNumber along
  // with any white space behind them. A NUL byte stops ReadNumber as the end
  // of the text would.
  if (text.empty() || !(IsDigit(text[0]) || text[0] == ' ')) return 0;
  return ReadNumber(text);
}

}  // namespace grulo
