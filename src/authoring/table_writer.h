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
#include "base/status.h"
#include "tables/table_layout.h"

namespace grulo {

// The magic word of the tool's header (kHeaderMagicSize bytes).
inline constexpr char kHeaderMagic[] = "GRULOTAB";

// The largest table the writer writes. The tool's own layout never comes
// near it (at most 65535 entries and 65536 records or nodes of at most 255
// bytes, some 17 MB); only raw descriptors that place a section far into the
// file can, and a build from such a source is refused.
inline constexpr int64_t kMaxTableBytes = int64_t{64} << 20;

// Writes the bytes of a model into *bytes (replacing what it held), or only
// checks the model when `bytes` is null. Not ok (kInvalidArgument, with no
// file named: the caller names the source) when the model cannot be written:
// a key out of range, too many entries for the 16-bit index, too many
// attribute bytes, sections that overlap, a table of more than `max_bytes`
// bytes (refused before anything is allocated), ...
Status WriteTable(const DiagTableModel& model, std::vector<uint8_t>* bytes,
                  int64_t max_bytes = kMaxTableBytes);
Status WriteTable(const ActTableModel& model, std::vector<uint8_t>* bytes,
                  int64_t max_bytes = kMaxTableBytes);
Status WriteTable(const TreeTableModel& model, std::vector<uint8_t>* bytes,
                  int64_t max_bytes = kMaxTableBytes);

// The tool's own header for a table file name and version (the magic word,
// the version and the file name at their places of table_layout.h, zeros
// elsewhere), and its own descriptor for a section (its name, record size,
// extent and offset).
std::array<uint8_t, kTableHeaderSize> DefaultHeader(std::string_view file_name,
                                                    std::string_view version);
std::array<uint8_t, kSectionDescriptorSize> DefaultDescriptor(std::string_view section_name,
                                                              int record_size, int32_t extent,
                                                              int32_t offset);

// The same writing (within kMaxTableBytes) for callers that keep a bool and a
// text: false with the message in *error.
bool WriteDiagTable(const DiagTableModel& model, std::vector<uint8_t>* bytes, std::string* error);
bool WriteActTable(const ActTableModel& model, std::vector<uint8_t>* bytes, std::string* error);
bool WriteTreeTable(const TreeTableModel& model, std::vector<uint8_t>* bytes, std::string* error);

}  // namespace grulo

#endif  // GRULO_AUTHORING_TABLE_WRITER_H_
