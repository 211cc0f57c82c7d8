// Small text tests shared by the field checks.

#ifndef GRULO_CHECKS_FIELD_TEXT_H_
#define GRULO_CHECKS_FIELD_TEXT_H_

#include <string_view>

namespace grulo {

// True when every character of the field is a blank (the space, 32). A field
// of width 0 counts as blank.
inline bool IsBlank(std::string_view field) {
  return field.find_first_not_of(' ') == std::string_view::npos;
}

// Stay kinds '1' and '5' require the entry fields and compare the summary's
// week with the weeks of entry and exit; the other kinds may leave them out.
inline bool IsKindOneOrFive(std::string_view stay_kind) {
  return !stay_kind.empty() && (stay_kind[0] == '1' || stay_kind[0] == '5');
}

}  // namespace grulo

#endif  // GRULO_CHECKS_FIELD_TEXT_H_
