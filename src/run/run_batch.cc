#include "run/run_batch.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "batch/batch_engine.h"
#include "config/ini_file.h"
#include "io/line_reader.h"
#include "io/output_file.h"
#include "io/paths.h"
#include "run/input_wait.h"
#include "run/progress_display.h"
#include "run/results_commit.h"
#include "run/run_interruption.h"
#include "batch/table_report.h"
#include "platform/file_lock.h"
#include "platform/file_replacement.h"
#include "platform/files.h"
#include "platform/process.h"
#include "text/cp1252_text.h"

namespace grulo {
namespace {


// "another run (process 1234)", or "another run" when the id is unknown.
std::string AnotherRun(int64_t holder) {
  return holder > 0 ? "another run (process " + std::to_string(holder) + ")" : "another run";
}

std::string FileName(std::string_view path) {
  return std::string(path.substr(DirectoryPart(path).size()));
}

// One run: everything it holds, released in reverse order of declaration
// whatever way the run ends (the temporary files removed unless renamed into
// place, the lock files removed, then the locks let go).
class BatchJob {
 public:
  BatchJob(const RunOptions& options, const GrouperFactory& grouping, RunConsole& console)
      : options_(options),
        grouping_(grouping),
        console_(console),
        start_(MonotonicNanos()),
        faults_(FaultHook::FromEnvironment()) {}

  // The whole run; the exit status.
  int Run(const ConfigChoice& choice);

 private:
  // The stages of the run, in order. Each returns the failure that stops the
  // run, with its message for the operator.
  Status ReadConfiguration(const ConfigChoice& choice);
  Status CheckOutputDirectory();
  Status TakeLocks();
  Status FinishEarlierCommit();
  void RemoveLeftovers();
  Status OpenInput();
  Status CreateErrFile();
  Status CreateGrpFile();
  // The .grp file could not be created: the .err file says so; status 1.
  int ReportGrpFailure(const Status& status);
  Status ReadAllLines();
  Status CheckInputUnchanged();
  Status FinishOutputs();
  // The .grp, .err and counters put in place together; the exit status.
  int CommitResults();
  // The table warnings, an empty input and, on a terminal, the closing
  // summary; the exit status of the complete run.
  int ReportCompleteRun();
  // Says why the run failed; status 1.
  int Fail(const Status& status);
  Status OutputWriteFailure(const std::string& path, const Status& reason) const;

  const RunOptions options_;
  const GrouperFactory& grouping_;
  RunConsole& console_;
  const int64_t start_;
  const FaultHook faults_;
  std::optional<RunInterruption> interruption_;

  IniFile ini_;
  RunConfig config_;
  std::string config_target_;  // the configuration file, links followed
  std::string stem_;
  std::string grp_path_;
  std::string err_path_;

  std::string output_lock_path_;
  std::unique_ptr<FileLock> config_lock_;
  std::unique_ptr<FileLock> output_lock_;

  std::unique_ptr<FileSource> input_;
  FileInfo input_at_start_;
  std::unique_ptr<InputWait> input_wait_;  // gone before the input
  std::unique_ptr<LineReader> reader_;

