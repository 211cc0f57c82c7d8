// The result of grouping one summary.

#ifndef GRULO_RECORD_GROUP_RESULT_H_
#define GRULO_RECORD_GROUP_RESULT_H_

#include <cstdint>

namespace grulo {

// Three signed 16-bit numbers, printed "%02d", "%03d" and "%02d": a leaf's
// numbers; 90, 900 and the first blocking error; 99, 904 and 1 to 3 for a
// failed walk; 0, 0 and 99 or 9 for a table problem.
struct GroupResult {
  int16_t GroupCategory = 0;
  int16_t GroupNumber = 0;
  int16_t GroupReturn = 0;
};

}  // namespace grulo

#endif  // GRULO_RECORD_GROUP_RESULT_H_
