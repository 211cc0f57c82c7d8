// In-memory models of the three table files: what the text sources read into,
// what the writer turns into bytes and what the dump reads a file back into.
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

#ifndef GRULO_AUTHORING_TABLE_MODEL_H_
#define GRULO_AUTHORING_TABLE_MODEL_H_

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace grulo {

// Raw bytes that the program never reads, and the placement of the sections.
// A model whose layout is empty is written the tool's way (see
// table_writer.h); a layout taken from a file written elsewhere lets the
// dump of that file build back to the same bytes.
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
// Convenience for tests and generators: adds a code written as code_text.h
// describes, with its record (the first attribute byte is the category) or
// its class. False, and nothing added, when the code is malformed.

bool AddDiagCode(DiagTableModel* model, std::string_view code, uint8_t position_bits,
                 std::vector<uint8_t> attributes);
bool AddActCode(ActTableModel* model, std::string_view code, uint8_t act_class);

}  // namespace grulo

#endif  // GRULO_AUTHORING_TABLE_MODEL_H_