  std::unique_ptr<FileReplacement> err_file_;
  std::unique_ptr<FileReplacement> grp_file_;
  std::unique_ptr<OutputFile> err_;
  std::unique_ptr<OutputFile> grp_;
  std::unique_ptr<BatchEngine> engine_;
  bool outputs_begun_ = false;  // temporary outputs exist: a failure says they were dropped
};

int BatchJob::Run(const ConfigChoice& choice) {
  interruption_.emplace(console_);  // before any thread starts
  Status status = ReadConfiguration(choice);
  if (status.ok()) status = CheckOutputDirectory();
  if (status.ok()) status = TakeLocks();
  if (status.ok()) status = FinishEarlierCommit();
  if (!status.ok()) return Fail(status);
  RemoveLeftovers();
  status = OpenInput();
  if (status.ok()) status = CreateErrFile();
  if (!status.ok()) return Fail(status);
  status = CreateGrpFile();
  if (!status.ok()) return ReportGrpFailure(status);
  status = ReadAllLines();
  input_wait_.reset();
  if (status.ok()) status = CheckInputUnchanged();
  if (status.ok()) status = FinishOutputs();
  if (!status.ok()) return Fail(status);
  return CommitResults();
}

int BatchJob::Fail(const Status& status) {
  std::string message = status.message();
  if (outputs_begun_) {
    message += "; the previous " + Quoted(FileName(grp_path_)) + ", " +
               Quoted(FileName(err_path_)) + " and counters are left as they were";
  }
  console_.Error(message);
  return kExitFailed;
}

Status BatchJob::ReadConfiguration(const ConfigChoice& choice) {
  Status status = ReadRunConfig(choice, &ini_, &config_);
  if (!status.ok()) return status;
  stem_ = OutputStem(config_.rep_sor, InputBaseName(config_.fic_ent));
  grp_path_ = stem_ + ".grp";
  err_path_ = stem_ + ".err";
  config_target_ = ResolveLinks(config_.path);
  return Status();
}

Status BatchJob::CheckOutputDirectory() {
  const std::string where = "the output directory " + Quoted(config_.rep_sor) + " (" +
                            config_.Origin("RepSor", config_.rep_sor) + ")";
  FileInfo info;
  Status status = GetFileInfo(config_.rep_sor, &info);
  if (!status.ok()) return Status::IoError("cannot reach " + where, status.message());
  if (info.type == FileInfo::kMissing) return Status::NotFound("", where + " does not exist");
  if (info.type != FileInfo::kDirectory) {
    return Status::InvalidArgument("", where + " is not a directory");
  }
  // The configuration file must not be one of the outputs.
  FileInfo config_info;
  for (const std::string* output : {&grp_path_, &err_path_}) {
    FileInfo output_info;
    if (GetFileInfo(*output, &output_info).ok() && output_info.type == FileInfo::kRegular &&
        GetFileInfo(config_.path, &config_info).ok() && config_info.id == output_info.id) {
      return Status::InvalidArgument("", "the configuration file " +
                                             Quoted(config_.shown_path) +
                                             " is also the output file " + Quoted(*output));
    }
  }
  return Status();
}

Status BatchJob::TakeLocks() {
  int64_t holder = 0;
  std::string lock_path = TemporaryPathFor(config_target_, kConfigLockSuffix);
  Status status = LockFile(lock_path, &config_lock_, &holder);
  if (!status.ok()) {
    if (holder != 0) {
      return Status::IoError("", AnotherRun(holder) + " is using the configuration file " +
                                     Quoted(config_.shown_path) + " (lock file " +
                                     Quoted(lock_path) + "); this run stops and changes nothing");
    }
    if (status.code() == Status::kInvalidArgument) {  // the name is refused: the reason says why
      return Status::IoError("the lock file " + Quoted(lock_path) + " beside the configuration file",
                             status.message());
    }
    return Status::IoError("cannot create the lock file " + Quoted(lock_path) +
                               " beside the configuration file (the counters are written "
                               "there, so its directory must be writable)",
                           status.message());
  }
  interruption_->RemoveOnStop(lock_path);
  lock_path = TemporaryPathFor(stem_, kOutputLockSuffix);
  status = LockFile(lock_path, &output_lock_, &holder);
  if (!status.ok()) {
    if (holder != 0) {
      return Status::IoError("", AnotherRun(holder) + " is writing " + Quoted(grp_path_) +
                                     " and " + Quoted(FileName(err_path_)) + " (lock file " +
                                     Quoted(lock_path) + "); this run stops and changes nothing");
    }
    if (status.code() == Status::kInvalidArgument) {
      return Status::IoError("the lock file " + Quoted(lock_path) + " of the outputs",
                             status.message());
    }
    return Status::IoError("cannot write into the output directory " + Quoted(config_.rep_sor) +
                               " (" +
                               config_.Origin("RepSor", config_.rep_sor) + ")",
                           status.message());
  }
  interruption_->RemoveOnStop(lock_path);
  output_lock_path_ = lock_path;
  return Status();
}

// A commit that an earlier run began and did not end is finished (or
// undone) first, a request to stop held meanwhile.
Status BatchJob::FinishEarlierCommit() {
  interruption_->BeginCommit();
  std::string note;
  Status status = RecoverResults(config_target_, output_lock_path_, &note);
  const int held = interruption_->EndCommit();
  if (!note.empty()) console_.Warning(note);
  if (held != 0) interruption_->Deliver(held);
  return status;
}

void BatchJob::RemoveLeftovers() {
  // Under the locks no other run writes these names: a file of such a name
  // is what a killed run left behind (a link planted there goes as a name).
  (void)RemoveFile(TemporaryPathFor(config_target_, kConfigTempSuffix));
  (void)RemoveFile(TemporaryPathFor(grp_path_, kOutputTempSuffix));
  (void)RemoveFile(TemporaryPathFor(err_path_, kOutputTempSuffix));
}

// A regular file or a pipe: anything else (a device, a socket) could never
// end, or is no input at all.
bool IsReadableInput(const FileInfo& info) {
  return info.type == FileInfo::kRegular || info.type == FileInfo::kPipe;
}

Status BatchJob::OpenInput() {
  const std::string where = "the input file " + Quoted(config_.fic_ent) + " (" +
                            config_.Origin("FicEnt", config_.fic_ent) + ")";
  const Status refused = Status::InvalidArgument(
      "", where + " is neither a regular file nor a pipe (a device or a socket): grulo reads "
                  "the summaries from a file or a pipe");
  FileInfo named;
  if (GetFileInfo(config_.fic_ent, &named).ok() && named.type == FileInfo::kOther) return refused;
  if (named.type == FileInfo::kPipe && console_.terminal()) {
    input_wait_ = std::make_unique<InputWait>(console_, "the pipe " + Quoted(config_.fic_ent));
  }
  Status status = FileSource::Open(config_.fic_ent, &input_);
  if (!status.ok()) return Status::IoError("cannot open " + where, status.message());
  status = input_->Info(&input_at_start_);
  if (!status.ok()) return Status::IoError("cannot read " + where, status.message());
  if (!IsReadableInput(input_at_start_)) return refused;
  if (input_wait_ != nullptr) input_wait_->Attach(input_.get());
  reader_ = std::make_unique<LineReader>(input_.get());
  if (!reader_->Start()) {
    return Status::IoError("cannot read " + where, input_->read_status().message());
  }
  return Status();
}

// The reason an output cannot be written: the input file itself is refused.
Status RefuseInputAsOutput(const std::string& path, const FileInfo& input) {
  FileInfo info;
  if (GetFileInfo(path, &info).ok() && info.type != FileInfo::kMissing && info.id == input.id) {
    return Status::InvalidArgument("", "it is the input file");
  }
  return Status();
}

Status BatchJob::CreateErrFile() {
  Status status = RefuseInputAsOutput(err_path_, input_at_start_);
  interruption_->RemoveOnStop(TemporaryPathFor(err_path_, kOutputTempSuffix));
  if (status.ok()) {
    status = FileReplacement::Begin(err_path_, kOutputTempSuffix, TempNaming::kFixed, &err_file_);
  }
  if (!status.ok()) {
    return Status::IoError("cannot create the output file " + Quoted(err_path_) + " (" +
                               config_.Origin("RepSor", config_.rep_sor) + ")",
                           status.message());
  }
  outputs_begun_ = true;
  err_ = OutputFile::Into(err_file_->file());
  return Status();
}

Status BatchJob::CreateGrpFile() {
  Status status = RefuseInputAsOutput(grp_path_, input_at_start_);
  interruption_->RemoveOnStop(TemporaryPathFor(grp_path_, kOutputTempSuffix));
  if (status.ok()) {
    status = FileReplacement::Begin(grp_path_, kOutputTempSuffix, TempNaming::kFixed, &grp_file_);
  }
  if (!status.ok()) return status;
  grp_ = OutputFile::Into(grp_file_->file());
  engine_ = std::make_unique<BatchEngine>(grouping_(config_.rep_tab));
  return Status();
}

// The .grp file cannot be created: as in the classic program, the .err file
// says so, and the run stops.
int BatchJob::ReportGrpFailure(const Status& status) {
  err_->Printf("Pb d'ouverture fichier en sortie : %s.grp\n", stem_.c_str());
  err_->Flush();
  Status written = err_->status();
  if (written.ok()) written = err_file_->Finish();
  interruption_->BeginCommit();
  if (written.ok()) written = err_file_->Commit();
  if (const int held = interruption_->EndCommit(); held != 0 && !written.ok()) {
    interruption_->Deliver(held);
  }
  std::string message = "cannot create the output file " + Quoted(grp_path_) + " (" +
                        config_.Origin("RepSor", config_.rep_sor) + "): " + status.message();
  if (written.ok()) {
    message += "; " + Quoted(err_path_) + " says so; the previous " + Quoted(FileName(grp_path_)) +
               " and counters are left as they were";
  } else {
    message += "; nor could " + Quoted(err_path_) + " be written (" + written.message() +
               "); the previous outputs and counters are left as they were";
  }
  console_.Error(message);
  return kExitFailed;
}

Status BatchJob::OutputWriteFailure(const std::string& path, const Status& reason) const {
  return Status::IoError("cannot write the output file " + Quoted(path), reason.message());
}

Status BatchJob::ReadAllLines() {
  std::optional<ProgressDisplay> progress;
  if (console_.terminal()) {
    bool sized = input_at_start_.type == FileInfo::kRegular && input_at_start_.size > 0;
    progress.emplace(start_, sized ? input_at_start_.size : -1);
  }
  BatchOptions options;
  options.threads = options_.threads;
  options.chunk_lines = options_.chunk_lines;
  options.observer = options_.observer;
  options.progress = [&](int64_t lines) {
    if (lines == 1 && engine_->starts_with_byte_order_mark()) {
      console_.Warning("the input file " + Quoted(config_.fic_ent) +
                       " starts with a UTF-8 byte order mark (bytes EF BB BF): line 1 is "
                       "reported as a format problem, as every implementation does; save "
                       "the file without the mark, in Windows-1252");
    }
    if (!progress) return;
    std::string text = progress->Update(MonotonicNanos(), lines, input_->bytes_read());
    if (!text.empty()) console_.ShowProgress(text);
  };
  Status status = engine_->Run(reader_.get(), err_.get(), grp_.get(), options);
  if (!err_->ok()) return OutputWriteFailure(err_path_, err_->status());
  if (!grp_->ok()) return OutputWriteFailure(grp_path_, grp_->status());
  if (!input_->read_status().ok()) {
    return Status::IoError("cannot read the input file " + Quoted(config_.fic_ent) + " (" +
                               config_.Origin("FicEnt", config_.fic_ent) + ")",
                           input_->read_status().message());
  }
  return status;
}

Status BatchJob::CheckInputUnchanged() {
  if (input_at_start_.type != FileInfo::kRegular) return Status();
  FileInfo now;
  Status status = input_->Info(&now);
  const std::string where = "the input file " + Quoted(config_.fic_ent) + " (" +
                            config_.Origin("FicEnt", config_.fic_ent) + ")";
  if (!status.ok()) return Status::IoError("cannot read " + where, status.message());
  int64_t read = input_->bytes_read();
  if (now.size == input_at_start_.size && read == input_at_start_.size) return Status();
  std::string what = where + " changed size during the run: " +
                     std::to_string(input_at_start_.size) + " bytes at the start, " +
                     std::to_string(now.size) + " at the end";
  if (read != now.size) what += ", " + std::to_string(read) + " read";
  return Status::IoError("", what);
}

Status BatchJob::FinishOutputs() {
  err_->Flush();
  grp_->Flush();
  if (!err_->ok()) return OutputWriteFailure(err_path_, err_->status());
  if (!grp_->ok()) return OutputWriteFailure(grp_path_, grp_->status());
  Status status = faults_.At("sync-grp");
  if (status.ok()) status = grp_file_->Finish();
  if (!status.ok()) return OutputWriteFailure(grp_path_, status);
  status = faults_.At("sync-err");
  if (status.ok()) status = err_file_->Finish();
  if (!status.ok()) return OutputWriteFailure(err_path_, status);
  return Status();
}

int BatchJob::CommitResults() {
  const RunCounters& counters = engine_->counters();
  CommitPlan plan;
  plan.config_path = config_target_;
  plan.outputs_lock = output_lock_path_;
  plan.counters = {{"NbLus", std::to_string(counters.NbLus)},
                   {"NbErrBloq", std::to_string(counters.NbErrBloq)},
                   {"NbErrNonBloq", std::to_string(counters.NbErrNonBloq)},
                   {"NbErrForm", std::to_string(counters.NbErrForm)}};
  plan.outputs = {grp_file_.get(), err_file_.get()};
  interruption_->BeginCommit();
  CommitEnd end;
  const Status status = grulo::CommitResults(plan, faults_, &end);
  const int held = interruption_->EndCommit();
  if (end == CommitEnd::kPending) {
    console_.Error(status.message());
    return kExitResultsPending;
  }
  if (!status.ok()) return Fail(status);
  outputs_begun_ = false;
  if (held != 0) {
    console_.Error("interrupted once the results were in place: the new outputs and counters "
                   "are kept");
    return RunInterruption::ExitStatusFor(held);
  }
  return ReportCompleteRun();
}

int BatchJob::ReportCompleteRun() {
  if (engine_->counters().NbLus == 0) {
    console_.Warning("the input file " + Quoted(config_.fic_ent) + " (" +
                     config_.Origin("FicEnt", config_.fic_ent) +
                     ") is empty: the outputs are empty and the counters 0");
  }
  if (engine_->session() != nullptr) {
    for (const std::string& warning :
         TableWarnings(config_.rep_tab, config_.Origin("RepTab", config_.rep_tab),
                       *engine_->session())) {
      console_.Warning(warning);
    }
  }
  const RunCounters& counters = engine_->counters();
  double seconds = static_cast<double>(MonotonicNanos() - start_) / 1e9;
  console_.Summary(RunSummaryText(counters));
  console_.Summary(
      RunWrittenText(counters.NbLus, ShownPath(grp_path_), FileName(err_path_), seconds));
  const int64_t table_problems = counters.NbErrTab + counters.NbErrArbre;
  if (!options_.strict || table_problems == 0) return kExitComplete;
  console_.Error("--strict: " + std::to_string(table_problems) +
                 (table_problems == 1 ? " summary" : " summaries") +
                 " met table problems or failed walks; the outputs and counters are written; "
                 "exit status " + std::to_string(kExitStrictTableProblems));
  return kExitStrictTableProblems;
}

}  // namespace

GrouperFactory BatchGrouping(ClockFactory clocks) {
  return [clocks](const std::string& rep_tab) -> std::unique_ptr<SummaryGrouper> {
    return std::make_unique<RunGrouper>(TableSource::InDirectory(rep_tab), clocks);
  };
}

int RunBatch(const ConfigChoice& choice, const RunOptions& options,
             const GrouperFactory& grouping, RunConsole& console) {
  BatchJob job(options, grouping, console);
  return job.Run(choice);
}

}  // namespace grulo
