// Table files read back into their models, whatever they hold, consistent
// or not, without reading outside them.

#ifndef GRULO_AUTHORING_TABLE_DECODE_H_
#define GRULO_AUTHORING_TABLE_DECODE_H_

#include <string>
#include <vector>

#include "authoring/table_model.h"
#include "tables/table_file.h"

namespace grulo {

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

}  // namespace grulo

#endif  // GRULO_AUTHORING_TABLE_DECODE_H_
