// The result of grouping one summary, and the named results of a summary
// that is not grouped. The type itself is part of the grouping library's
// public interface, so it is defined there.

#ifndef GRULO_RECORD_GROUP_RESULT_H_
#define GRULO_RECORD_GROUP_RESULT_H_

#include <cstdint>

#include "grulo/result.h"

namespace grulo {

// A summary stopped by a blocking error: 90, 900 and the error number. The
// checks set these two before they run; the tree walk replaces them when no
// error blocks. (A failed walk gives 99, 904 and 1 to 3: kWalkFailedCategory
// and kWalkFailedNumber in tree/tree_walk.h.)
inline constexpr int16_t kBlockedCategory = 90;
inline constexpr int16_t kBlockedNumber = 900;

// A summary stopped by a table problem keeps the zeros the driver set: 0, 0
// and the table status (99 a table that cannot be opened, 9 versions that
// differ; kTableCannotOpen and kTableVersionsDiffer in tables/open_tables.h).
inline constexpr int16_t kTableProblemCategory = 0;
inline constexpr int16_t kTableProblemNumber = 0;

}  // namespace grulo

#endif  // GRULO_RECORD_GROUP_RESULT_H_
