// grulo-gen: writes synthetic weekly summaries for grulo, seeded and
// reproducible, realistic by default, with shares of faulty summaries and of
// malformed lines.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "authoring/file_io.h"
#include "authoring/table_source.h"
#include "base/status.h"
#include "options/help_text.h"
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

// Writes a status that is not ok for a person and gives the exit status: a
// file that cannot be read or written 2, a table source that cannot be used 1.
int Fail(const Status& status) {
  PrintText(stderr, "grulo-gen: " + status.message() + "\n");
  return status.code() == Status::kCorruption ? kExitBadSource : kExitUsage;
}

// Reads a source file into a model; a source with errors gives a corruption
// status that lists them.
template <typename Model, typename Parser>
Status LoadSource(const std::string& path, Parser parse, Model* model) {
  std::string text;
  if (Status s = ReadTextSource(path, &text); !s.ok()) return s;
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
  const ParsedOptions parsed = ParseOptions(kGenCommand, argc, argv, 1);
  if (const int handled = HandleParsedOptions(kGenCommand, parsed, stdout, stderr); handled >= 0) {
    return handled;
  }
  const CommandLine cl = GenCommandLine(parsed);
  Status status;

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
  const grulo::Utf8Console utf8_console;  // messages are UTF-8
  return grulo::gen::Run(argc, argv);
}
