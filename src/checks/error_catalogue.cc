#include "checks/error_catalogue.h"

namespace grulo {

const std::array<ErrorInfo, kErrorNumberCount>& ErrorCatalogue() { return kErrorCatalogue; }

const ErrorInfo* FindErrorInfo(int16_t number) {
  if (number < 1 || number > kErrorNumberCount) return nullptr;
  return &kErrorCatalogue[number - 1];
}

const ErrorInfo* FindErrorInfo(ErrorNumber number) { return FindErrorInfo(ToNumber(number)); }

}  // namespace grulo
