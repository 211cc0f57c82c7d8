// The three table files of a run: opening them, their header and section
// descriptors (laid out as table_layout.h says), and the values kept from
// them.

#ifndef GRULO_TABLES_OPEN_TABLES_H_
#define GRULO_TABLES_OPEN_TABLES_H_

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "base/status.h"
#include "tables/code_hash.h"
#include "tables/prefix_index.h"
#include "tables/table_file.h"
#include "tables/table_layout.h"

namespace grulo {

inline constexpr char kTreeTableName[] = "arbressr.tab";
inline constexpr char kDiagTableName[] = "diag10sr.tab";
inline constexpr char kActTableName[] = "ccamcssr.tab";

// Statuses of the table opening.
inline constexpr int16_t kTableOpened = 0;
inline constexpr int16_t kTableCannotOpen = 99;
inline constexpr int16_t kTableVersionsDiffer = 9;

// A table's version: at most two characters, a NUL byte ending it early, and
// a terminator. Two versions agree when their texts are equal.
using VersionText = std::array<char, 3>;

inline std::string_view VersionView(const VersionText& v) {
  return std::string_view(v.data(), v[0] == '\0' ? 0 : (v[1] == '\0' ? 1 : 2));
}
inline bool VersionsAgree(const VersionText& a, const VersionText& b) {
  return VersionView(a) == VersionView(b);
}

struct SectionDescriptor {
  int16_t record_size = 0;  // 0 to 255
  int32_t extent = 0;
  int32_t offset = 0;
};

// Decodes the kSectionDescriptorSize bytes of a section descriptor.
SectionDescriptor ReadSectionDescriptor(const uint8_t* bytes);

// The version text of a header (kTableHeaderSize bytes).
VersionText ReadHeaderVersion(const uint8_t* header);

struct TreeTable {
  std::unique_ptr<TableFile> file;  // null while the table is not open
  VersionText TableVersion{};
  int16_t NodeSize = 0;        // 6 to 12 once open
  int32_t NodeAreaOffset = 0;  // file offset of node 0
  int32_t NodeBound = 0;       // highest offset at which a node may begin

  bool is_open() const { return file != nullptr; }
};

// An act table's entries decoded once, when the table is opened, as the
// diagnosis table's are.
struct ActCodeIndex {
  int32_t index_offset = 0;  // the table value it was built from
  // The class of every code the index can find, by its key, prefix number
  // << 24 | the three bytes of its search key.
  CodeHash codes;
};

struct ActTable {
  std::unique_ptr<TableFile> file;
  VersionText TableVersion{};
  int32_t ActIndexOffset = 0;
  std::unique_ptr<const ActCodeIndex> code_index;  // null when it could not be built

  bool is_open() const { return file != nullptr; }
};

// A diagnosis table's entries decoded once, when the table is opened, so
// that the lookups of every summary neither decode big-endian entries nor
// check ranges against the file. It keeps the table values it was built
// from: a table whose values were changed since (only tests do that) is
// looked up entry by entry in the file.
struct DiagCodeIndex {
  int32_t index_offset = 0;  // the table values it was built from
  int16_t record_size = 0;
  int32_t record_offset = 0;
  // The record number of every code the index can find, by its key, prefix
  // number << 11 | suffix number.
  CodeHash codes;
  // Records 0 to records_held - 1 are held by the file in full.
  uint32_t records_held = 0;
};

struct DiagTable {
  std::unique_ptr<TableFile> file;
  VersionText TableVersion{};
  int16_t DiagResultSize = 0;
  int32_t DiagIndexOffset = 0;
  int16_t DiagRecordSize = 0;  // 1 to 12 once open
  int32_t DiagRecordOffset = 0;
  int16_t DiagAttrLength = 0;  // DiagRecordSize - 1
  std::unique_ptr<const DiagCodeIndex> code_index;  // null when it could not be built

  bool is_open() const { return file != nullptr; }
};

// The open tables of a run. Each one is opened on first use and then stays
// open until the run ends.
struct OpenTables {
  TreeTable tree;
  ActTable acts;
  DiagTable diags;
};

// Each opening builds the path as the table directory immediately followed by
// the file name (no separator is inserted) and returns 0, or 99 when the file
// cannot be opened, is shorter than its header and descriptors (64 bytes, 96
// for the diagnosis table) or has a record size the program refuses (a node
// size outside 6 to 12, a diagnosis record size of 0 or above 12). On failure
// the table stays not open and none of its values changes; `why`, when
// given, names the path and the reason.
int16_t OpenTreeTable(std::string_view rep_tab, TreeTable* table, Status* why = nullptr);
int16_t OpenActTable(std::string_view rep_tab, ActTable* table, Status* why = nullptr);
int16_t OpenDiagTable(std::string_view rep_tab, DiagTable* table, Status* why = nullptr);

// The same from a file already at hand (used by the openings above, tools and
// tests); `file` is consumed only on success. A null file is refused.
int16_t AdoptTreeTable(std::unique_ptr<TableFile>& file, TreeTable* table, Status* why = nullptr);
int16_t AdoptActTable(std::unique_ptr<TableFile>& file, ActTable* table, Status* why = nullptr);
int16_t AdoptDiagTable(std::unique_ptr<TableFile>& file, DiagTable* table, Status* why = nullptr);

}  // namespace grulo

#endif  // GRULO_TABLES_OPEN_TABLES_H_
