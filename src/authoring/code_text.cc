#include "authoring/code_text.h"

#include <algorithm>
#include <cstdio>

#include "tables/act_table.h"
#include "tables/diag_table.h"
#include "text/number_text.h"

namespace grulo {
namespace {

// A decimal number of 1 to 5 digits, at most `max`.
bool ParseSmallNumber(std::string_view text, int max, int* value) {
  if (text.empty() || text.size() > 5) return false;
  int v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  if (v > max) return false;
  *value = v;
  return true;
}

bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }

}  // namespace

bool ParseDiagCode(std::string_view text, int* prefix, int* suffix_number) {
  if (text.size() < 3 || !IsUpper(text[0]) || !IsDigit(text[1]) || !IsDigit(text[2])) {
    return false;
  }
  const int p = (text[0] - 'A') * 100 + (text[1] - '0') * 10 + (text[2] - '0');
  std::string_view suffix = text.substr(3);
  int number = 0;
  if (!suffix.empty() && suffix[0] == '#') {
    if (!ParseSmallNumber(suffix.substr(1), 65535, &number)) return false;
  } else {
    if (suffix.size() > 3) return false;
    char chars[3] = {' ', ' ', ' '};
    for (size_t i = 0; i < suffix.size(); ++i) {
      const char c = suffix[i];
      if (c == '_') continue;
      if (!IsDigit(c) && !(c == '+' && i < 2)) return false;
      chars[i] = c;
    }
    number = SuffixNumber(std::string_view(chars, 3));
  }
  *prefix = p;
  *suffix_number = number;
  return true;
}

std::string DiagCodeField(int prefix, int suffix_number) {
  if (prefix < 0 || prefix >= kDiagPrefixCount || suffix_number < 0 ||
      suffix_number >= kSuffixNumberCount) {
    return std::string();
  }
  static constexpr char kChars[] = " 0123456789+";
  std::string field(6, ' ');
  field[0] = static_cast<char>('A' + prefix / 100);
  field[1] = static_cast<char>('0' + prefix / 10 % 10);
  field[2] = static_cast<char>('0' + prefix % 10);
  field[3] = kChars[suffix_number / 132];
  field[4] = kChars[suffix_number % 132 / 11];
  field[5] = kChars[suffix_number % 11];
  return field;
}

std::string DiagCodeText(int prefix, int suffix_number) {
  std::string field = DiagCodeField(prefix, suffix_number);
  if (field.empty()) {
    if (prefix < 0 || prefix >= kDiagPrefixCount)
      return std::string(1, '?').append(std::to_string(prefix));
    field = DiagCodeField(prefix, 0);
    return field.substr(0, 3) + "#" + std::to_string(suffix_number);
  }
  while (field.back() == ' ') field.pop_back();
  std::replace(field.begin(), field.end(), ' ', '_');
  return field;
}

bool ParseActCode(std::string_view text, int* prefix, uint8_t* letter, uint16_t* number) {
  if (text.size() < 4 || !IsUpper(text[0]) || !IsUpper(text[1]) || !IsUpper(text[2])) return false;
  const int p = (text[0] - 'A') * 676 + (text[1] - 'A') * 26 + (text[2] - 'A');
  if (text[3] == '#') {
    const size_t comma = text.find(',', 4);
    int b = 0;
    int n = 0;
    if (comma == std::string_view::npos || !ParseSmallNumber(text.substr(4, comma - 4), 255, &b) ||
        !ParseSmallNumber(text.substr(comma + 1), 65535, &n)) {
      return false;
    }
    *letter = static_cast<uint8_t>(b);
    *number = static_cast<uint16_t>(n);
  } else {
    int n = 0;
    if (text.size() != 8 || !IsUpper(text[3]) || !ParseSmallNumber(text.substr(4), 9999, &n)) {
      return false;
    }
    *letter = static_cast<uint8_t>(text[3] - 'A');
    *number = static_cast<uint16_t>(n);
  }
  *prefix = p;
  return true;
}

std::string ActCodeText(int prefix, uint8_t letter, uint16_t number) {
  if (prefix < 0 || prefix >= kActPrefixCount)
    return std::string(1, '?').append(std::to_string(prefix));
  std::string text = {static_cast<char>('A' + prefix / 676),
                      static_cast<char>('A' + prefix / 26 % 26),
                      static_cast<char>('A' + prefix % 26)};
  char tail[24];
  if (letter < 26 && number <= 9999) {
    std::snprintf(tail, sizeof tail, "%c%04u", 'A' + letter, unsigned{number});
  } else {
    std::snprintf(tail, sizeof tail, "#%u,%u", unsigned{letter}, unsigned{number});
  }
  return text + tail;
}

std::string DiagPrefixText(int prefix) {
  std::string text = DiagCodeText(prefix, 0);
  return text.substr(0, text[0] == '?' ? std::string::npos : 3);
}

std::string ActPrefixText(int prefix) {
  std::string text = ActCodeText(prefix, 0, 0);
  return text.substr(0, text[0] == '?' ? std::string::npos : 3);
}

}  // namespace grulo
