// The error list of one summary and the split of error numbers into blocking
// and non-blocking ones.

#ifndef GRULO_CHECKS_ERROR_LIST_H_
#define GRULO_CHECKS_ERROR_LIST_H_

#include <array>
#include <cstdint>

namespace grulo {

inline constexpr int kErrorListSize = 100;

// Up to 100 error numbers in the order the checks found them; entries at and
// beyond `ErrorCount` hold 0. A number may occur several times.
struct ErrorList {
  std::array<int16_t, kErrorListSize> entries{};
  int16_t ErrorCount = 0;
};

// The 35 error numbers that do not block grouping. The checks and the batch
// driver both sort with this one table. 4, 5, 6, 7, 18, 28 and 69 are listed
// although no check produces them.
inline constexpr std::array<int16_t, 35> NonBlockingErrors = {
    1,  4,  5,  6,  7,  17, 18, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31,
    33, 34, 35, 36, 37, 38, 39, 40, 41, 44, 64, 69, 70, 71, 72, 73, 82};

// Sets all entries to 0 and ErrorCount to 0.
void ClearErrors(ErrorList* list);

// Appends a number; once 100 numbers are held, further ones are dropped.
void AddError(ErrorList* list, int16_t number);

// True when the number is one of NonBlockingErrors.
bool IsNonBlocking(int16_t number);

// The first entry, in list order, that is neither 0 nor non-blocking; 0 when
// there is none.
int16_t FirstBlockingError(const ErrorList& list);

}  // namespace grulo

#endif  // GRULO_CHECKS_ERROR_LIST_H_
