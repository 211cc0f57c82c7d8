// The act table lookup: an 8-character CCAM act code (four letters, four
// digits) to its class byte.
//
// The first three letters select, through a direct index of 17576 16-bit
// range ends, a range of 4-byte entries; the first entry of the range whose
// first three bytes equal the code's search key gives the class (byte 3).
// Every read is checked against the file: a range that is inconsistent or not
// held in full by the file means "not found".

#ifndef GRULO_TABLES_ACT_TABLE_H_
#define GRULO_TABLES_ACT_TABLE_H_

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>

#include "summary/summary_state.h"
#include "tables/open_tables.h"
#include "tables/table_layout.h"

namespace grulo {

// The prefix number of the first three characters, each upper-cased and taken
// as an unsigned byte minus 'A': c0 x 676 + c1 x 26 + c2. AAA is 0 and ZZZ is
// 17575; a non-letter shifts the number (a blank or digit makes it negative).
// Missing characters count as blanks.
int32_t ActPrefixIndex(std::string_view code);

// The three bytes searched for: the fourth character minus 'A' (not
// upper-cased, so a lower-case letter gives 32 to 57), then n / 256 and
// n % 256 (truncating), n being the number read from the four digit
// characters (white space skipped, an optional sign, digits up to the first
// other character, 0 without digits).
std::array<uint8_t, 3> ActSearchKey(std::string_view code);

// The native index of an open table (its file and index offset set), or null
// when the file does not hold the entries of its usable ranges in one piece.
std::unique_ptr<const ActCodeIndex> BuildActCodeIndex(const ActTable& table);

// Sets state->ActClass[k] to the class of the code when the code is found and
// leaves it unchanged otherwise: a prefix outside 0 to 17575, an empty range,
// an inconsistent range (end below start, more than 16383 entries, an index
// entry or an entry not held by the file) or no matching entry. Of two
// matching entries the first one wins. The native index is used when it was
// built from the table's current index offset. Allocates nothing.
void LookupAct(const ActTable& table, std::string_view code, int k, SummaryState* state);

}  // namespace grulo

#endif  // GRULO_TABLES_ACT_TABLE_H_
