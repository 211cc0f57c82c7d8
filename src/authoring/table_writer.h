// The writer that turns the table models (table_model.h) into the exact bytes
// of "diag10sr.tab", "ccamcssr.tab" and "arbressr.tab".
//
// What the writer puts where (see docs/table-formats.md):
// - header: "GRULOTAB", the version (NUL-padded), the table's file name and
//   zeros elsewhere, at the places table_layout.h names;
// - each descriptor: the section's name (NUL-padded), the record size, the
//   extent, the offset and zeros elsewhere;
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
#include "tables/table_layout.h"

namespace grulo {

// The magic word of the tool's header (kHeaderMagicSize bytes).
inline constexpr char kHeaderMagic[] = "GRULOTAB";

// Each returns false with a message in *error when the model cannot be
// written (a key out of range, too many entries for the 16-bit index, too
// many attribute bytes, sections that overlap, ...).
bool WriteDiagTable(const DiagTableModel& model, std::vector<uint8_t>* bytes, std::string* error);
bool WriteActTable(const ActTableModel& model, std::vector<uint8_t>* bytes, std::string* error);
bool WriteTreeTable(const TreeTableModel& model, std::vector<uint8_t>* bytes, std::string* error);

// The tool's own header for a table file name and version (the magic word,
// the version and the file name at their places of table_layout.h, zeros
// elsewhere), and its own descriptor for a section (its name, record size,
// extent and offset).
std::array<uint8_t, kTableHeaderSize> DefaultHeader(std::string_view file_name,
                                                    std::string_view version);
std::array<uint8_t, kSectionDescriptorSize> DefaultDescriptor(std::string_view section_name,
                                                              int record_size, int32_t extent,
                                                              int32_t offset);

}  // namespace grulo

#endif  // GRULO_AUTHORING_TABLE_WRITER_H_
