#include "cli/group_command.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "batch/batch_engine.h"
#include "batch/table_report.h"
#include "cli/command_files.h"
#include "cli/outcome_rows.h"
#include "io/line_reader.h"
#include "io/output_file.h"
#include "options/help_text.h"
#include "platform/file_replacement.h"
#include "platform/files.h"
#include "platform/process.h"
#include "run/progress_display.h"
#include "text/cp1252_text.h"

namespace grulo {
namespace {

constexpr int kMaxThreads = 256;
constexpr char kErrTempSuffix[] = ".grulo-group-tmp";

std::string_view CheckThreads(std::string_view value) {
  int threads = 0;
  for (char c : value) {
    if (c < '0' || c > '9' || threads > kMaxThreads) return "a number of threads from 1 to 256";
    threads = threads * 10 + (c - '0');
  }
  return threads >= 1 && threads <= kMaxThreads ? "" : "a number of threads from 1 to 256";
}

std::string_view CheckFormat(std::string_view value) {
  return value == "grp" || value == "jsonl" || value == "csv" ? "" : "grp, jsonl or csv";
}

constexpr OptionDefinition kOptions[] = {
    {"tables", 't', "DIR", "the table directory (arbressr.tab, ccamcssr.tab, diag10sr.tab)",
     nullptr, true},
    {"today", 0, "DDMMYYYY",
     "the current date of the checks (default: $GRULO_TODAY, else the computer's clock, "
     "which is then named on standard error)",
     CheckTodayValue},
    {"format", 'f', "FORMAT",
     "grp: the .grp lines as the batch writes them (the default); jsonl: one JSON object "
     "per input line; csv: a header, then one CSV row per input line",
     CheckFormat},
    {"err", 0, "FILE",
     "write the .err text as the batch writes it to FILE, put in place once the whole input "
     "is read (never the input, a table or a symbolic link)"},
    {"threads", 'j', "N",
     "group on N threads, 1 to 256 (default: the cores available); the output is the same "
     "for every N",
     CheckThreads},
    {"quiet", 'q', "", "no summary line with the counters on standard error"},
};

int Failure(std::FILE* err, const std::string& message) {
  return PrintFailure(err, kGroupCommand, message);
}

void Warn(std::FILE* err, const std::string& message) {
  PrintText(err, std::string(kGroupCommand.name) + ": warning: " + message + "\n");
}

// Hands out the input, first writing out what the output holds: whatever
// was grouped reaches the reader before grulo waits for more input. Ends
// the input once the output fails (its reader went away).
class FlushingSource final : public ByteSource {
 public:
  FlushingSource(ByteSource* input, OutputFile* output) : input_(input), output_(output) {}
  int64_t Read(char* buffer, size_t n) override {
    if (!output_->Flush()) return 0;
    return input_->Read(buffer, n);
  }

 private:
  ByteSource* input_;
  OutputFile* output_;
};

// Writes one JSON object or CSV row per line into the output.
class RowWriter final : public LineObserver {
 public:
  RowWriter(bool csv, OutputFile* output) : csv_(csv), output_(output) {}
  void OnLine(int64_t line_number, std::string_view, uint64_t,
              const LineOutcome& outcome) override {
    row_.clear();
    if (csv_) {
      AppendCsvRow(line_number, outcome, &numbers_, &row_);
    } else {
      AppendJsonRow(line_number, outcome, &numbers_, &row_);
    }
    output_->WriteRaw(row_);
  }

