#include "run/results_commit.h"

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <thread>

#include "config/ini_file.h"
#include "config/run_config.h"
#include "platform/file_lock.h"
#include "platform/file_read.h"
#include "platform/files.h"
#include "platform/process.h"
#include "run/run_batch.h"
#include "text/cp1252_names.h"
#include "text/cp1252_text.h"

namespace grulo {
namespace {

constexpr char kRecordFirstLine[] = "grulo commit record";
constexpr char kRecordLastLine[] = "end";
constexpr int64_t kMaxRecordBytes = int64_t{1} << 20;

// A rename that fails is tried this many times, this long apart (a virus
// scanner or an indexer holds a new file for a moment on Windows).
constexpr int kRenameTries = 3;
constexpr auto kRenamePause = std::chrono::milliseconds(50);

// How many times the counters are merged into a configuration that keeps
// changing under the run before the run gives up.
constexpr int kConfigLooks = 5;

// A value of the record on one line: bytes below 0x21, '%' and 0x7F as %XX.
std::string Escaped(std::string_view text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (u <= 0x20 || u == 0x7F || c == '%') {
      out += '%';
      out += kHex[u >> 4];
      out += kHex[u & 15];
    } else {
      out += c;
    }
  }
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool Unescaped(std::string_view text, std::string* out) {
  out->clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      *out += text[i];
      continue;
    }
    const int high = i + 1 < text.size() ? HexDigit(text[i + 1]) : -1;
    const int low = i + 2 < text.size() ? HexDigit(text[i + 2]) : -1;
    if (high < 0 || low < 0) return false;
    *out += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return true;
}

// FNV-1a: tells whether the configuration changed since the counters were
// merged into it.
uint64_t Fingerprint(std::string_view bytes) {
  uint64_t hash = 14695981039346656037ull;
  for (char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  return hash;
}

struct RecordedFile {
  std::string target;
  std::string temp;
  FileId temp_id;
};

// What a commit record says.
struct Record {
  std::string config;
  RecordedFile config_file;  // its target is `config`
  uint64_t config_base = 0;  // the fingerprint of the configuration merged into
  Counters counters;
  std::vector<RecordedFile> outputs;
  std::string outputs_lock;
  bool complete = false;  // its last line is there
};

std::string IdText(const FileId& id) {
  return std::to_string(id.device) + " " + std::to_string(id.inode);
}

std::string RecordText(const Record& r) {
  std::string text = std::string(kRecordFirstLine) + "\n";
  text += "config " + Escaped(r.config) + "\n";
  text += "config-temp " + Escaped(r.config_file.temp) + "\n";
  text += "config-temp-id " + IdText(r.config_file.temp_id) + "\n";
  text += "config-base " + std::to_string(r.config_base) + "\n";
  for (const auto& [key, value] : r.counters) {
    text += "counter " + Escaped(key) + " " + Escaped(value) + "\n";
  }
  for (const RecordedFile& f : r.outputs) {
    text += "output " + Escaped(f.target) + "\n";
    text += "output-temp " + Escaped(f.temp) + "\n";
    text += "output-temp-id " + IdText(f.temp_id) + "\n";
  }
  text += "outputs-lock " + Escaped(r.outputs_lock) + "\n";
  text += std::string(kRecordLastLine) + "\n";
  return text;
}

bool ParseNumber(std::string_view text, uint64_t* value) {
  if (text.empty() || text.size() > 20) return false;
  uint64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + static_cast<uint64_t>(c - '0');
  }
  *value = v;
  return true;
}

// Reads a record; false when it is not one (a record cut short is one,
// with `complete` false).
bool ParseRecord(std::string_view text, Record* r) {
  *r = Record();
  size_t pos = 0;
  bool first = true;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) break;  // a last line cut short
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    if (first) {
      if (line != kRecordFirstLine) return false;
      first = false;
      continue;
    }
    if (line == kRecordLastLine) {
      r->complete = pos == text.size();
      return r->complete;
    }
    const size_t space = line.find(' ');
    if (space == std::string_view::npos) return false;
    const std::string_view key = line.substr(0, space);
    const std::string_view rest = line.substr(space + 1);
    const size_t second = rest.find(' ');
    std::string value;
    if (key == "config") {
      if (!Unescaped(rest, &r->config)) return false;
      r->config_file.target = r->config;
    } else if (key == "config-temp") {
      if (!Unescaped(rest, &r->config_file.temp)) return false;
    } else if (key == "output") {
      r->outputs.emplace_back();
      if (!Unescaped(rest, &r->outputs.back().target)) return false;
    } else if (key == "output-temp") {
      if (r->outputs.empty() || !Unescaped(rest, &r->outputs.back().temp)) return false;
    } else if (key == "config-temp-id" || key == "output-temp-id") {
      FileId* id = key == "config-temp-id" ? &r->config_file.temp_id
                   : r->outputs.empty()    ? nullptr
                                           : &r->outputs.back().temp_id;
      if (id == nullptr || second == std::string_view::npos ||
          !ParseNumber(rest.substr(0, second), &id->device) ||
          !ParseNumber(rest.substr(second + 1), &id->inode)) {
        return false;
      }
    } else if (key == "config-base") {
      if (!ParseNumber(rest, &r->config_base)) return false;
    } else if (key == "counter") {
      std::string name;
      if (second == std::string_view::npos || !Unescaped(rest.substr(0, second), &name) ||
          !Unescaped(rest.substr(second + 1), &value)) {
        return false;
      }
      r->counters.emplace_back(name, value);
    } else if (key == "outputs-lock") {
      if (!Unescaped(rest, &r->outputs_lock)) return false;
    } else {
      return false;
    }
  }
  return !first;  // a record cut short: complete stays false
}

