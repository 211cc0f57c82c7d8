// The catalogue of the error numbers 1 to 82: for each number the field it
// concerns, whether any check produces it, whether it blocks grouping, and a
// short description for people reading the code or an error report. No text
// of the catalogue is ever written to the output files: they carry numbers
// only.

#ifndef GRULO_CHECKS_ERROR_CATALOGUE_H_
#define GRULO_CHECKS_ERROR_CATALOGUE_H_

#include <array>
#include <cstdint>
#include <string_view>

namespace grulo {

inline constexpr int kErrorNumberCount = 82;

struct ErrorInfo {
  int16_t number;
  std::string_view field;        // the summary field the error concerns
  bool produced;                 // false: kept in the numbering, never produced
  bool blocking;                 // agrees with NonBlockingErrors
  std::string_view description;  // the condition, in the order it is tested
};

// The 82 entries, entry i describing error number i + 1.
const std::array<ErrorInfo, kErrorNumberCount>& ErrorCatalogue();

// The entry of an error number; nullptr outside 1 to 82.
const ErrorInfo* FindErrorInfo(int16_t number);

}  // namespace grulo

#endif  // GRULO_CHECKS_ERROR_CATALOGUE_H_
