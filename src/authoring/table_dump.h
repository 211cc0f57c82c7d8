// Turning a table file back into its text source.
//
// The dump reads whatever a file holds, consistent or not, without reading
// outside it. It prefers the most readable text whose build gives the file's
// bytes back: for a table that the tool built, the plain form (inline
// records, a structured tree); otherwise numbered records or nodes, raw
// header and descriptor bytes and a trailer. When no text can give the same
// bytes (a broken index, bytes between the sections), the text says so in
// notes at its top. What the dump reads and writes is bounded by the file's
// size and the caps of table_decode.h, whatever the file claims.

#ifndef GRULO_AUTHORING_TABLE_DUMP_H_
#define GRULO_AUTHORING_TABLE_DUMP_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "authoring/table_kind.h"
#include "base/status.h"
#include "tables/table_file.h"

namespace grulo {

// The plain form of a diagnosis table writes the record of each code inline;
// the dump tries it only when those records hold at most this many bytes in
// all (a real table's hold some 200 kB), numbered records otherwise.
inline constexpr int64_t kMaxInlineRecordBytes = int64_t{4} << 20;

// The text source of a table file of the given kind, read from `path`, in
// *text. Not ok (kCorruption, naming `path`) when the file is too short to
// hold its header and descriptors: then *text is left empty. `round_trip`,
// when not null, is set ok when building the text gives the file's bytes
// back, and otherwise to a kCorruption status naming `path` and the first
// thing that could not be read.
Status DumpTable(const TableFile& file, std::string_view path, TableKind kind, std::string* text,
                 Status* round_trip = nullptr);

}  // namespace grulo

#endif  // GRULO_AUTHORING_TABLE_DUMP_H_
