#include "report/run_regroup.h"

#include <algorithm>
#include <memory>

#include "batch/batch_engine.h"
#include "io/line_reader.h"
#include "io/output_file.h"
#include "text/cp1252_text.h"

namespace grulo {
namespace {

// One output of the regrouping compared with the file on disk, block by
// block as the engine writes it.
class FileComparison {
 public:
  FileComparison(std::string what, std::string path)
      : what_(std::move(what)), path_(std::move(path)), buffer_(new char[kBlock]) {}

  Status Open() {
    const Status opened = FileSource::Open(path_, &source_);
    if (!opened.ok()) {
      return Status(opened.code(), "cannot read the " + what_ + " " + Quoted(path_),
                    opened.message());
    }
    return Status();
  }

  // The next bytes of the regrouping against the file's: not ok, for good,
  // at the first difference.
  Status Compare(std::string_view bytes) {
    while (status_.ok() && !bytes.empty()) {
      if (pos_ == end_ && !Fill()) {
        if (status_.ok()) status_ = Difference("the file ends there, the regrouping goes on");
        break;
      }
      const size_t n = std::min(bytes.size(), end_ - pos_);
      const char* mine = buffer_.get() + pos_;
      const auto [at, theirs] = std::mismatch(bytes.data(), bytes.data() + n, mine);
      lines_ += std::count(bytes.data(), at, '\n');
      if (at != bytes.data() + n) {
        status_ = Difference("its bytes are not those of the regrouping");
        break;
      }
      pos_ += n;
      bytes.remove_prefix(n);
    }
    return status_;
  }

  // After the regrouping's last byte: the file must end too.
  Status Finish() {
    if (status_.ok() && (pos_ < end_ || Fill())) {
      status_ = Difference("the file has more lines than the regrouping gives");
    }
    return status_;
  }

  const Status& status() const { return status_; }

 private:
  static constexpr size_t kBlock = size_t{1} << 16;

  // More bytes of the file; false at its end or on a read error (status_).
  bool Fill() {
    const int64_t n = source_->Read(buffer_.get(), kBlock);
    if (n < 0) {
      status_ = Status::IoError("cannot read the " + what_ + " " + Quoted(path_),
                                source_->read_status().message());
      return false;
    }
    pos_ = 0;
    end_ = static_cast<size_t>(n);
    return n > 0;
  }

  Status Difference(std::string_view how) const {
    return Status::Corruption("", "the " + what_ + " " + Quoted(path_) +
                                      " is not what the run's input, tables and date give: from "
                                      "its line " +
                                      std::to_string(lines_ + 1) + " on, " + std::string(how));
  }

  const std::string what_;
  const std::string path_;
  std::unique_ptr<FileSource> source_;
  std::unique_ptr<char[]> buffer_;
  size_t pos_ = 0;
  size_t end_ = 0;
  int64_t lines_ = 0;  // line feeds matched so far
  Status status_;
};

}  // namespace

Status RegroupRun(const RegroupRequest& request, LineObserver* observer) {
  FileComparison grp(".grp file", request.grp_path);
  FileComparison err(".err file", request.err_path);
  for (FileComparison* file : {&grp, &err}) {
    const Status opened = file->Open();
    if (!opened.ok()) return opened;
  }
  std::unique_ptr<FileSource> input;
  const Status opened = FileSource::Open(request.input_path, &input);
  if (!opened.ok()) {
    return Status(opened.code(), "cannot read the input " + Quoted(request.input_path),
                  opened.message());
  }
  std::unique_ptr<OutputFile> grp_out =
      OutputFile::ToFunction([&grp](std::string_view bytes) { return grp.Compare(bytes); });
  std::unique_ptr<OutputFile> err_out =
      OutputFile::ToFunction([&err](std::string_view bytes) { return err.Compare(bytes); });
  BatchEngine engine(TableSource::InDirectory(request.table_dir), FixedClocks(request.today));
  BatchOptions options;
  options.threads = std::max(1, request.threads);
  options.observer = observer;
  const Status ran = engine.Run(input.get(), err_out.get(), grp_out.get(), options);
  // A difference stops the engine: it is the answer, before anything else.
  for (const FileComparison* file : {&grp, &err}) {
    if (file->status().code() == Status::kCorruption) return file->status();
  }
  if (!input->read_status().ok()) {
    return Status::IoError("cannot read the input " + Quoted(request.input_path),
                           input->read_status().message());
  }
  for (FileComparison* file : {&grp, &err}) {
    if (!file->status().ok()) return file->status();
  }
  if (!ran.ok()) return ran;
  for (FileComparison* file : {&grp, &err}) {
    const Status finished = file->Finish();
    if (!finished.ok()) return finished;
  }
  return Status();
}

}  // namespace grulo
