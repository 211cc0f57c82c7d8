#include "gen_options.h"

#include <algorithm>

#include "gen_dates.h"

namespace grulo {
namespace gen {
namespace {

// A decimal number of at most `max`, digits only.
bool ParseUnsigned(std::string_view text, uint64_t max, uint64_t* value) {
  if (text.empty() || text.size() > 20) return false;
  uint64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    const uint64_t digit = static_cast<uint64_t>(c - '0');
    if (v > (max - digit) / 10) return false;
    v = v * 10 + digit;
  }
  *value = v;
  return true;
}

bool TakesValue(std::string_view option) {
  return option == "--count" || option == "--seed" || option == "--week" || option == "--diag" ||
         option == "--acts" || option == "--faulty-share" || option == "--malformed-share" ||
         option == "--out";
}

}  // namespace

Status ParseCommandLine(int argc, const char* const* argv, CommandLine* cl) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      cl->help = true;
      continue;
    }
    if (arg == "--crlf") {
      cl->options.crlf = true;
      continue;
    }
    if (!TakesValue(arg)) return Status::InvalidArgument(arg, "unknown option");
    if (i + 1 >= argc) return Status::InvalidArgument(arg, "needs a value");
    const std::string value = argv[++i];
    const std::string where = arg + " " + value;
    if (arg == "--count") {
      if (!ParseUnsigned(value, uint64_t{1} << 40, &cl->count)) {
        return Status::InvalidArgument(where, "takes a number of lines");
      }
    } else if (arg == "--seed") {
      if (!ParseUnsigned(value, ~uint64_t{0}, &cl->options.seed)) {
        return Status::InvalidArgument(where, "takes a number from 0 to 18446744073709551615");
      }
    } else if (arg == "--week") {
      Status status = ParseWeek(value, where, &cl->options.week, &cl->options.year);
      if (!status.ok()) return status;
    } else if (arg == "--faulty-share" || arg == "--malformed-share") {
      uint32_t* ppb =
          arg == "--faulty-share" ? &cl->options.faulty_ppb : &cl->options.malformed_ppb;
      Status status = ParseShare(value, where, ppb);
      if (!status.ok()) return status;
    } else if (arg == "--diag") {
      cl->diag_path = value;
    } else if (arg == "--acts") {
      cl->acts_path = value;
    } else {
      cl->out_path = value;
    }
  }
  return Status();
}

Status ParseShare(std::string_view text, std::string_view where, uint32_t* ppb) {
  const Status refused = Status::InvalidArgument(where, "takes a share from 0 to 1, such as 0.05");
  size_t i = 0;
  uint64_t whole = 0;
  bool digits = false;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    whole = whole * 10 + static_cast<uint64_t>(text[i] - '0');
    if (whole > 1) return refused;
    digits = true;
    ++i;
  }
  uint64_t fraction = 0;
  uint64_t scale = kBillion;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
      if (scale == 1) return refused;  // more than nine decimals
      scale /= 10;
      fraction += static_cast<uint64_t>(text[i] - '0') * scale;
      digits = true;
      ++i;
    }
  }
  if (!digits || i != text.size()) return refused;
  const uint64_t value = whole * kBillion + fraction;
  if (value > kBillion) return refused;
  *ppb = static_cast<uint32_t>(value);
  return Status();
}

Status ParseWeek(std::string_view text, std::string_view where, int* week, int* year) {
  if (text.size() != 6 ||
      !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return Status::InvalidArgument(where, "a week is six digits WWYYYY");
  }
  const int w = (text[0] - '0') * 10 + (text[1] - '0');
  const int y = std::stoi(std::string(text.substr(2)));
  if (y < 1992 || y > 2089) {
    return Status::InvalidArgument(where, "the year of the week must lie between 1992 and 2089");
  }
  if (w < 1 || w > 53 || (w == 53 && !YearHasWeek53(y))) {
    return Status::InvalidArgument(
        where, "week " + std::to_string(w) + " does not exist in " + std::to_string(y));
  }
  *week = w;
  *year = y;
  return Status();
}

}  // namespace gen
}  // namespace grulo
