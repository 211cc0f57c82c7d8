// grulo-gen: writes synthetic weekly summaries for grulo, seeded and
// reproducible, realistic by default, with shares of faulty summaries and of
// malformed lines.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "authoring/file_io.h"
#include "authoring/table_source.h"
#include "code_pools.h"
#include "summary_generator.h"

namespace grulo {
namespace gen {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitBadSource = 1;  // a table source with errors, or without usable codes
constexpr int kExitUsage = 2;      // wrong usage, or a file that cannot be read or written

constexpr size_t kFlushSize = size_t{1} << 20;

constexpr char kUsage[] =
    "Usage: grulo-gen [options]\n"
    "Writes synthetic weekly summaries, one per line, for grulo to check and\n"
    "classify. The same options and seed give the same bytes on every machine.\n"
    "\n"
    "Options:\n"
    "  --count N            number of lines to write (default 1000)\n"
    "  --seed S             seed of the random choices, 0 to 2^64-1 (default 1)\n"
    "  --week WWYYYY        week of the summaries (default 152024); about one in\n"
    "                       twelve summaries belongs to one of the four weeks\n"
    "                       before it. Choose a week at least two months before\n"
    "                       the day grulo runs, so that no date of a valid\n"
    "                       summary lies after that day.\n"
    "  --diag FILE          diagnosis table source (the text grulo-tables builds\n"
    "                       diag10sr.tab from): codes are drawn from it, each\n"
    "                       where its letter and position flags allow it\n"
    "  --acts FILE          act table source (for ccamcssr.tab): acts are drawn\n"
    "                       from it\n"
    "                       Without --diag or --acts, a small built-in list of\n"
    "                       common codes is used instead.\n"
    "  --faulty-share P     share of summaries with one to three faulty fields,\n"
    "                       0 to 1 (default 0.1). The faults are taken in turns,\n"
    "                       so that every error number the checks can produce\n"
    "                       (1 to 82 but 4 to 7, 18, 28, 62 and 69) comes up;\n"
    "                       the faults of the table attributes need --diag.\n"
    "  --malformed-share P  share of lines that are not well-formed summaries,\n"
    "                       0 to 1 (default 0.01): empty lines, lines of fewer\n"
    "                       than 12 characters, unknown format numbers ('m04',\n"
    "                       'M05'...), lengths that do not fit the act count,\n"
    "                       lines of more than 498 characters, NUL bytes; and\n"
    "                       good lines ended by CR LF among LF lines\n"
    "  --crlf               end every line with CR LF (default LF)\n"
    "  --out FILE           write to FILE (default: standard output)\n"
    "  --help               show this text\n"
    "\n"
    "Lines are Windows-1252 text; the free-text fields that grulo carries\n"
    "without reading may hold a few bytes above 127.\n"
    "\n"
    "Exit status: 0 success; 1 a table source with errors, or without codes\n"
    "for the first two diagnoses; 2 wrong usage, or a file that cannot be read\n"
    "or written.\n";

int UsageError(const std::string& message) {
  std::cerr << "grulo-gen: " << message << "\n\n" << kUsage;
  return kExitUsage;
}

bool ParseUnsigned(const std::string& text, uint64_t max, uint64_t* value) {
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

struct CommandLine {
  uint64_t count = 1000;
  GeneratorOptions options;
  std::string diag_path;
  std::string acts_path;
  std::string out_path;
  bool help = false;
};

bool ParseCommandLine(int argc, char** argv, CommandLine* cl, std::string* error) {
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
    const bool takes_value = arg == "--count" || arg == "--seed" || arg == "--week" ||
                             arg == "--diag" || arg == "--acts" || arg == "--faulty-share" ||
                             arg == "--malformed-share" || arg == "--out";
    if (!takes_value) {
      *error = "unknown argument '" + arg + "'";
      return false;
    }
    if (i + 1 >= argc) {
      *error = arg + " needs a value";
      return false;
    }
    const std::string value = argv[++i];
    if (arg == "--count") {
      if (!ParseUnsigned(value, uint64_t{1} << 40, &cl->count)) {
        *error = "--count takes a number of lines";
        return false;
      }
    } else if (arg == "--seed") {
      if (!ParseUnsigned(value, ~uint64_t{0}, &cl->options.seed)) {
        *error = "--seed takes a number from 0 to 18446744073709551615";
        return false;
      }
    } else if (arg == "--week") {
      std::string week_error;
      if (!ParseWeek(value, &cl->options.week, &cl->options.year, &week_error)) {
        *error = "--week " + value + ": " + week_error;
        return false;
      }
    } else if (arg == "--faulty-share" || arg == "--malformed-share") {
      uint32_t* ppb =
          arg == "--faulty-share" ? &cl->options.faulty_ppb : &cl->options.malformed_ppb;
      if (!ParseShare(value, ppb)) {
        *error = arg + " takes a share from 0 to 1, such as 0.05";
        return false;
      }
    } else if (arg == "--diag") {
      cl->diag_path = value;
    } else if (arg == "--acts") {
      cl->acts_path = value;
    } else {
      cl->out_path = value;
    }
  }
  return true;
}

// Reads a source file into a model; the exit status on failure.
template <typename Model, typename Parser>
std::optional<int> LoadSource(const std::string& path, Parser parse, Model* model) {
  std::string text;
  if (!ReadFileToString(path, &text)) {
    std::cerr << "grulo-gen: cannot read " << path << "\n";
    return kExitUsage;
  }
  std::vector<std::string> errors;
  if (!parse(text, path, model, &errors)) {
    for (const std::string& e : errors) std::cerr << e << "\n";
    return kExitBadSource;
  }
  return std::nullopt;
}

int Run(int argc, char** argv) {
  CommandLine cl;
  std::string error;
  if (!ParseCommandLine(argc, argv, &cl, &error)) return UsageError(error);
  if (cl.help) {
    std::cout << kUsage;
    return kExitOk;
  }

  DiagTableModel diag_model;
  ActTableModel act_model;
  if (!cl.diag_path.empty()) {
    if (auto status = LoadSource(cl.diag_path, ParseDiagSource, &diag_model)) return *status;
  }
  if (!cl.acts_path.empty()) {
    if (auto status = LoadSource(cl.acts_path, ParseActSource, &act_model)) return *status;
  }
  const CodePools pools(cl.diag_path.empty() ? nullptr : &diag_model,
                        cl.acts_path.empty() ? nullptr : &act_model);
  if (pools.Valid(kSlotFirst).empty() || pools.Valid(kSlotSecond).empty()) {
    std::cerr << "grulo-gen: " << cl.diag_path
              << " has no code that may stand as first diagnosis (a Z code with bit 7 or 6\n"
                 "of its position flags) or none that may stand as second (bit 5 or 4)\n";
    return kExitBadSource;
  }

  std::FILE* out = stdout;
  if (!cl.out_path.empty()) {
    out = std::fopen(cl.out_path.c_str(), "wb");
    if (out == nullptr) {
      std::cerr << "grulo-gen: cannot create " << cl.out_path << ": " << std::strerror(errno)
                << "\n";
      return kExitUsage;
    }
  }

  auto generator = std::make_unique<SummaryGenerator>(cl.options, pools);
  std::string buffer;
  buffer.reserve(kFlushSize + 2 * kMaxLineLength);
  bool ok = true;
  for (uint64_t i = 0; i < cl.count && ok; ++i) {
    generator->AppendNext(&buffer);
    if (buffer.size() >= kFlushSize) {
      ok = std::fwrite(buffer.data(), 1, buffer.size(), out) == buffer.size();
      buffer.clear();
    }
  }
  if (ok && !buffer.empty())
    ok = std::fwrite(buffer.data(), 1, buffer.size(), out) == buffer.size();
  ok = std::fflush(out) == 0 && ok;
  if (out != stdout) ok = std::fclose(out) == 0 && ok;
  if (!ok) {
    std::cerr << "grulo-gen: cannot write "
              << (cl.out_path.empty() ? std::string("to standard output") : cl.out_path) << "\n";
    return kExitUsage;
  }
  return kExitOk;
}

}  // namespace
}  // namespace gen
}  // namespace grulo

int main(int argc, char** argv) { return grulo::gen::Run(argc, argv); }