 private:
  bool csv_;
  OutputFile* output_;
  ErrorNumbers numbers_;
  std::string row_;
};

std::string CountersText(const RunCounters& counters) {
  return std::to_string(counters.NbLus) + (counters.NbLus == 1 ? " line: " : " lines: ") +
         RunSummaryText(counters) + "; NbLus=" + std::to_string(counters.NbLus) +
         " NbErrBloq=" + std::to_string(counters.NbErrBloq) +
         " NbErrNonBloq=" + std::to_string(counters.NbErrNonBloq) +
         " NbErrForm=" + std::to_string(counters.NbErrForm);
}

}  // namespace

const CommandDefinition kGroupCommand = {
    .name = "grulo group",
    .operands = "[INPUT | -]",
    .max_operands = 1,
    .summary = "groups summaries from a file or a pipe onto standard output",
    .description =
        "Groups the summaries of INPUT (standard input when it is '-' or missing) as the\n"
        "batch does, and writes to standard output, in input order, the .grp lines (the\n"
        "batch's bytes for the same tables, input and date), or one JSON object or CSV\n"
        "row per input line (line, format, category, number, return, version, blocking,\n"
        "non_blocking). Memory stays the same whatever the input's size; what is grouped\n"
        "is written out whenever grulo waits for more input.\n",
    .options = kOptions,
    .epilogue =
        "The table problems, their retries and the versions' messages are the batch's;\n"
        "its warnings about the tables and one line with the counters go to standard\n"
        "error. Without --today or GRULO_TODAY, the checks take the computer's date,\n"
        "and standard error says so.\n"
        "\n"
        "Exit status: 0 the whole input grouped; 1 failure (the input or the --err file\n"
        "could not be read or written; the reason is on standard error, --err FILE is\n"
        "left as it was); 2 usage error; 141 standard output closed before the end (a\n"
        "reader such as head stopped reading), said nowhere.\n"
        "\n"
        "See docs/group.md.\n",
    .run = RunGroupCommand,
};

int RunGroupCommand(int argc, char** argv, std::FILE* out, std::FILE* err) {
  ParsedOptions options = ParseOptions(kGroupCommand, argc, argv, 2);
  const int handled = HandleParsedOptions(kGroupCommand, options, out, err);
  if (handled >= 0) return handled;
#ifdef SIGPIPE
  // A closed standard output is told by EPIPE, and ends the command quietly.
  std::signal(SIGPIPE, SIG_IGN);
#endif
  const bool standard_input = options.operands.empty() || options.operands[0] == "-";
  const std::string input_path = standard_input ? "" : options.operands[0];
  const std::string input_name = standard_input ? "standard input" : Quoted(input_path);
  const std::string table_dir = TableDirectory(options.Value("tables"));
  const std::string format = options.Value("format", "grp");
  const bool quiet = options.Has("quiet");
  const int threads =
      options.Has("threads") ? std::stoi(options.Value("threads")) : AvailableCores();

  std::unique_ptr<FileSource> input;
  Status status = standard_input ? FileSource::OpenStandardInput(&input)
                                 : FileSource::Open(input_path, &input);
  if (!status.ok()) return Failure(err, "cannot open the input " + input_name + ": " +
                                            status.message());

  // The .err file: checked, then written beside its place and put there at
  // the end.
  std::unique_ptr<FileReplacement> err_file;
  const std::string err_path = options.Value("err");
  if (!err_path.empty()) {
    std::vector<RunFile> keep_off;
    if (!standard_input) keep_off.push_back({input_path, "the input file"});
    AddTableFiles(table_dir, &keep_off);
    status = CheckOutputName(err_path, "the .err file", keep_off);
    FileInfo input_info, err_info;
    if (status.ok() && input->Info(&input_info).ok() && GetFileInfo(err_path, &err_info).ok() &&
        err_info.type == FileInfo::kRegular && input_info.id == err_info.id) {
      status = Status::InvalidArgument("", "the .err file " + Quoted(err_path) +
                                               " is the input, which this command never replaces");
    }
    if (!status.ok()) return PrintUsageError(err, kGroupCommand, "--err: " + status.message());
    status = FileReplacement::Begin(err_path, kErrTempSuffix, TempNaming::kUnique, &err_file);
    if (!status.ok()) {
      return Failure(err, "cannot write the .err file " + Quoted(err_path) + ": " +
                              status.message());
    }
  }

  const TodayChoice today = ChooseToday(options);
  if (today.text.empty()) {
    Warn(err, "no --today and no GRULO_TODAY: the checks take today's date from the "
              "computer's clock");
  }

  bool output_closed = false;
  std::unique_ptr<OutputFile> standard_output =
      OutputFile::ToFunction([&](std::string_view bytes) {
        if (std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size() &&
            std::fflush(out) == 0) {
          return Status();
        }
        const int error = errno;
        output_closed = error == EPIPE;
        return Status::IoError("cannot write to standard output", std::strerror(error));
      });
  std::unique_ptr<OutputFile> dropped =
      OutputFile::ToFunction([](std::string_view) { return Status(); });
  std::unique_ptr<OutputFile> err_output =
      err_file ? OutputFile::Into(err_file->file())
               : OutputFile::ToFunction([](std::string_view) { return Status(); });
  RowWriter rows(format == "csv", standard_output.get());
  if (format == "csv") standard_output->WriteRaw(kOutcomeCsvHeader);

  BatchEngine engine(TableSource::InDirectory(table_dir), TodayClocks(today));
  BatchOptions batch;
  batch.threads = threads;
  batch.observer = format == "grp" ? nullptr : &rows;
  batch.progress = [&](int64_t lines) {
    if (lines == 1 && engine.starts_with_byte_order_mark()) {
      Warn(err, "the input " + input_name +
                    " starts with a UTF-8 byte order mark (bytes EF BB BF): line 1 is a "
                    "format problem; save the file without the mark, in Windows-1252");
    }
  };
  FlushingSource source(input.get(), standard_output.get());
  status = engine.Run(&source, err_output.get(),
                      format == "grp" ? standard_output.get() : dropped.get(), batch);
  standard_output->Flush();
  if (output_closed) return kExitOutputClosed;
  if (!standard_output->ok()) return Failure(err, standard_output->status().message());
  if (!input->read_status().ok()) {
    return Failure(err, "cannot read the input " + input_name + ": " +
                            input->read_status().message());
  }
  if (!err_output->ok()) {
    return Failure(err, "cannot write the .err file " + Quoted(err_path) + ": " +
                            err_output->status().message());
  }
  if (!status.ok()) return Failure(err, status.message());
  if (err_file) {
    status = err_file->Finish();
    if (status.ok()) status = err_file->Commit();
    if (!status.ok()) {
      return Failure(err, "cannot write the .err file " + Quoted(err_path) + ": " +
                              status.message());
    }
  }
  if (engine.session() != nullptr) {
    for (const std::string& warning : TableWarnings(table_dir, "--tables", *engine.session())) {
      Warn(err, warning);
    }
  }
  if (!quiet) {
    PrintText(err, std::string(kGroupCommand.name) + ": " + CountersText(engine.counters()) +
                       "\n");
  }
  return 0;
}

}  // namespace grulo
