// Whole files through the library: the batch engine, with the batch's table
// rules, from a file or bytes into two files, two functions or memory.

#include <memory>
#include <optional>
#include <utility>

#include "batch/batch_engine.h"
#include "batch/table_report.h"
#include "calendar/clock.h"
#include "grouper/table_set.h"
#include "grouper/table_source.h"
#include "grulo/grouper.h"
#include "io/line_reader.h"
#include "io/output_file.h"
#include "platform/file_replacement.h"
#include "platform/files.h"
#include "text/cp1252_text.h"

namespace grulo {

namespace {

// The temporary files beside the output files while a run writes them.
constexpr char kTempSuffix[] = ".grulo-tmp";

enum class OutputKind { kMemory, kFiles, kFunctions };

}  // namespace

struct FileRun::Rep {
  TablePaths tables;  // all three missing until set
  std::optional<CivilDate> today;
  bool local_clock = false;
  OutputKind outputs = OutputKind::kMemory;
  std::string grp_path, err_path;
  Writer grp_writer, err_writer;

  // Of the last run.
  std::string error;
  Failure failure = Failure::kNone;
  FileCounters counters;
  std::vector<std::string> warnings;
  std::string grp_bytes, err_bytes;

  // Forgets the last run.
  void Begin() {
    error.clear();
    failure = Failure::kNone;
    counters = FileCounters();
    warnings.clear();
    grp_bytes.clear();
    err_bytes.clear();
  }
  bool Fail(Failure why, std::string message) {
    failure = why;
    error = std::move(message);
    return false;
  }
  bool HasDate() const { return today.has_value() || local_clock; }
  bool FailWithoutDate() {
    return Fail(Failure::kNoDate, "no date for the checks: set one or ask for the local clock");
  }
  // `input_file`: what the input file is, when it is one (an output must
  // not replace it).
  bool Group(ByteSource* input, const std::string& input_name, const FileInfo* input_file);
};

FileRun::FileRun() : rep_(std::make_unique<Rep>()) {}
FileRun::~FileRun() = default;
FileRun::FileRun(FileRun&&) noexcept = default;
FileRun& FileRun::operator=(FileRun&&) noexcept = default;

void FileRun::SetTables(const std::string& directory) {
  rep_->tables = TablePathsIn(directory);
}

void FileRun::SetTableFiles(const std::string& tree, const std::string& acts,
                            const std::string& diags) {
  rep_->tables = TablePaths{tree, acts, diags};
}

bool FileRun::SetToday(Date today) {
  if (!IsCalendarDate(today)) return false;
  rep_->today = CivilDate{today.year, today.month, today.day};
  rep_->local_clock = false;
  return true;
}

void FileRun::UseLocalClock() {
  rep_->today.reset();
  rep_->local_clock = true;
}

void FileRun::SetOutputFiles(const std::string& grp, const std::string& err) {
  rep_->outputs = OutputKind::kFiles;
  rep_->grp_path = grp;
  rep_->err_path = err;
}

void FileRun::SetOutputFunctions(Writer grp, Writer err) {
  rep_->outputs = OutputKind::kFunctions;
  rep_->grp_writer = std::move(grp);
  rep_->err_writer = std::move(err);
}

bool FileRun::Run(const std::string& input) {
  rep_->Begin();
  if (!rep_->HasDate()) return rep_->FailWithoutDate();
  std::unique_ptr<FileSource> source;
  const Status status = FileSource::Open(input, &source);
  const std::string name = "the input file " + Quoted(input);
  if (!status.ok()) {
    return rep_->Fail(Failure::kInput, "cannot open " + name + ": " + status.message());
  }
  FileInfo info;
  const bool known = source->Info(&info).ok() && info.type == FileInfo::kRegular;
  return rep_->Group(source.get(), name, known ? &info : nullptr);
}

bool FileRun::RunBytes(std::string_view input) {
  MemorySource source(input);
  return rep_->Group(&source, "the input bytes", nullptr);
}

namespace {

// Why an output may not go to `path`: it is the input file, or the other
// output's; ok otherwise.
Status RefuseOutput(const std::string& path, const std::string& other_output,
                    const FileInfo* input_file) {
  FileInfo info, other;
  const bool exists = GetFileInfo(path, &info).ok() && info.type != FileInfo::kMissing;
  if (exists && input_file != nullptr && info.id == input_file->id) {
    return Status::InvalidArgument("", "it is the input file");
  }
  if (path == other_output || (exists && GetFileInfo(other_output, &other).ok() &&
                               other.type != FileInfo::kMissing && other.id == info.id)) {
    return Status::InvalidArgument("", "it is the other output's file as well");
  }
  return Status();
}

}  // namespace

bool FileRun::Rep::Group(ByteSource* input, const std::string& input_name,
                         const FileInfo* input_file) {
  Begin();
  if (!HasDate()) return FailWithoutDate();

  // The outputs.
  std::unique_ptr<FileReplacement> grp_file, err_file;
  std::unique_ptr<OutputFile> grp, err;
  auto to_function = [](const Writer& writer, const char* which) {
    if (!writer) return OutputFile::ToFunction([](std::string_view) { return Status(); });
    return OutputFile::ToFunction([&writer, which](std::string_view bytes) {
      return writer(bytes) ? Status()
                           : Status::IoError(std::string("the ") + which + " output function",
                                             "it asked to stop");
    });
  };
  switch (outputs) {
    case OutputKind::kMemory:
      grp = OutputFile::InMemory();
      err = OutputFile::InMemory();
      break;
    case OutputKind::kFunctions:
      grp = to_function(grp_writer, ".grp");
      err = to_function(err_writer, ".err");
      break;
    case OutputKind::kFiles:
      for (auto [path, file] : {std::pair{&grp_path, &grp_file}, std::pair{&err_path, &err_file}}) {
        Status status = RefuseOutput(*path, path == &grp_path ? err_path : grp_path, input_file);
        if (status.ok()) {
          status = FileReplacement::Begin(*path, kTempSuffix, TempNaming::kUnique, file);
        }
        if (!status.ok()) {
          return Fail(Failure::kOutput,
                      "cannot create the output file " + Quoted(*path) + ": " + status.message());
        }
      }
      grp = OutputFile::Into(grp_file->file());
      err = OutputFile::Into(err_file->file());
      break;
  }

  ClockFactory clocks = today.has_value()
                            ? FixedClocks(*today)
                            : ClockFactory([] { return std::make_unique<SystemClock>(); });
  BatchEngine engine(TableSource::AtPaths(tables.tree, tables.acts, tables.diags),
                     std::move(clocks));
  Status status = engine.Run(input, err.get(), grp.get(), BatchOptions());
  const RunCounters& n = engine.counters();
  counters = FileCounters{n.NbLus, n.NbErrBloq, n.NbErrNonBloq, n.NbErrForm};
  if (!status.ok()) {
    const bool output_failed = !grp->status().ok() || !err->status().ok();
    return Fail(output_failed ? Failure::kOutput : Failure::kInput,
                output_failed ? "cannot write the output: " + status.message()
                              : "cannot read " + input_name + ": " + status.message());
  }
  if (engine.session() != nullptr) {
    // A directory ending with '/' asks for no hint about RepTab.
    warnings = TableWarnings("/", "the tables set", *engine.session());
  }
  if (outputs == OutputKind::kMemory) {
    grp_bytes = std::string(grp->contents());
    err_bytes = std::string(err->contents());
    return true;
  }
  if (outputs == OutputKind::kFiles) {
    for (auto [path, file] : {std::pair{&err_path, err_file.get()},
                              std::pair{&grp_path, grp_file.get()}}) {
      status = file->Finish();
      if (status.ok()) status = file->CheckCommit();
      if (!status.ok()) {
        return Fail(Failure::kOutput,
                    "cannot write the output file " + Quoted(*path) + ": " + status.message());
      }
    }
    for (auto [path, file] : {std::pair{&err_path, err_file.get()},
                              std::pair{&grp_path, grp_file.get()}}) {
      status = file->Commit();
      if (!status.ok()) {
        return Fail(Failure::kOutput,
                    "cannot replace the output file " + Quoted(*path) + ": " + status.message());
      }
    }
  }
  return true;
}

const std::string& FileRun::error() const { return rep_->error; }
FileRun::Failure FileRun::failure() const { return rep_->failure; }
FileCounters FileRun::counters() const { return rep_->counters; }
std::vector<std::string> FileRun::warnings() const { return rep_->warnings; }
const std::string& FileRun::grp_bytes() const { return rep_->grp_bytes; }
const std::string& FileRun::err_bytes() const { return rep_->err_bytes; }

}  // namespace grulo
