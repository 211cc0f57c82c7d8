// The writer that turns the table models (table_model.h) into the exact bytes
// of "diag10sr.tab", "ccamcssr.tab" and "arbressr.tab".
//
// What the writer puts where (see docs/table-formats.md):
// - header: "GRULOTAB", the version (bytes 8-9, NUL-padded), two zero bytes,
//   the table's file name (bytes 12-23) and zeros;
// - each descriptor: the section's name (bytes 0-19, NUL-padded), the record
//   size, the extent, the offset and three zero bytes;
// - the sections back to back right behind the descriptors.
// A model may instead carry the raw header and descriptor bytes of a file
// (TableLayout): then the descriptors' offsets place the sections, gaps are
// filled with zeros, and the trailer is appended.

#ifndef GRULO_AUTHORING_TABLE_WRITER_H_
#define GRULO_AUTHORING_TABLE_WRITER_H_

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "authoring/table_model.h"

namespace grulo {

inline constexpr char kHeaderMagic[] = "GRULOTAB";  // bytes 0-7 of the tool's header

// Each returns false with a message in *error when the model cannot be
// written (a key out of range, too many entries for the 16-bit index, too
// many attribute bytes, sections that overlap, ...).
bool WriteDiagTable(const DiagTableModel& model, std::vector<uint8_t>* bytes, std::string* error);
bool WriteActTable(const ActTableModel& model, std::vector<uint8_t>* bytes, std::string* error);
bool WriteTreeTable(const TreeTableModel& model, std::vector<uint8_t>* bytes, std::string* error);

// The tool's own header for a table file name and version, and its own
// descriptor for a section.
std::array<uint8_t, 32> DefaultHeader(std::string_view file_name, std::string_view version);
std::array<uint8_t, 32> DefaultDescriptor(std::string_view section_name, int record_size,
                                          int32_t extent, int32_t offset);

}  // namespace grulo

#endif  // GRULO_AUTHORING_TABLE_WRITER_H_
