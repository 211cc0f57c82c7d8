#include "cli/compare_command.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "batch/batch_engine.h"
#include "batch/table_report.h"
#include "cli/command_files.h"
#include "cli/outcome_comparison.h"
#include "io/line_reader.h"
#include "io/output_file.h"
#include "options/help_text.h"
#include "platform/file_replacement.h"
#include "platform/files.h"
#include "platform/process.h"
#include "tables/open_tables.h"
#include "text/cp1252_text.h"

namespace grulo {
namespace {

constexpr char kTempSuffix[] = ".grulo-compare-tmp";

std::string_view CheckThreads(std::string_view value) {
  int threads = 0;
  for (char c : value) {
    if (c < '0' || c > '9' || threads > 256) return "a number of threads from 1 to 256";
    threads = threads * 10 + (c - '0');
  }
  return threads >= 1 && threads <= 256 ? "" : "a number of threads from 1 to 256";
}

constexpr OptionDefinition kOptions[] = {
    {"old", 0, "DIR", "the table directory in use", nullptr, true},
    {"new", 0, "DIR", "the table directory that replaces it", nullptr, true},
    {"input", 'i', "FILE", "the summaries to group with both", nullptr, true},
    {"today", 0, "DDMMYYYY",
     "the current date of the checks (default: $GRULO_TODAY, else the computer's clock)",
     CheckTodayValue},
    {"csv", 0, "FILE", "write one CSV row per summary whose outcome changes to FILE"},
    {"html", 0, "FILE", "write the page of the changes (one HTML file) to FILE"},
    {"threads", 'j', "N", "group on N threads in all, 1 to 256 (default: the cores available)",
     CheckThreads},
};

int Failure(std::FILE* err, const std::string& message) {
  return PrintFailure(err, kCompareCommand, message);
}

// The outcomes of the old tables' run, handed to the new tables' run line
// by line: the old run waits when it is kQueued lines ahead, so the memory
// stays bounded whatever the input's size.
class OutcomeQueue {
 public:
  static constexpr size_t kQueued = 4096;

  void Push(ComparedOutcome outcome) {
    std::unique_lock<std::mutex> lock(mu_);
    room_.wait(lock, [&] { return items_.size() < kQueued || cancelled_; });
    if (cancelled_) return;
    items_.push_back(std::move(outcome));
    ready_.notify_one();
  }
  // False when the old run ended without this line.
  bool Pop(ComparedOutcome* outcome) {
    std::unique_lock<std::mutex> lock(mu_);
    ready_.wait(lock, [&] { return !items_.empty() || finished_; });
    if (items_.empty()) return false;
    *outcome = std::move(items_.front());
    items_.pop_front();
    room_.notify_one();
    return true;
  }
  // The old run is over.
  void Finish() {
    std::lock_guard<std::mutex> lock(mu_);
    finished_ = true;
    ready_.notify_all();
  }
  // The new run is over: the old run no longer waits.
  void Cancel() {
    std::lock_guard<std::mutex> lock(mu_);
    cancelled_ = true;
    room_.notify_all();
  }

 private:
  std::mutex mu_;
  std::condition_variable room_, ready_;
  std::deque<ComparedOutcome> items_;
  bool finished_ = false;
  bool cancelled_ = false;
};

class OldSide final : public LineObserver {
 public:
  explicit OldSide(OutcomeQueue* queue) : queue_(queue) {}
  void OnLine(int64_t line, std::string_view, uint64_t, const LineOutcome& outcome) override {
    if (version_.empty() && outcome.format == LineFormat::kWellFormed) {
      version_ = std::string(VersionView(outcome.version));
    }
    queue_->Push(ComparedOutcome::Of(line, outcome));
  }
  const std::string& version() const { return version_; }

 private:
  OutcomeQueue* queue_;
  std::string version_;
};

class NewSide final : public LineObserver {
 public:
  NewSide(OutcomeQueue* queue, OutcomeComparison* comparison, OutputFile* csv)
      : queue_(queue), comparison_(comparison), csv_(csv) {}
  void OnLine(int64_t line, std::string_view, uint64_t, const LineOutcome& outcome) override {
    if (version_.empty() && outcome.format == LineFormat::kWellFormed) {
      version_ = std::string(VersionView(outcome.version));
    }
    if (!in_step_ || !queue_->Pop(&old_)) {
      in_step_ = false;
      return;
    }
    if (comparison_->Add(old_, ComparedOutcome::Of(line, outcome), &row_) && csv_ != nullptr) {
      csv_->WriteRaw(row_);
    }
  }
  // Whether the old run gave every line the new run read.
  bool in_step() const { return in_step_; }
  const std::string& version() const { return version_; }

