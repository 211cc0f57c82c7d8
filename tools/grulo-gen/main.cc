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
#include "base/status.h"
#include "platform/process.h"
#include "code_pools.h"
#include "gen_options.h"
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

// Writes a status that is not ok for a person and gives the exit status: a
// usage error (the usage follows it) or a file that cannot be read or written
// 2, a table source that cannot be used 1.
int Fail(const Status& status) {
  std::cerr << "grulo-gen: " << status.message() << "\n";
  switch (status.code()) {
    case Status::kInvalidArgument:
      std::cerr << "\n" << kUsage;
      return kExitUsage;
    case Status::kCorruption:
      return kExitBadSource;
    default:
      return kExitUsage;
  }
}

// Reads a source file into a model; a source with errors gives a corruption
// status that lists them.
template <typename Model, typename Parser>
Status LoadSource(const std::string& path, Parser parse, Model* model) {
  std::string text;
  if (!ReadFileToString(path, &text)) return Status::IoError(path, "cannot be read");
  std::vector<std::string> errors;
  if (parse(text, path, model, &errors)) return Status();
  std::string listed = "not a usable table source";
  for (const std::string& e : errors) listed += "\n  " + e;
  return Status::Corruption(path, listed);
}

// Writes the lines to the file named on the command line, or to standard
// output, a megabyte at a time.
Status WriteLines(const CommandLine& cl, const CodePools& pools) {
  std::FILE* out = stdout;
  if (!cl.out_path.empty()) {
    out = std::fopen(cl.out_path.c_str(), "wb");
    if (out == nullptr) {
      return Status::IoError(cl.out_path, std::string("cannot be created: ") + std::strerror(errno));
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
    return Status::IoError(cl.out_path.empty() ? "standard output" : cl.out_path,
                           "cannot be written");
  }
  return Status();
}

int Run(int argc, char** argv) {
  CommandLine cl;
  Status status = ParseCommandLine(argc, argv, &cl);
  if (!status.ok()) return Fail(status);
  if (cl.help) {
    std::cout << kUsage;
    return kExitOk;
  }

  DiagTableModel diag_model;
  ActTableModel act_model;
  if (!cl.diag_path.empty()) {
    status = LoadSource(cl.diag_path, ParseDiagSource, &diag_model);
    if (!status.ok()) return Fail(status);
  }
  if (!cl.acts_path.empty()) {
    status = LoadSource(cl.acts_path, ParseActSource, &act_model);
    if (!status.ok()) return Fail(status);
  }
  const CodePools pools(cl.diag_path.empty() ? nullptr : &diag_model,
                        cl.acts_path.empty() ? nullptr : &act_model);
  if (pools.Valid(kSlotFirst).empty() || pools.Valid(kSlotSecond).empty()) {
    return Fail(Status::Corruption(
        cl.diag_path,
        "has no code that may stand as first diagnosis (a Z code with bit 7 or 6\n"
        "of its position flags) or none that may stand as second (bit 5 or 4)"));
  }
  status = WriteLines(cl, pools);
  return status.ok() ? kExitOk : Fail(status);
}

}  // namespace
}  // namespace gen
}  // namespace grulo

int main(int argc, char** argv) {
  grulo::UseBinaryStandardStreams();  // summaries are bytes, CR LF as generated
  return grulo::gen::Run(argc, argv);
}
