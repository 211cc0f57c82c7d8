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
#include <string_view>
#include <vector>

#include "authoring/table_writer.h"
#include "tables/table_file.h"

namespace grulo {

enum class TableKind { kTree, kDiag, kAct };

// "tree", "diag" or "acts".
std::string_view TableKindName(TableKind kind);
bool TableKindFromWord(std::string_view word, TableKind* kind);
// The kind of a file named "arbressr.tab", "diag10sr.tab" or "ccamcssr.tab"
// (any directory), or of a file whose header carries such a name.
bool GuessTableKind(std::string_view path, const TableFile& file, TableKind* kind);
// The file name of a kind: "arbressr.tab", ...
std::string_view TableFileName(TableKind kind);

// Reads a file into a model. Numbered records and nodes are kept as numbered
// (every record of the file in model.records, entries by number); the layout
// stays empty. False, with a reason, when the file is shorter than its header
// and descriptors. `notes` receives what could not be read.
bool ReadDiagModel(const TableFile& file, DiagTableModel* model, std::vector<std::string>* notes,
                   std::string* error);
bool ReadActModel(const TableFile& file, ActTableModel* model, std::vector<std::string>* notes,
                  std::string* error);
bool ReadTreeModel(const TableFile& file, TreeTableModel* model, std::vector<std::string>* notes,
                   std::string* error);

// The text source of a table file; false with a reason when the file cannot
// be read at all.
bool DumpTable(const TableFile& file, TableKind kind, std::string* text, std::string* error);

// Builds the bytes of a source text of the given kind; false with the errors.
bool BuildTableFromSource(TableKind kind, std::string_view text, std::string_view file_name,
                          std::vector<uint8_t>* bytes, std::vector<std::string>* errors);

}  // namespace grulo

#endif  // GRULO_AUTHORING_TABLE_DUMP_H_
