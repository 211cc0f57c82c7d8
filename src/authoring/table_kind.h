// The three kinds of table file, their names and the file names they go by.

#ifndef GRULO_AUTHORING_TABLE_KIND_H_
#define GRULO_AUTHORING_TABLE_KIND_H_

#include <string_view>

#include "tables/table_file.h"

namespace grulo {

enum class TableKind { kTree, kDiag, kAct };

// "tree", "diag" or "acts".
std::string_view TableKindName(TableKind kind);
// The kind of one of those words; false for any other word.
bool TableKindFromWord(std::string_view word, TableKind* kind);
// The kind of a file named "arbressr.tab", "diag10sr.tab" or "ccamcssr.tab"
// (any directory), or of a file whose header carries such a name; false when
// neither tells.
bool GuessTableKind(std::string_view path, const TableFile& file, TableKind* kind);
// The file name of a kind: "arbressr.tab", ...
std::string_view TableFileName(TableKind kind);
// The number of section descriptors of a kind: 2 for the diagnosis table, 1
// for the others.
int DescriptorCount(TableKind kind);

}  // namespace grulo

#endif  // GRULO_AUTHORING_TABLE_KIND_H_