Status ReadConfigBytes(const std::string& path, std::string* bytes) {
  return ReadWholeFile(path, ReadRules{.regular_only = false}, bytes);
}

// Writes the record, then makes it and its name durable.
Status WriteRecord(const std::string& path, const std::string& text, const FaultHook& faults) {
  Status status = faults.At("write-record");
  if (status.ok()) status = RemoveFile(path);
  std::unique_ptr<WritableFile> file;
  if (status.ok()) status = WritableFile::CreateNew(path, "", &file);
  if (status.ok()) status = file->Append(text);
  if (status.ok()) status = faults.At("sync-record");
  if (status.ok()) status = file->Sync();
  if (file != nullptr) {
    Status closed = file->Close();
    if (status.ok()) status = closed;
  }
  if (status.ok()) status = SyncDirectory(DirectoryOf(path));
  return status;
}

// A rename, tried again when it fails.
template <typename Rename>
Status Retried(Rename rename) {
  Status status;
  for (int attempt = 0; attempt < kRenameTries; ++attempt) {
    if (attempt > 0) std::this_thread::sleep_for(kRenamePause);
    status = rename();
    if (status.ok()) break;
  }
  return status;
}

Status RenameWithRetry(const std::string& from, const std::string& to) {
  return Retried([&] { return RenameFile(from, to); });
}

// Whether the name `path` is a regular file of id `id` now.
bool IsFileWithId(const std::string& path, const FileId& id) {
  FileInfo info;
  return GetNameInfo(path, &info).ok() && info.type == FileInfo::kRegular && info.id == id;
}

// Whether two paths name the same file, however they are spelled.
bool SameFile(const std::string& a, const std::string& b) {
  if (a == b) return true;
  FileInfo x, y;
  return GetFileInfo(a, &x).ok() && GetFileInfo(b, &y).ok() && x.type != FileInfo::kMissing &&
         x.type == y.type && x.id == y.id;
}

// Syncs the directories of the files, each once.
void SyncDirectoriesOf(const std::vector<std::string>& files) {
  std::vector<std::string> done;
  for (const std::string& file : files) {
    const std::string dir = DirectoryOf(file);
    bool seen = false;
    for (const std::string& d : done) seen = seen || d == dir;
    if (seen) continue;
    done.push_back(dir);
    (void)SyncDirectory(dir);  // a failed sync loses nothing that a crash would not
  }
}

std::string FileName(std::string_view path) {
  for (size_t end = path.size(); end > 0; --end) {
    if (IsPathSeparator(path[end - 1])) return std::string(path.substr(end));
  }
  return std::string(path);
}

// "a, b and c".
std::string Listed(const std::vector<std::string>& names) {
  std::string text;
  for (size_t i = 0; i < names.size(); ++i) {
    if (i > 0) text += i + 1 == names.size() ? " and " : ", ";
    text += names[i];
  }
  return text;
}

}  // namespace

FaultHook FaultHook::FromEnvironment() {
  FaultHook hook;
  const char* value = std::getenv(kFaultVariable);
  if (value == nullptr) return hook;
  std::string_view text = value;
  if (text.ends_with(":fail")) {
    hook.fail_ = true;
    text.remove_suffix(5);
  }
  hook.step_ = std::string(text);
  return hook;
}

Status FaultHook::At(std::string_view step) const {
  if (step_.empty() || step != step_) return Status();
  if (!fail_) KillThisProcess();
  return Status::IoError("", "injected failure (" + std::string(kFaultVariable) + ")");
}

