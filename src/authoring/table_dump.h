// Turning a table file back into its text source.
//
// The dump reads whatever a file holds, consistent or not, without reading
// outside it. It prefers the most readable text whose build gives the file's
// bytes back: for a table that the tool built, the plain form (inline
// records, a structured tree); otherwise numbered records or nodes, raw
// header and descriptor bytes and a trailer. When no text can give the same
// bytes (a broken index, bytes between the sections), the text says so in a
// note at its top.

#ifndef GRULO_AUTHORING_TABLE_DUMP_H_
#define GRULO_AUTHORING_TABLE_DUMP_H_

#include <string>

#include "authoring/table_kind.h"
#include "tables/table_file.h"

namespace grulo {

// The text source of a table file; false with a reason when the file cannot
// be read at all.
bool DumpTable(const TableFile& file, TableKind kind, std::string* text, std::string* error);

}  // namespace grulo

#endif  // GRULO_AUTHORING_TABLE_DUMP_H_
