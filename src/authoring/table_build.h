// A table built from its text source: the source parsed into its model
// (table_source.h, tree_source.h) and the model written (table_writer.h).

#ifndef GRULO_AUTHORING_TABLE_BUILD_H_
#define GRULO_AUTHORING_TABLE_BUILD_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "authoring/table_kind.h"
#include "authoring/table_writer.h"
#include "base/status.h"

namespace grulo {

// Builds the bytes of a source text of the given kind, read from `path`, into
// *bytes, or only checks that it builds when `bytes` is null. Not ok (kInvalidArgument) when the
// source has errors (one line per error, "path:line: what") or its model cannot be written ("path:
// what"), a table of more than `max_bytes` bytes included.
Status BuildTable(TableKind kind, std::string_view text, std::string_view path,
                  std::vector<uint8_t>* bytes, int64_t max_bytes = kMaxTableBytes);

// The same for callers that keep a bool and the messages as texts: false
// with one text per error line.
bool BuildTableFromSource(TableKind kind, std::string_view text, std::string_view file_name,
                          std::vector<uint8_t>* bytes, std::vector<std::string>* errors);

}  // namespace grulo

#endif  // GRULO_AUTHORING_TABLE_BUILD_H_
