// Helpers of the table tests: table bytes from models, tables opened from
// bytes and byte patches.

#ifndef GRULO_AUTHORING_TABLE_TESTUTIL_H_
#define GRULO_AUTHORING_TABLE_TESTUTIL_H_

#include <cstdint>
#include <string>
#include <vector>

#include "authoring/table_kind.h"
#include "authoring/table_model.h"
#include "tables/open_tables.h"

namespace grulo {
namespace testing {

// The bytes of a model; an empty vector, and a test failure, when the writer
// refuses it.
std::vector<uint8_t> DiagBytes(const DiagTableModel& model);
std::vector<uint8_t> ActBytes(const ActTableModel& model);
std::vector<uint8_t> TreeBytes(const TreeTableModel& model);

// The bytes built from a source text; a test failure when the text is refused.
std::vector<uint8_t> BuiltTable(TableKind kind, const std::string& source);

// Tables opened from bytes the way the program opens files; a test failure
// when the opening refuses them.
DiagTable DiagTableOf(std::vector<uint8_t> bytes);
ActTable ActTableOf(std::vector<uint8_t> bytes);

void Put16(std::vector<uint8_t>* bytes, size_t at, uint16_t value);
void Put32(std::vector<uint8_t>* bytes, size_t at, uint32_t value);

}  // namespace testing
}  // namespace grulo

#endif  // GRULO_AUTHORING_TABLE_TESTUTIL_H_
