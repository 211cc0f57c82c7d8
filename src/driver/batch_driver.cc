#include "driver/batch_driver.h"

#include <algorithm>
#include <charconv>
#include <memory>
#include <utility>
#include <vector>

#include "text/number_text.h"
#include "driver/ini_file.h"
#include "driver/line_reader.h"
#include "driver/output_file.h"
#include "driver/paths.h"
#include "record/group_result.h"
#include "record/summary_layout.h"
#include "tables/open_tables.h"

namespace grulo {
namespace {

static_assert(LineReader::kKeptLength >= kSummaryBaseLength,
              "format recognition reads up to the act count of a long line");

// The run's state: the open files, the grouping operation and the counters.
class BatchRun {
 public:
  BatchRun(SummaryGrouper& grouper, std::string rep_tab, OutputFile* err, OutputFile* grp)
      : grouper_(grouper), rep_tab_(std::move(rep_tab)), err_(err), grp_(grp) {}

  void HandleLine(const InputLine& line);

  int64_t NbLus = 0;
  int64_t NbErrBloq = 0;
  int64_t NbErrNonBloq = 0;
  int64_t NbErrForm = 0;

 private:
  void WriteRecordHeader();
  void WriteIdentification(std::string_view text);
  void WriteFormatProblem(LineFormat format, const InputLine& line);
  void GroupLine(std::string_view text);
  void WriteGrpLine(const GroupResult& result, const VersionText& version, std::string_view text);

  SummaryGrouper& grouper_;
  const std::string rep_tab_;
  OutputFile* err_;
  OutputFile* grp_;
  ErrorList errors_;
  ErrorListTexts lists_;
  ResultLineBuffer line_buffer_;
};

void BatchRun::HandleLine(const InputLine& line) {
  ++NbLus;
  LineFormat format = RecognizeFormat(line.text, line.length);
  if (format == LineFormat::kWellFormed) {
    GroupLine(line.text);
    return;
  }
  ++NbErrForm;
  WriteRecordHeader();
  if (line.length >= kIdentificationLength) WriteIdentification(line.text);
  WriteFormatProblem(format, line);
}

void BatchRun::WriteRecordHeader() { err_->Write(RecordHeaderLine(NbLus, &line_buffer_)); }

void BatchRun::WriteIdentification(std::string_view text) {
  err_->Write(IdentificationLine(text, &line_buffer_));
}

void BatchRun::WriteFormatProblem(LineFormat format, const InputLine& line) {
  err_->Write(FormatProblemLine(format, line.text, line.length, &line_buffer_));
}

void BatchRun::GroupLine(std::string_view text) {
  GroupResult result;
  VersionText version{};
  // The pipeline clears the list itself; clearing here too keeps a pipeline
  // that stops early from reporting the previous summary's errors.
  ClearErrors(&errors_);
  grouper_.GroupSummary(text, rep_tab_, &result.GroupCategory, &result.GroupNumber,
                        &result.GroupReturn, &errors_, err_, &version);
  lists_.Sort(errors_);
  bool blocking = !lists_.blocking().empty();
  bool non_blocking = !lists_.non_blocking().empty();
  if (blocking) {
    ++NbErrBloq;
  } else if (non_blocking) {
    ++NbErrNonBloq;
  }
  if (blocking || non_blocking) {
    WriteRecordHeader();
    WriteIdentification(text);
    err_->Write(kBlockingListLead);
    err_->Write(lists_.blocking());
    err_->Write("\n");
    err_->Write(kNonBlockingListLead);
    err_->Write(lists_.non_blocking());
    err_->Write("\n");
  }
  if (!blocking) WriteGrpLine(result, version, text);
}

void BatchRun::WriteGrpLine(const GroupResult& result, const VersionText& version,
                            std::string_view text) {
  grp_->Write(GrpLinePrefix(version, result, &line_buffer_));
  grp_->Write(text);
  grp_->Write("\n");
}

// Creates an output file, refusing to truncate the input file itself.
std::unique_ptr<OutputFile> CreateOutput(const std::string& path, const FileSource& input) {
  if (input.SameFileAs(path)) return nullptr;
  return OutputFile::Create(path);
}

}  // namespace

int RunBatch(const std::string& config_path, SummaryGrouper& grouper) {
  IniFile config;
  config.Load(config_path);  // a missing or unreadable file reads as empty
  std::string rep_tab = config.GetValue(kGeneralSection, "RepTab", "");
  std::string fic_ent = config.GetValue(kGeneralSection, "FicEnt", "");
  std::string rep_sor = config.GetValue(kGeneralSection, "RepSor", "");
  std::string stem = OutputStem(rep_sor, InputBaseName(fic_ent));

  std::unique_ptr<FileSource> input = FileSource::Open(fic_ent);
  if (input == nullptr) return 1;
  LineReader reader(input.get());
  if (!reader.Start()) return 1;

  std::unique_ptr<OutputFile> err = CreateOutput(stem + ".err", *input);
  if (err == nullptr) return 1;
  std::unique_ptr<OutputFile> grp = CreateOutput(stem + ".grp", *input);
  if (grp == nullptr) {
    err->Printf("Pb d'ouverture fichier en sortie : %s.grp\n", stem.c_str());
    err->Close();
    return 1;
  }

  BatchRun run(grouper, std::move(rep_tab), err.get(), grp.get());
  InputLine line;
  LineReader::Status status;
  while ((status = reader.Next(&line)) == LineReader::kLine) {
    run.HandleLine(line);
    if (!err->ok() || !grp->ok()) break;  // a write failed: the run cannot complete
  }
  bool complete = status == LineReader::kEnd;
  complete = grp->Close() && complete;
  complete = err->Close() && complete;
  if (!complete) return 1;

  const std::vector<std::pair<std::string, std::string>> counters = {
      {"NbLus", std::to_string(run.NbLus)},
      {"NbErrBloq", std::to_string(run.NbErrBloq)},
      {"NbErrNonBloq", std::to_string(run.NbErrNonBloq)},
      {"NbErrForm", std::to_string(run.NbErrForm)}};
  return WriteIniValues(config_path, kResultsSection, counters) ? 0 : 1;
}

}  // namespace grulo
