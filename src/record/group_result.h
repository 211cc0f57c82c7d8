// The result of grouping one summary. The type itself is part of the grouping
// library's public interface, so it is defined there.

#ifndef GRULO_RECORD_GROUP_RESULT_H_
#define GRULO_RECORD_GROUP_RESULT_H_

#include "grulo/result.h"

#endif  // GRULO_RECORD_GROUP_RESULT_H_
