// One step of the batch's line loop: a line's format recognition, its
// grouping into one outcome, its .err entry and .grp line, and the counters.
// (batch/batch_engine.h runs the loop over a whole input.)

#ifndef GRULO_BATCH_BATCH_DRIVER_H_
#define GRULO_BATCH_BATCH_DRIVER_H_

#include <cstdint>

#include "grouper/line_outcome.h"
#include "grouper/result_lines.h"
#include "grouper/summary_grouper.h"
#include "io/line_reader.h"
#include "io/output_file.h"

namespace grulo {

class BatchRun {
 public:
  // Writes into `err` and `grp`, which must outlive the run; every
  // well-formed line goes to `grouper`. `observer`, when given, is told
  // every line. The lines are numbered on from `lines_before`.
  BatchRun(SummaryGrouper& grouper, OutputFile* err, OutputFile* grp,
           LineObserver* observer = nullptr, int64_t lines_before = 0)
      : grouper_(grouper), err_(err), grp_(grp), observer_(observer),
        lines_before_(lines_before) {}

  // Counts one line of the input, recognizes its format, groups it and
  // writes its .err entry and .grp line.
  void HandleLine(const InputLine& line);

  // What the lines handled so far count (NbLus: how many they are).
  RunCounters counters;

 private:
  SummaryGrouper& grouper_;
  OutputFile* const err_;
  OutputFile* const grp_;
  LineObserver* const observer_;
  const int64_t lines_before_;
  LineOutcome outcome_;  // of the line in hand
  ResultLineStorage storage_;
};

}  // namespace grulo

#endif  // GRULO_BATCH_BATCH_DRIVER_H_