 private:
  OutcomeQueue* queue_;
  OutcomeComparison* comparison_;
  OutputFile* csv_;
  ComparedOutcome old_;
  std::string row_;
  std::string version_;
  bool in_step_ = true;
};

std::unique_ptr<OutputFile> Dropped() {
  return OutputFile::ToFunction([](std::string_view) { return Status(); });
}

}  // namespace

const CommandDefinition kCompareCommand = {
    .name = "grulo compare",
    .summary = "tells what a new table set changes to the outcomes of an input",
    .description =
        "Groups the summaries of the input with the old and with the new tables, each\n"
        "exactly as the batch would, and tells what changes: a short summary on\n"
        "standard output; with --csv, one row per summary whose three numbers or error\n"
        "lists change; with --html, a page with the moves from old to new groups, the\n"
        "summaries newly blocked or no longer blocked, and the errors that appear or\n"
        "disappear.\n",
    .options = kOptions,
    .epilogue =
        "The CSV's columns: line,old_category,old_number,old_return,new_category,\n"
        "new_number,new_return,old_blocking,old_non_blocking,new_blocking,\n"
        "new_non_blocking (UTF-8, error numbers separated by blanks). The files are\n"
        "written once the whole input is compared, never over the input, a table or\n"
        "through a symbolic link. Warnings about either table set go to standard error.\n"
        "\n"
        "Exit status: 0 compared; 1 failure (the reason is on standard error, no file\n"
        "was replaced); 2 usage error.\n"
        "\n"
        "See docs/group.md.\n",
    .run = RunCompareCommand,
};

int RunCompareCommand(int argc, char** argv, std::FILE* out, std::FILE* err) {
  ParsedOptions options = ParseOptions(kCompareCommand, argc, argv, 2);
  const int handled = HandleParsedOptions(kCompareCommand, options, out, err);
  if (handled >= 0) return handled;
  const std::string old_dir = TableDirectory(options.Value("old"));
  const std::string new_dir = TableDirectory(options.Value("new"));
  const std::string input_path = options.Value("input");
  const std::string csv_path = options.Value("csv");
  const std::string html_path = options.Value("html");
  const int threads =
      options.Has("threads") ? std::stoi(options.Value("threads")) : AvailableCores();

  // The outputs: never a file read here, nor each other.
  std::vector<RunFile> keep_off = {{input_path, "the input file"}};
  AddTableFiles(old_dir, &keep_off);
  AddTableFiles(new_dir, &keep_off);
  if (!csv_path.empty()) {
    Status status = CheckOutputName(csv_path, "the CSV file", keep_off);
    if (!status.ok()) return PrintUsageError(err, kCompareCommand, "--csv: " + status.message());
    keep_off.push_back({csv_path, "the CSV file"});
  }
  if (!html_path.empty()) {
    Status status = CheckOutputName(html_path, "the page", keep_off);
    if (!status.ok()) return PrintUsageError(err, kCompareCommand, "--html: " + status.message());
  }

  // Read twice, side by side: a pipe would hand each run half the lines.
  FileInfo input_info;
  Status status = GetFileInfo(input_path, &input_info);
  if (status.ok() && input_info.type != FileInfo::kRegular &&
      input_info.type != FileInfo::kMissing) {
    return PrintUsageError(err, kCompareCommand,
                           "--input: " + Quoted(input_path) +
                               " is not a regular file (the input is read twice)");
  }
  std::unique_ptr<FileSource> old_input, new_input;
  status = FileSource::Open(input_path, &old_input);
  if (status.ok()) status = FileSource::Open(input_path, &new_input);
  if (!status.ok()) {
    return Failure(err, "cannot open the input " + Quoted(input_path) + ": " + status.message());
  }
  std::unique_ptr<FileReplacement> csv_file;
  std::unique_ptr<OutputFile> csv;
  if (!csv_path.empty()) {
    status = FileReplacement::Begin(csv_path, kTempSuffix, TempNaming::kUnique, &csv_file);
    if (!status.ok()) {
      return Failure(err, "cannot write the CSV file " + Quoted(csv_path) + ": " +
                              status.message());
    }
    csv = OutputFile::Into(csv_file->file());
    csv->WriteRaw(kChangesCsvHeader);
  }

  const TodayChoice today = ChooseToday(options);
  if (today.text.empty()) {
    PrintText(err, std::string(kCompareCommand.name) +
                       ": warning: no --today and no GRULO_TODAY: the checks take today's date "
                       "from the computer's clock\n");
  }
  const ClockFactory clocks = TodayClocks(today);
  OutcomeQueue queue;
  OutcomeComparison comparison;
  OldSide old_side(&queue);
  NewSide new_side(&queue, &comparison, csv.get());
  BatchEngine old_engine(TableSource::InDirectory(old_dir), clocks);
  BatchEngine new_engine(TableSource::InDirectory(new_dir), clocks);
  BatchOptions old_options, new_options;
  old_options.threads = std::max(1, threads / 2);
  new_options.threads = std::max(1, threads - threads / 2);
  old_options.observer = &old_side;
  new_options.observer = &new_side;

  std::unique_ptr<OutputFile> old_err = Dropped(), old_grp = Dropped();
  std::unique_ptr<OutputFile> new_err = Dropped(), new_grp = Dropped();
  Status old_status;
  std::thread old_run([&] {
    old_status = old_engine.Run(old_input.get(), old_err.get(), old_grp.get(), old_options);
    queue.Finish();
  });
  Status new_status = new_engine.Run(new_input.get(), new_err.get(), new_grp.get(), new_options);
  queue.Cancel();
  old_run.join();

  for (FileSource* input : {old_input.get(), new_input.get()}) {
    if (!input->read_status().ok()) {
      return Failure(err, "cannot read the input " + Quoted(input_path) + ": " +
                              input->read_status().message());
    }
  }
  if (!old_status.ok()) return Failure(err, "with the old tables: " + old_status.message());
  if (!new_status.ok()) return Failure(err, "with the new tables: " + new_status.message());
  if (!new_side.in_step() || old_engine.counters().NbLus != new_engine.counters().NbLus ||
      old_input->bytes_read() != new_input->bytes_read()) {
    return Failure(err, "the input " + Quoted(input_path) +
                            " changed while it was read: the two runs read other lines");
  }
  if (csv) {
    csv->Flush();
    status = csv->ok() ? csv_file->Finish() : csv->status();
    if (status.ok()) status = csv_file->Commit();
    if (!status.ok()) {
      return Failure(err, "cannot write the CSV file " + Quoted(csv_path) + ": " +
                              status.message());
    }
  }
  if (!html_path.empty()) {
    ComparisonNames names;
    names.input = input_path;
    names.old_tables = options.Value("old");
    names.new_tables = options.Value("new");
    names.today = today.text.empty() ? "the computer's clock" : today.text;
    names.old_version = Cp1252ToUtf8(old_side.version());
    names.new_version = Cp1252ToUtf8(new_side.version());
    status = ReplaceFileAtomically(html_path, ComparisonHtml(comparison, names), kTempSuffix,
                                   TempNaming::kUnique);
    if (!status.ok()) {
      return Failure(err, "cannot write the page " + Quoted(html_path) + ": " +
                              status.message());
    }
  }
  for (const auto& [engine, dir, option] :
       {std::tuple{&old_engine, &old_dir, "--old"}, std::tuple{&new_engine, &new_dir, "--new"}}) {
    if (engine->session() == nullptr) continue;
    for (const std::string& warning : TableWarnings(*dir, option, *engine->session())) {
      PrintText(err, std::string(kCompareCommand.name) + ": warning: " + warning + "\n");
    }
  }
  std::string text = ComparisonSummaryText(comparison);
  if (!csv_path.empty()) text += "wrote " + Quoted(csv_path) + "\n";
  if (!html_path.empty()) text += "wrote " + Quoted(html_path) + "\n";
  return PrintText(out, text) ? 0 : Failure(err, "cannot write to standard output");
}

}  // namespace grulo
