// What the check sequence tells whoever wants to know which error each check
// found: an explanation of one summary listens, the batch does not. The
// sequence is compiled once with NoCheckObserver, whose calls vanish, and
// once for a CheckObserver, so that the batch's path never tests for an
// observer it does not have.

#ifndef GRULO_CHECKS_CHECK_OBSERVER_H_
#define GRULO_CHECKS_CHECK_OBSERVER_H_

#include "checks/error_number.h"

namespace grulo {

// The field index of an error whose check covers a whole run of fields at
// once (the scores): the check does not say which one is wrong.
inline constexpr int kWholeRun = -1;

class CheckObserver {
 public:
  virtual ~CheckObserver() = default;

  // A check found `number`; called in the order the errors enter the list
  // (the checks of one summary find at most 69, so none is dropped).
  // `index` is the place of the field in the catalogue's run of fields for
  // that number (ErrorField::At): 0 for a single field, the slot less 3 for
  // an associated diagnosis, j - 1 for duration j, k for act k, kWholeRun
  // for the scores.
  virtual void OnError(ErrorNumber number, int index) = 0;
};

// The observer of the batch: nothing to tell.
struct NoCheckObserver {
  void OnError(ErrorNumber, int) {}
};

}  // namespace grulo

#endif  // GRULO_CHECKS_CHECK_OBSERVER_H_
