// The result of grouping one summary.

#ifndef GRULO_RECORD_GROUP_RESULT_H_
#define GRULO_RECORD_GROUP_RESULT_H_

#include <cstdint>

namespace grulo {

// Three signed 16-bit numbers, printed "%02d", "%03d" and "%02d": a leaf's
// numbers when the summary is grouped; otherwise one of the results below,
// or 99, 904 and 1 to 3 for a failed walk (kWalkFailedCategory and
// kWalkFailedNumber in tree/tree_walk.h).
struct GroupResult {
  int16_t GroupCategory = 0;
  int16_t GroupNumber = 0;
  int16_t GroupReturn = 0;
};

// A summary stopped by a blocking error: 90, 900 and the error number. The
// checks set these two before they run; the tree walk replaces them when no
// error blocks.
inline constexpr int16_t kBlockedCategory = 90;
inline constexpr int16_t kBlockedNumber = 900;

// A summary stopped by a table problem keeps the zeros the driver set: 0, 0
// and the table status (99 a table that cannot be opened, 9 versions that
// differ; kTableCannotOpen and kTableVersionsDiffer in tables/open_tables.h).
inline constexpr int16_t kTableProblemCategory = 0;
inline constexpr int16_t kTableProblemNumber = 0;

}  // namespace grulo

#endif  // GRULO_RECORD_GROUP_RESULT_H_
