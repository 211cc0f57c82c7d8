// The columns of grulo.read_frame, gathered from the outcome of every line
// of a run without the GIL: plain arrays, turned into Python objects once
// the run is over.

#ifndef GRULO_PYTHON_FRAME_COLUMNS_H_
#define GRULO_PYTHON_FRAME_COLUMNS_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "grouper/line_outcome.h"

namespace grulo::python {

class FrameColumns final : public LineObserver {
 public:
  void OnLine(int64_t line_number, std::string_view text, uint64_t length,
              const LineOutcome& outcome) override;

  std::vector<int64_t> line_number;
  std::vector<int8_t> format;  // a grulo::LineFormat
  std::vector<int16_t> category, number, return_code;
  // Each summary's version as an index into `versions`, the distinct
  // versions' bytes in order of appearance; -1 for a line that is not a
  // summary, which has none.
  std::vector<int16_t> version;
  std::vector<std::string> versions;
  // The blocking and the non-blocking numbers of line i, in check order:
  // those of `blocking` from blocking_end[i - 1] (0 for the first) to
  // blocking_end[i], and the same for the non-blocking ones.
  std::vector<int16_t> blocking, non_blocking;
  std::vector<int64_t> blocking_end, non_blocking_end;

 private:
  int16_t VersionIndex(std::string_view bytes);
};

}  // namespace grulo::python

#endif  // GRULO_PYTHON_FRAME_COLUMNS_H_
