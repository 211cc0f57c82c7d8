#include "text/number_text.h"

#include <limits>

namespace grulo {

int32_t ReadNumber(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsWhiteSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  int64_t value = 0;
  constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > kLimit) value = kLimit;
  }
  if (negative) return static_cast<int32_t>(-value);
  return value >= kLimit ? std::numeric_limits<int32_t>::max() : static_cast<int32_t>(value);
}

int32_t ParseCount(std::string_view text) {
  // A NUL byte ends the text, as in the terminated copy that callers used to make.
  text = text.substr(0, text.find('\0'));
  if (text.empty()) return 0;
  if (IsDigit(text[0])) return ReadNumber(text);
  if (text[0] != ' ') return 0;
  size_t i = text.find_first_not_of(' ');
  if (i == std::string_view::npos) return 0;
  return ReadNumber(text.substr(i));
}

}  // namespace grulo
