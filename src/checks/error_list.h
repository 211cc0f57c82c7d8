// The error list of one summary and the split of error numbers into blocking
// and non-blocking ones.

#ifndef GRULO_CHECKS_ERROR_LIST_H_
#define GRULO_CHECKS_ERROR_LIST_H_

#include <array>
#include <cstdint>
#include <span>

#include "checks/error_catalogue.h"
#include "checks/error_number.h"

namespace grulo {

inline constexpr int kErrorListSize = 100;

// Up to 100 error numbers in the order the checks found them; entries at and
// beyond `ErrorCount` hold 0. A number may occur several times.
struct ErrorList {
  std::array<int16_t, kErrorListSize> entries{};
  int16_t ErrorCount = 0;
};

namespace error_list_internal {

constexpr int CountNonBlocking() {
  int count = 0;
  for (const ErrorInfo& info : kErrorCatalogue) count += info.blocking ? 0 : 1;
  return count;
}

template <int N>
constexpr std::array<int16_t, N> ListNonBlocking() {
  std::array<int16_t, N> numbers{};
  int k = 0;
  for (const ErrorInfo& info : kErrorCatalogue) {
    if (!info.blocking) numbers[k++] = ToNumber(info.number);
  }
  return numbers;
}

}  // namespace error_list_internal

// The error numbers that do not block grouping, in increasing order, taken
// from the catalogue: the checks and the batch driver both sort with this one
// table. 4, 5, 6, 7, 18, 28 and 69 are listed although no check produces
// them.
inline constexpr std::array<int16_t, error_list_internal::CountNonBlocking()> NonBlockingErrors =
    error_list_internal::ListNonBlocking<error_list_internal::CountNonBlocking()>();
static_assert(NonBlockingErrors.size() == 35, "35 error numbers do not block");

// Sets all entries to 0 and ErrorCount to 0. (By the rule of the list
// usually only the entries below ErrorCount are written: a list that breaks
// the rule is found and cleared whole.)
void ClearErrors(ErrorList* list);

// Appends a number; once 100 numbers are held, further ones are dropped.
void AddError(ErrorList* list, int16_t number);
void AddError(ErrorList* list, ErrorNumber number);

// True when the number is one of NonBlockingErrors.
bool IsNonBlocking(int16_t number);

// The first entry, in list order, that is neither 0 nor non-blocking; 0 when
// there is none. Only the entries below ErrorCount are read: the others hold
// 0 by the rule of the list. This is the one rule of a blocked summary: the
// checks give it as the summary's return code, and every reader of an
// outcome asks it, or the outcome that holds its answer.
int16_t FirstBlockingError(const ErrorList& list);
// The same for error numbers held elsewhere, in list order.
int16_t FirstBlockingError(std::span<const int16_t> numbers);

}  // namespace grulo

#endif  // GRULO_CHECKS_ERROR_LIST_H_
