// The outcome of one line as Python's grulo.Result holds it: the numbers, the
// version's bytes, the errors in check order, and the line's .grp line and
// .err entry as the batch writes them (Windows-1252, CR LF). Immutable once
// made; compared, hashed and pickled field by field.

#ifndef GRULO_PYTHON_LINE_RESULT_H_
#define GRULO_PYTHON_LINE_RESULT_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "grouper/line_outcome.h"
#include "grouper/result_lines.h"
#include "io/output_file.h"

namespace grulo::python {

struct LineResult {
  int64_t line_number = 0;
  int format = 0;  // a grulo::LineFormat
  int category = 0;
  int number = 0;
  int return_code = 0;
  bool blocked = false;
  std::string version;          // its bytes, at most two
  std::vector<int16_t> errors;  // in check order, zeros left out
  bool has_grp_line = false;
  std::string grp_line;   // with its CR LF; empty when has_grp_line is false
  std::string err_entry;  // every line of it with CR LF; empty when none

  bool operator==(const LineResult&) const = default;
  size_t Hash() const;
};

// Makes LineResults from outcomes, composing their lines with the batch's
// composers; one per thread that makes them.
class LineResultMaker {
 public:
  LineResultMaker();
  // `text` holds the line's first characters (all up to 512) and `length` its
  // length, as the line reader gives them.
  LineResult Make(int64_t line_number, std::string_view text, uint64_t length,
                  const LineOutcome& outcome);

 private:
  ResultLineStorage storage_;
  std::unique_ptr<OutputFile> scratch_;  // in memory, emptied for each line
};

}  // namespace grulo::python

#endif  // GRULO_PYTHON_LINE_RESULT_H_
