#include "checks/error_list.h"

#include <algorithm>

namespace grulo {

void ClearErrors(ErrorList* list) {
  // Cheaper than writing the 100 entries for every summary: writing the few
  // in use, then reading them all to make sure they are 0.
  const int count = std::clamp<int>(list->ErrorCount, 0, kErrorListSize);
  for (int i = 0; i < count; ++i) list->entries[i] = 0;
  uint16_t any = 0;
  for (int16_t entry : list->entries) any |= static_cast<uint16_t>(entry);
  if (any != 0) list->entries.fill(0);  // a list that broke the rule
  list->ErrorCount = 0;
}

void AddError(ErrorList* list, int16_t number) {
  if (list->ErrorCount < 0 || list->ErrorCount >= kErrorListSize) return;
  list->entries[list->ErrorCount] = number;
  ++list->ErrorCount;
}

void AddError(ErrorList* list, ErrorNumber number) { AddError(list, ToNumber(number)); }

namespace {

// NonBlockingErrors indexed by the error number, so that a number is looked
// up rather than sought.
constexpr int kLargestNonBlocking =
    *std::max_element(NonBlockingErrors.begin(), NonBlockingErrors.end());
constexpr std::array<bool, kLargestNonBlocking + 1> kNonBlockingByNumber = [] {
  std::array<bool, kLargestNonBlocking + 1> table{};
  for (int16_t number : NonBlockingErrors) table[number] = true;
  return table;
}();

}  // namespace

bool IsNonBlocking(int16_t number) {
  return number >= 0 && number <= kLargestNonBlocking && kNonBlockingByNumber[number];
}

int16_t FirstBlockingError(const ErrorList& list) {
  const size_t count = static_cast<size_t>(std::clamp<int>(list.ErrorCount, 0, kErrorListSize));
  return FirstBlockingError(std::span<const int16_t>(list.entries.data(), count));
}

int16_t FirstBlockingError(std::span<const int16_t> numbers) {
  for (const int16_t number : numbers) {
    if (number != 0 && !IsNonBlocking(number)) return number;
  }
  return 0;
}

}  // namespace grulo
