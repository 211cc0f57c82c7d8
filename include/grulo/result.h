/* The plain types of a grouping outcome, shared by the grouping library's C++
   interface (grulo/grouper.h) and the program itself. */

#ifndef GRULO_RESULT_H_
#define GRULO_RESULT_H_

#include <cstdint>

namespace grulo {

// What the format recognition says of a line.
enum class LineFormat {
  kWellFormed = 0,     // handed to the checks and the tree
  kUnreadable = 1,     // fewer than 12 characters
  kUnknownFormat = 2,  // the format number (columns 10-12) is neither "M04" nor "MA4"
  kSizeProblem = 3,    // the length does not agree with the act count
};

// The result of grouping one summary: three signed 16-bit numbers, printed
// "%02d", "%03d" and "%02d" in the result file. A leaf's numbers; 90, 900 and
// the first blocking error; 99, 904 and 1 to 3 for a failed walk; 0, 0 and
// 99 or 9 for a table problem.
struct GroupResult {
  int16_t GroupCategory = 0;
  int16_t GroupNumber = 0;
  int16_t GroupReturn = 0;
};

}  // namespace grulo

#endif  // GRULO_RESULT_H_
