#include "record/field_mask.h"

#include <algorithm>

#include "calendar/number_text.h"

namespace grulo {
namespace {

bool Accepts(char mask_char, char c) {
  switch (mask_char) {
    case '9':
      return IsDigit(c);
    case 'X':
      return IsLetter(c);
    case 'A':
      return IsLetter(c) || IsDigit(c);
    case 'Y':
      return IsLetter(c) || IsDigit(c) || c == ' ';
    case 'Z':
      return IsDigit(c) || c == ' ';
    case '+':
      return IsDigit(c) || c == ' ' || c == '+';
    case 'F':
      return IsDigit(c) || c == 'A' || c == 'B' || c == 'a' || c == 'b';
    default:
      return true;
  }
}

}  // namespace

MaskResult MatchMask(std::string_view field, std::string_view mask, int16_t trim_mode,
                     int16_t min_length) {
  const int n = static_cast<int>(std::min(mask.size(), field.size()));
  int first = -1;
  int last = -1;
  for (int p = 0; p < n; ++p) {
    if (field[p] != ' ') {
      if (first < 0) first = p;
      last = p;
    }
  }
  if (first < 0) return MaskBlank;

  int start = 0;
  int length = n;
  switch (trim_mode) {
    case TrimLeading:
      start = first;
      length = n - first;
      break;
    case TrimTrailing:
      length = last + 1;
      break;
    case TrimBoth:
      start = first;
      length = last - first + 1;
      break;
    default:
      break;
  }
  if (length < min_length) return MaskTooShort;
  for (int p = start; p < start + length; ++p) {
    if (!Accepts(mask[p], field[p])) return MaskMismatch;
  }
  return MaskOk;
}

bool IsOneOf(std::string_view value, std::string_view list, int16_t width) {
  if (width <= 0 || value.size() < static_cast<size_t>(width)) return false;
  std::string_view wanted = value.substr(0, width);
  for (size_t k = 0; k < list.size(); k += width) {
    if (list.substr(k, width) == wanted) return true;
  }
  return false;
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
