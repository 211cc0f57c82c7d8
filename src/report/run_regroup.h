// The report of a finished run, made from results: the run's input grouped
// again by the batch engine with the run's tables and date, every outcome
// told to a RunReport (report/run_report.h), and the .grp and .err bytes of that grouping compared
// with the files on disk as they come (nothing is kept, so memory stays
// bounded). A page is made only when both are the same, byte for byte: then
// the outcomes are those of the run.

#ifndef GRULO_REPORT_RUN_REGROUP_H_
#define GRULO_REPORT_RUN_REGROUP_H_

#include <string>

#include "base/status.h"
#include "calendar/clock.h"
#include "grouper/line_outcome.h"

namespace grulo {

struct RegroupRequest {
  std::string input_path;
  std::string grp_path;
  std::string err_path;
  std::string table_dir;  // RepTab: the tables' file names are put behind it
  CivilDate today{};      // the current date of the checks
  int threads = 1;
};

// Groups the input again, telling `observer` (a RunReport, or more) every
// outcome. Ok when the regrouped .grp and .err
// bytes are those of the files; kCorruption when they differ, with a message
// that names the file and its first differing line ("the .grp file
// 'out/week.grp' differs from the regrouping of the input from line 12 on:
// ..."); kNotFound or kIoError, naming the file, when a file cannot be read.
// What `observer` was told is the run's only when the status is ok.
Status RegroupRun(const RegroupRequest& request, LineObserver* observer);

}  // namespace grulo

#endif  // GRULO_REPORT_RUN_REGROUP_H_