std::string WithCounters(const std::string& config_bytes, const Counters& counters) {
  IniFile ini(config_bytes);
  // A new section takes the file's own encoding.
  const std::string section =
      HoldsUtf8Text(ini.text()) ? Cp1252ToUtf8(kResultsSection) : std::string(kResultsSection);
  for (const auto& [key, value] : counters) ini.SetValue(section, key, value);
  return ini.FileBytes();
}

std::string CommitRecordPath(const std::string& config_path) {
  return TemporaryPathFor(config_path, kCommitRecordSuffix);
}

bool CommitPending(const std::string& config_path) {
  FileInfo info;
  return GetNameInfo(CommitRecordPath(config_path), &info).ok() &&
         info.type != FileInfo::kMissing;
}

Status CommitResults(const CommitPlan& plan, const FaultHook& faults, CommitEnd* end) {
  *end = CommitEnd::kUndone;
  const std::string counters_failure =
      "cannot write the counters into " + Quoted(ShownPath(plan.config_path));
  const std::string record_path = CommitRecordPath(plan.config_path);
  std::unique_ptr<FileReplacement> config;
  Status status;
  // Steps 1 to 3: the configuration staged, the record written, the
  // configuration looked at once more.
  for (int look = 0;; ++look) {
    if (look == kConfigLooks) {
      return Status::IoError(counters_failure, "it kept changing while they were merged into it");
    }
    std::string base;
    status = ReadConfigBytes(plan.config_path, &base);
    if (status.ok()) {
      status = FileReplacement::Begin(plan.config_path, kConfigTempSuffix, TempNaming::kFixed,
                                      &config);
    }
    if (status.ok()) status = config->file()->Append(WithCounters(base, plan.counters));
    if (status.ok()) status = faults.At("sync-config");
    if (status.ok()) status = config->Finish();
    if (!status.ok()) return Status::IoError(counters_failure, status.message());
    // Windows refuses to replace a file that another program holds open:
    // each file is checked before the first is replaced, so that such a run
    // replaces none.
    status = config->CheckCommit();
    if (!status.ok()) return Status::IoError(counters_failure, status.message());
    for (FileReplacement* output : plan.outputs) {
      status = output->CheckCommit();
      if (!status.ok()) {
        return Status::IoError("cannot write the output file " + Quoted(output->target()),
                               status.message());
      }
    }
    Record record;
    record.config = ShownPath(plan.config_path);
    record.config_file = {record.config, ShownPath(config->temp_path()), config->temp_id()};
    record.config_base = Fingerprint(base);
    record.counters = plan.counters;
    for (FileReplacement* output : plan.outputs) {
      record.outputs.push_back(
          {ShownPath(output->target()), ShownPath(output->temp_path()), output->temp_id()});
    }
    record.outputs_lock = ShownPath(plan.outputs_lock);
    status = WriteRecord(record_path, RecordText(record), faults);
    if (!status.ok()) {
      (void)RemoveFile(record_path);
      return Status::IoError("cannot write the commit record " + Quoted(ShownPath(record_path)),
                             status.message());
    }
    std::string now;
    if (ReadConfigBytes(plan.config_path, &now).ok() && now == base) break;
    (void)RemoveFile(record_path);  // an edit meanwhile: merged again into it
  }

  // Step 4: the renames, the configuration first. The files they replace
  // are held open until the record is gone, so that their blocks are freed
  // after the renames, not between them.
  std::vector<std::unique_ptr<ReadableFile>> replaced_files;
  for (FileReplacement* output : plan.outputs) {
    replaced_files.push_back(KeepWhileReplaced(output->target()));
  }
  struct Step {
    FileReplacement* file;
    const char* hook;
  };
  std::vector<Step> steps = {{config.get(), "rename-config"}};
  const char* const kOutputHooks[] = {"rename-grp", "rename-err"};
  for (size_t i = 0; i < plan.outputs.size(); ++i) {
    steps.push_back({plan.outputs[i], i < 2 ? kOutputHooks[i] : "rename-output"});
  }
  std::vector<std::string> replaced;
  for (const Step& step : steps) {
    status = faults.At(step.hook);
    if (status.ok()) status = Retried([&] { return step.file->Rename(); });
    if (status.ok()) {
      replaced.push_back(Quoted(FileName(step.file->target())));
      continue;
    }
    const std::string what = step.file == config.get()
                                 ? counters_failure
                                 : "cannot replace the output file " + Quoted(step.file->target());
    if (replaced.empty()) {
      (void)RemoveFile(record_path);
      return Status::IoError(what, status.message());
    }
    *end = CommitEnd::kPending;
    config->Keep();
    for (FileReplacement* output : plan.outputs) output->Keep();
    return Status::IoError(
        what, status.message() + " (tried " + std::to_string(kRenameTries) + " times); " +
                  Listed(replaced) + (replaced.size() == 1 ? " was" : " were") +
                  " replaced: the next run of grulo puts the rest in place before anything "
                  "else (commit record " + Quoted(ShownPath(record_path)) + ")");
  }

  // Step 5: the renames made durable, the record removed.
  std::vector<std::string> targets = {plan.config_path};
  for (FileReplacement* output : plan.outputs) targets.push_back(output->target());
  if (faults.At("sync-dirs").ok()) SyncDirectoriesOf(targets);
  if (faults.At("remove-record").ok()) (void)RemoveFile(record_path);
  *end = CommitEnd::kDone;
  return Status();
}

