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

std::string_view CheckCount(std::string_view value) {
  uint64_t count;
  return ParseUnsigned(value, uint64_t{1} << 40, &count) ? "" : "a number of lines up to 2^40";
}

std::string_view CheckSeed(std::string_view value) {
  uint64_t seed;
  return ParseUnsigned(value, ~uint64_t{0}, &seed) ? "" : "a number from 0 to 2^64-1";
}

std::string_view CheckWeek(std::string_view value) {
  int week, year;
  return ParseWeek(value, "", &week, &year).ok()
             ? ""
             : "a week WWYYYY that exists, in a year from 1992 to 2089";
}

std::string_view CheckShare(std::string_view value) {
  uint32_t ppb;
  return ParseShare(value, "", &ppb).ok() ? "" : "a share from 0 to 1, such as 0.05";
}

constexpr OptionDefinition kOptions[] = {
    {"count", 0, "N", "number of lines to write (default 1000)", CheckCount},
    {"seed", 0, "S", "seed of the random choices, 0 to 2^64-1 (default 1)", CheckSeed},
    {"week", 0, "WWYYYY",
     "week of the summaries (default 152024); about one in twelve summaries belongs to one of "
     "the four weeks before it. Choose a week at least two months before the day grulo runs, "
     "so that no date of a valid summary lies after that day.",
     CheckWeek},
    {"diag", 0, "FILE",
     "diagnosis table source (the text grulo-tables builds diag10sr.tab from): codes are "
     "drawn from it, each where its letter and position flags allow it"},
    {"acts", 0, "FILE",
     "act table source (for ccamcssr.tab): acts are drawn from it. Without --diag or --acts, "
     "a small built-in list of common codes is used instead."},
    {"faulty-share", 0, "P",
     "share of summaries with one to three faulty fields, 0 to 1 (default 0.1). The faults "
     "are taken in turns, so that every error number the checks can produce (1 to 82 but 4 "
     "to 7, 18, 28, 62 and 69) comes up; the faults of the table attributes need --diag.",
     CheckShare},
    {"malformed-share", 0, "P",
     "share of lines that are not well-formed summaries, 0 to 1 (default 0.01): empty lines, "
     "lines of fewer than 12 characters, unknown format numbers ('m04', 'M05'...), lengths "
     "that do not fit the act count, lines of more than 498 characters, NUL bytes; and good "
     "lines ended by CR LF among LF lines",
     CheckShare},
    {"crlf", 0, "", "end every line with CR LF (default LF)"},
    {"out", 0, "FILE", "write to FILE (default: standard output)"},
};

}  // namespace

const CommandDefinition kGenCommand = {
    .name = "grulo-gen",
    .description =
        "Writes synthetic weekly summaries, one per line, for grulo to check and\n"
        "classify. The same options and seed give the same bytes on every machine.\n",
    .options = kOptions,
    .epilogue =
        "Lines are Windows-1252 text; the free-text fields that grulo carries\n"
        "without reading may hold a few bytes above 127.\n"
        "\n"
        "Exit status: 0 success; 1 a table source with errors, or without codes\n"
        "for the first two diagnoses; 2 wrong usage, or a file that cannot be read\n"
        "or written. See docs/generator.md.\n",
    .version = GRULO_VERSION,
};

CommandLine GenCommandLine(const ParsedOptions& parsed) {
  CommandLine cl;
  if (parsed.Has("count")) ParseUnsigned(parsed.Value("count"), uint64_t{1} << 40, &cl.count);
  if (parsed.Has("seed")) ParseUnsigned(parsed.Value("seed"), ~uint64_t{0}, &cl.options.seed);
  if (parsed.Has("week")) {
    (void)ParseWeek(parsed.Value("week"), "", &cl.options.week, &cl.options.year);
  }
  if (parsed.Has("faulty-share")) {
    (void)ParseShare(parsed.Value("faulty-share"), "", &cl.options.faulty_ppb);
  }
  if (parsed.Has("malformed-share")) {
    (void)ParseShare(parsed.Value("malformed-share"), "", &cl.options.malformed_ppb);
  }
  cl.options.crlf = parsed.Has("crlf");
  cl.diag_path = parsed.Value("diag");
  cl.acts_path = parsed.Value("acts");
  cl.out_path = parsed.Value("out");
  return cl;
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
