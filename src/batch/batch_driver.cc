#include "batch/batch_driver.h"

#include "grouper/line_format.h"
#include "record/summary_layout.h"

namespace grulo {
namespace {

static_assert(LineReader::kKeptLength >= kSummaryBaseLength,
              "format recognition reads up to the act count of a long line");

}  // namespace

void BatchRun::HandleLine(const InputLine& line) {
  outcome_.Start(RecognizeFormat(line.text, line.length));
  if (outcome_.format == LineFormat::kWellFormed) grouper_.Group(line.text, &outcome_);
  counters.Count(outcome_);
  const int64_t line_number = lines_before_ + counters.NbLus;
  WriteErrEntry(line_number, line.text, line.length, outcome_, &storage_, err_);
  WriteGrpLine(line.text, outcome_, &storage_.buffer, grp_);
  if (observer_ != nullptr) observer_->OnLine(line_number, line.text, line.length, outcome_);
}

}  // namespace grulo