Status RecoverResults(const std::string& config_path, const std::string& outputs_lock,
                      std::string* note) {
  note->clear();
  const std::string record_path = CommitRecordPath(config_path);
  FileInfo info;
  Status status = GetNameInfo(record_path, &info);
  if (status.ok() && info.type == FileInfo::kMissing) return Status();
  const std::string cannot = "cannot finish the commit of an earlier run that was stopped "
                             "midway (commit record " + Quoted(ShownPath(record_path)) + ")";
  if (status.ok() && info.type != FileInfo::kRegular) {
    status = Status::InvalidArgument("", "the record is not a regular file; remove it");
  }
  std::string text;
  if (status.ok()) {
    status = ReadWholeFile(record_path, ReadRules{.regular_only = true,
                                                  .max_size = kMaxRecordBytes}, &text);
  }
  if (!status.ok()) return Status::IoError(cannot, status.message());
  Record record;
  const bool parsed = ParseRecord(text, &record);
  if (!record.complete) {
    // Cut short while it was written: no rename had begun.
    if (!parsed && !text.starts_with(kRecordFirstLine)) {
      return Status::Corruption(cannot, "the record is not one of grulo's; remove it");
    }
    (void)RemoveFile(record_path);
    *note = "an earlier run was stopped while it wrote its commit record " +
            Quoted(ShownPath(record_path)) +
            ": none of its results had been put in place; the record is removed";
    return Status();
  }
  if (!SameFile(record.config, ShownPath(config_path))) {
    return Status::InvalidArgument(cannot, "the record names the configuration file " +
                                               Quoted(record.config) +
                                               " (moved or copied since?); remove it");
  }
  // The outputs of the record may be others than this run's: their lock too
  // (never the same file twice: letting go of one would let go of both).
  std::unique_ptr<FileLock> other_lock;
  if (!SameFile(record.outputs_lock, ShownPath(outputs_lock))) {
    int64_t holder = 0;
    status = LockFile(record.outputs_lock, &other_lock, &holder);
    if (!status.ok()) {
      return Status::IoError(cannot, "its outputs' lock " + Quoted(record.outputs_lock) + ": " +
                                         status.message());
    }
  }

  // The configuration: its staged file renamed when the configuration is as
  // it was staged from, else the counters merged again into it.
  std::string current;
  status = ReadConfigBytes(config_path, &current);
  if (!status.ok()) return Status::IoError(cannot, Quoted(config_path) + ": " + status.message());
  const RecordedFile& staged = record.config_file;
  const bool temp_there = IsFileWithId(staged.temp, staged.temp_id);
  if (temp_there && Fingerprint(current) == record.config_base) {
    status = RenameWithRetry(staged.temp, config_path);
  } else {
    if (temp_there) (void)RemoveFile(staged.temp);
    const std::string merged = WithCounters(current, record.counters);
    if (merged != current) {
      status = ReplaceFileAtomically(config_path, merged, kConfigTempSuffix, TempNaming::kFixed);
    }
  }
  if (!status.ok()) return Status::IoError(cannot, Quoted(config_path) + ": " + status.message());

  std::vector<std::string> lost;
  std::vector<std::string> targets = {config_path};
  for (const RecordedFile& output : record.outputs) {
    targets.push_back(output.target);
    if (IsFileWithId(output.temp, output.temp_id)) {
      status = RenameWithRetry(output.temp, output.target);
      if (!status.ok()) return Status::IoError(cannot, Quoted(output.target) + ": " + status.message());
    } else if (!IsFileWithId(output.target, output.temp_id)) {
      lost.push_back(Quoted(output.target));  // replaced or removed since
    }
  }
  SyncDirectoriesOf(targets);
  (void)RemoveFile(record_path);
  *note = "an earlier run was stopped while it replaced its results; this run first finished "
          "that (commit record " + Quoted(ShownPath(record_path)) + ")";
  if (!lost.empty()) {
    *note += ", except " + Listed(lost) + ", whose new version was gone: " +
             (lost.size() == 1 ? "it holds" : "they hold") + " what was put there since";
  }
  return Status();
}

}  // namespace grulo
