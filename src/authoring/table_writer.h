// In-memory models of the three table files and the writer that turns them
// into the exact bytes of "diag10sr.tab", "ccamcssr.tab" and "arbressr.tab".
//
// Typical use (tests and tools):
//
//   DiagTableModel diags;
//   diags.version = "11";
//   AddDiagCode(&diags, "A000", 0xFF, {11, 38, 210});   // category 11, pair 38 210
//   ActTableModel acts;
//   acts.version = "11";
//   AddActCode(&acts, "AAFA0010", 3);
//   TreeTableModel tree;
//   tree.version = "11";
//   tree.nodes = {TreeNodeRecord::Inner(0, 0, 18, 1, 1),   // AgeBelow 18 -> 1, 2
//                 TreeNodeRecord::Leaf(1, 1, 0), TreeNodeRecord::Leaf(1, 2, 0)};
//   std::vector<uint8_t> bytes;
//   std::string error;
//   if (!WriteDiagTable(diags, &bytes, &error)) ...
//
// What the writer puts where (see docs/table-formats.md):
// - header: "GRULOTAB", the version (bytes 8-9, NUL-padded), two zero bytes,
//   the table's file name (bytes 12-23) and zeros;
// - each descriptor: the section's name (bytes 0-19, NUL-padded), the record
//   size, the extent, the offset and three zero bytes;
// - the sections back to back right behind the descriptors.
// A model may instead carry the raw header and descriptor bytes of a file
// (TableLayout): then the descriptors' offsets place the sections, gaps are
// filled with zeros, and the trailer is appended. That lets the dump of a
// file written elsewhere build back to the same bytes.

