// The diagnosis table lookup: a 6-character diagnosis code to its record,
// whose first byte becomes the slot's position flags and whose other bytes
// become the slot's attribute block.
//
// A code is a three-character prefix and a three-character suffix. The prefix
// selects, through a direct index of 2600 16-bit range ends, a range of
// 4-byte entries (suffix number, record number); the first entry of the range
// whose suffix number equals the code's gives the record. Every read is
// checked against the file: a range that is inconsistent or not held in full
// by the file means "not found", which is record 0.

#ifndef GRULO_TABLES_DIAG_TABLE_H_
#define GRULO_TABLES_DIAG_TABLE_H_

#include <cstdint>
#include <memory>
#include <string_view>

#include "record/working_record.h"
#include "summary/summary_state.h"
#include "tables/open_tables.h"
#include "tables/prefix_index.h"
#include "tables/table_layout.h"

namespace grulo {

inline constexpr int kSuffixNumberCount = 1584;  // 12 x 12 x 11 suffixes

// The prefix number of the first three characters: (first character
// upper-cased - 'A') x 100 + the number read from the next two characters
// (white space skipped, an optional sign, digits up to the first other
// character, 0 without digits). A00 is 0, Z99 is 2599; values outside 0 to
// 2599 name no prefix. Missing characters count as blanks.
int32_t DiagPrefixIndex(std::string_view code);

// The number of a three-character suffix, 0 to 1583: v(s0) x 132 + v(s1) x
// 11 + v(s2), v being 0 for a blank, d + 1 for a digit d and 11 for '+' in
// the first two positions. Any other character (a '+' in the third position
// included) ends the suffix: it and the characters after it count as blanks.
uint16_t SuffixNumber(std::string_view suffix);

// The record number of a 6-character code, 0 when the code is not found: a
// blank first character, a prefix outside 0 to 2599, an empty range, an
// inconsistent range (end below start, more than 16383 entries, an index
// entry or an entry not held by the file) or no entry with the code's suffix
// number. Of two entries with the same suffix number the first one wins.
uint16_t DiagRecordNumber(const DiagTable& table, std::string_view code);

// The native index of an open table (its file and values set), or null when
// the file does not hold the entries of its usable ranges in one piece.
std::unique_ptr<const DiagCodeIndex> BuildDiagCodeIndex(const DiagTable& table);

// Looks the code up and stores its record as slot `slot` (0 to 22): byte 0 as
// DiagPositionBits[slot], the other DiagAttrLength bytes as the attribute
// block at slot x DiagAttrLength of DiagAttr; sets state->DiagAttrLength from
// the table. A record that the file does not hold in full is replaced by
// record 0; when record 0 is not held in full either, the position flags and
// the attribute block are all 0. Allocates nothing.
void LookupDiag(const DiagTable& table, std::string_view code, int slot, SummaryState* state);

// The same for the 23 diagnosis slots of the working record, slot i taking
// Record.Diag(i): the same bytes as 23 calls of LookupDiag, in less time (the
// fallback record is found once, a blank code costs a copy, and the codes
// are looked up in the table's native index when it was built from the
// table's current values). Allocates nothing.
void LookupDiags(const DiagTable& table, const WorkingRecord& record, SummaryState* state);

}  // namespace grulo

#endif  // GRULO_TABLES_DIAG_TABLE_H_
