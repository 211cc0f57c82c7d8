// The line loop of the batch run: the format recognition of each line, the
// .err entries and .grp lines, and the counters. (driver/run_batch.h runs the
// whole batch around it.)

#ifndef GRULO_BATCH_BATCH_DRIVER_H_
#define GRULO_BATCH_BATCH_DRIVER_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "checks/error_list.h"
#include "batch/group_summary.h"
#include "io/line_reader.h"
#include "io/output_file.h"
#include "batch/table_report.h"
#include "grouper/line_format.h"
#include "grouper/result_lines.h"
#include "tables/open_tables.h"

namespace grulo {

// The state of the line loop: the outputs, the grouping operation and the
// counters.
class BatchRun {
 public:
  // Writes into `err` and `grp`, which must outlive the run; every
  // well-formed line goes to `grouper` with `rep_tab`.
  BatchRun(SummaryGrouper& grouper, std::string rep_tab, OutputFile* err, OutputFile* grp)
      : grouper_(grouper), rep_tab_(std::move(rep_tab)), err_(err), grp_(grp) {}

  // Counts one line of the input, recognizes its format and writes its .err
  // entry and .grp line.
  void HandleLine(const InputLine& line);

  int64_t NbLus = 0;
  int64_t NbErrBloq = 0;
  int64_t NbErrNonBloq = 0;
  int64_t NbErrForm = 0;
  int64_t grp_lines = 0;          // lines written to the .grp file
  TableOutcomes table_outcomes;  // the summaries that met a table problem

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

}  // namespace grulo

#endif  // GRULO_BATCH_BATCH_DRIVER_H_