#ifndef GRULO_AUTHORING_TABLE_WRITER_H_
#define GRULO_AUTHORING_TABLE_WRITER_H_

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace grulo {

inline constexpr char kHeaderMagic[] = "GRULOTAB";  // bytes 0-7 of the tool's header

// Raw bytes that the program never reads, and the placement of the sections.
struct TableLayout {
  // Empty, or the 32 header bytes; the version replaces bytes 8 and 9.
  std::vector<uint8_t> header;
  // Per descriptor: empty, or its 32 bytes, used as they are (extent and
  // offset included) except byte 20, which the model's record size replaces.
  std::array<std::vector<uint8_t>, 2> descriptors;
  // Bytes appended after the last section.
  std::vector<uint8_t> trailer;
};

// ---------------------------------------------------------------------------
// Diagnosis table.

// A diagnosis record: the position flags and the attribute block, whose first
// byte is the category. Missing attribute bytes are written as 0.
struct DiagRecord {
  uint8_t position_bits = 0;
  std::vector<uint8_t> attributes;

  bool operator==(const DiagRecord&) const = default;
};

// One entry of the entry list: the key of a code and its record.
struct DiagEntry {
  int prefix = 0;         // DiagPrefixIndex, 0 to 2599
  int suffix_number = 0;  // SuffixNumber, 0 to 1583 (up to 65535 in raw form)
  // The record number the entry holds, or -1 to give it `record` (records
  // with equal bytes share one number, given in entry-list order).
  int record_number = -1;
  DiagRecord record;
};

struct DiagTableModel {
  std::string version;   // up to 2 bytes, written NUL-padded to header bytes 8-9
  int result_size = 2;   // descriptor 1's record size
  int record_size = 12;  // descriptor 2's record size: position byte + attributes
  // Records given by number. Record 0 is the record of codes not found (all 0
  // when not given); missing numbers below the highest are all-0 records.
  std::map<int, DiagRecord> records;
  // The entries in any order: the writer sorts them by prefix, keeping the
  // given order within a prefix (the first of two equal keys is found).
  std::vector<DiagEntry> entries;
  TableLayout layout;
};

// ---------------------------------------------------------------------------
// Act table.

struct ActEntry {
  int prefix = 0;       // ActPrefixIndex, 0 to 17575
  uint8_t letter = 0;   // key byte 0: the fourth letter minus 'A'
  uint16_t number = 0;  // key bytes 1-2: the number of the four digits
  uint8_t act_class = 0;
};

struct ActTableModel {
  std::string version;
  int entry_size = 4;  // descriptor 1's record size (never read)
  // Any order: sorted by prefix, the given order kept within a prefix.
  std::vector<ActEntry> entries;
  TableLayout layout;
};

// ---------------------------------------------------------------------------
// Tree table.

struct TreeNodeRecord {
  uint8_t opcode = 0;
  uint8_t param1 = 0;
  uint8_t param2 = 0;
  uint8_t branch_limit = 0;  // 0 marks a leaf
  uint16_t base_node = 0;
  std::vector<uint8_t> extra;  // bytes 6 and up of the record; missing ones 0

  // An inner node: children (branch r) at base_node + r.
  static TreeNodeRecord Inner(uint8_t opcode, uint8_t param1, uint8_t param2, uint8_t branch_limit,
                              uint16_t base_node) {
    return TreeNodeRecord{opcode, param1, param2, branch_limit, base_node, {}};
  }
  // A leaf: GroupCategory in Param2, GroupNumber in BaseNode, GroupReturn in
  // Param1.
  static TreeNodeRecord Leaf(uint8_t category, uint16_t number, uint8_t return_code) {
    return TreeNodeRecord{0, return_code, category, 0, number, {}};
  }
  bool is_leaf() const { return branch_limit == 0; }
  bool operator==(const TreeNodeRecord&) const = default;
};

struct TreeTableModel {
  std::string version;
  int node_size = 6;                  // 6 to 12 for the program
  std::vector<TreeNodeRecord> nodes;  // node n at offset + n x node_size
  TableLayout layout;
};

// ---------------------------------------------------------------------------
// Writers. Each returns false with a message in *error when the model cannot
// be written (a key out of range, too many entries for the 16-bit index,
// too many attribute bytes, sections that overlap, ...).

bool WriteDiagTable(const DiagTableModel& model, std::vector<uint8_t>* bytes, std::string* error);
bool WriteActTable(const ActTableModel& model, std::vector<uint8_t>* bytes, std::string* error);
bool WriteTreeTable(const TreeTableModel& model, std::vector<uint8_t>* bytes, std::string* error);

// The tool's own header for a table file name and version, and its own
// descriptor for a section.
std::array<uint8_t, 32> DefaultHeader(std::string_view file_name, std::string_view version);
std::array<uint8_t, 32> DefaultDescriptor(std::string_view section_name, int record_size,
                                          int32_t extent, int32_t offset);

// Writes bytes to a file; false with a message when it cannot.
bool WriteBytesToFile(const std::string& path, const std::vector<uint8_t>& bytes,
                      std::string* error);
// Reads a whole file as bytes; false when it cannot be read.
bool ReadFileToString(const std::string& path, std::string* text);

// ---------------------------------------------------------------------------
// Codes as the text formats write them.
//
// A diagnosis code: an upper-case letter, two digits and up to three suffix
// characters (digit, '+', or '_' for a blank inside the code); trailing
// blanks are left out: "A000", "Z00", "A09+0", "A0_1". The raw form
// "A00#1600" gives any suffix number.
// An act code: four upper-case letters and four digits, "AAFA0010"; the raw
// form "AAF#32,10" gives key byte 0 and the 16-bit number.

// Parses a diagnosis code; false when it is not written as above.
bool ParseDiagCode(std::string_view text, int* prefix, int* suffix_number);
// The code text of a key ("A09+0", "A00#1600" for a suffix number without
// suffix).
std::string DiagCodeText(int prefix, int suffix_number);
// The six characters a summary holds for a key, trailing blanks included;
// empty when no suffix has that number.
std::string DiagCodeField(int prefix, int suffix_number);

bool ParseActCode(std::string_view text, int* prefix, uint8_t* letter, uint16_t* number);
std::string ActCodeText(int prefix, uint8_t letter, uint16_t number);

// Convenience for tests and generators: adds a code with its record (the
// first attribute byte is the category). False when the code is malformed.
bool AddDiagCode(DiagTableModel* model, std::string_view code, uint8_t position_bits,
                 std::vector<uint8_t> attributes);
bool AddActCode(ActTableModel* model, std::string_view code, uint8_t act_class);

}  // namespace grulo

#endif  // GRULO_AUTHORING_TABLE_WRITER_H_
