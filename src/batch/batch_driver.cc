#include "batch/batch_driver.h"


#include "record/group_result.h"
#include "record/summary_layout.h"
#include "text/number_text.h"

namespace grulo {
namespace {

static_assert(LineReader::kKeptLength >= kSummaryBaseLength,
              "format recognition reads up to the act count of a long line");

}  // namespace

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
  const int16_t table_status =
      grouper_.GroupSummary(text, rep_tab_, &result.GroupCategory, &result.GroupNumber,
                            &result.GroupReturn, &errors_, err_, &version);
  lists_.Sort(errors_);
  bool blocking = !lists_.blocking().empty();
  bool non_blocking = !lists_.non_blocking().empty();
  if (table_status != kTableOpened) table_outcomes.Count(table_status, version);
  if (blocking) {
    ++NbErrBloq;
  } else if (non_blocking) {
    ++NbErrNonBloq;
  }
  if (blocking || non_blocking) {
    WriteRecordHeader();
    WriteIdentification(text);
    err_->WriteText(kBlockingListLead);
    err_->Write(lists_.blocking());
    err_->EndLine();
    err_->WriteText(kNonBlockingListLead);
    err_->Write(lists_.non_blocking());
    err_->EndLine();
  }
  if (!blocking) WriteGrpLine(result, version, text);
}

void BatchRun::WriteGrpLine(const GroupResult& result, const VersionText& version,
                            std::string_view text) {
  // Digits and letters after the tables' version, which may hold anything.
  const std::string_view prefix = GrpLinePrefix(version, result, &line_buffer_);
  if (version[0] != '\n' && version[1] != '\n') {
    grp_->WriteText(prefix);
  } else {
    grp_->Write(prefix);
  }
  grp_->WriteText(text);  // a line of the input: no line feed
  grp_->EndLine();
  ++grp_lines;
}

}  // namespace grulo
