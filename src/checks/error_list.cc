#include "checks/error_list.h"

#include <algorithm>

namespace grulo {

void ClearErrors(ErrorList* list) {
  list->entries.fill(0);
  list->ErrorCount = 0;
}

void AddError(ErrorList* list, int16_t number) {
  if (list->ErrorCount < 0 || list->ErrorCount >= kErrorListSize) return;
  list->entries[list->ErrorCount] = number;
  ++list->ErrorCount;
}

void AddError(ErrorList* list, ErrorNumber number) { AddError(list, ToNumber(number)); }

bool IsNonBlocking(int16_t number) {
  return std::find(NonBlockingErrors.begin(), NonBlockingErrors.end(), number) !=
         NonBlockingErrors.end();
}

int16_t FirstBlockingError(const ErrorList& list) {
  for (int16_t number : list.entries) {
    if (number != 0 && !IsNonBlocking(number)) return number;
  }
  return 0;
}

}  // namespace grulo
