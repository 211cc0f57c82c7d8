// The human-readable text sources of the diagnosis and act tables: reading
// them into the models of table_model.h and printing models back as text.
// Both follow the rules and take the common directives of source_syntax.h
// (version, header, descriptor, trailer).
//
// Diagnosis source (diag10sr.tab):
//   record-size 12              position byte + attribute bytes (default 12)
//   result-size 2               descriptor 1's record size (default 2)
//   A000  0xFF 11 38 210        code, position flags, category, attributes
//   A001  =3                    code with record number 3
//   record 3  0xC0 20           record 3 given explicitly (record 0: codes
//                               not found; all 0 unless given)
//
// Act source (ccamcssr.tab):
//   entry-size 4                descriptor 1's record size (default 4)
//   AAFA0010  3                 code and class
//
// The tree source is described in tree_source.h.

#ifndef GRULO_AUTHORING_TABLE_SOURCE_H_
#define GRULO_AUTHORING_TABLE_SOURCE_H_

#include <string>
#include <string_view>
#include <vector>

#include "authoring/source_syntax.h"
#include "authoring/table_model.h"
#include "base/status.h"

namespace grulo {

// Reads a source into a model, filled from scratch. Not ok (kInvalidArgument)
// when the source has errors: the message holds one line per error, each
// "path:line: what" (at most 50).
Status ParseSource(std::string_view text, std::string_view path, DiagTableModel* model);
Status ParseSource(std::string_view text, std::string_view path, ActTableModel* model);

// Prints a model as source text that reads back to the same model (entries
// in the model's order, inline records as inline, numbered ones as "=N").
std::string PrintDiagSource(const DiagTableModel& model);
std::string PrintActSource(const ActTableModel& model);

// The same reading for callers that keep a bool and the messages as texts:
// false with one text per error line.
bool ParseDiagSource(std::string_view text, std::string_view file_name, DiagTableModel* model,
                     std::vector<std::string>* errors);
bool ParseActSource(std::string_view text, std::string_view file_name, ActTableModel* model,
                    std::vector<std::string>* errors);

}  // namespace grulo

#endif  // GRULO_AUTHORING_TABLE_SOURCE_H_
