// A table built from its text source: the source parsed into its model
// (table_source.h, tree_source.h) and the model written (table_writer.h).

#ifndef GRULO_AUTHORING_TABLE_BUILD_H_
#define GRULO_AUTHORING_TABLE_BUILD_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "authoring/table_kind.h"

namespace grulo {

// Builds the bytes of a source text of the given kind; false with the errors,
// each naming `file_name`.
bool BuildTableFromSource(TableKind kind, std::string_view text, std::string_view file_name,
                          std::vector<uint8_t>* bytes, std::vector<std::string>* errors);

}  // namespace grulo

#endif  // GRULO_AUTHORING_TABLE_BUILD_H_
