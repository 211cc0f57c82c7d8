// The working record: the normalised 297-character copy of a summary that the
// field checks, the derived values and the node tests read.

#ifndef GRULO_RECORD_WORKING_RECORD_H_
#define GRULO_RECORD_WORKING_RECORD_H_

#include <array>
#include <string_view>

#include "record/summary_layout.h"

namespace grulo {

struct WorkingRecord {
  std::array<char, kWorkingRecordLength> bytes{};

  std::string_view Field(FieldRef f) const {
    return std::string_view(bytes.data() + f.offset, f.length);
  }
  // Diagnosis slot i (0 to 22), 6 characters.
  std::string_view Diag(int i) const {
    return std::string_view(bytes.data() + wr_field::kDiagOffset + kDiagCodeLength * i,
                            kDiagCodeLength);
  }
  // Duration number j, counted from 1 (1 to 12), 4 characters.
  std::string_view Duration(int j) const {
    return std::string_view(
        bytes.data() + wr_field::kDurations.offset + kDurationLength * (j - 1),
        kDurationLength);
  }
  void Clear() { bytes.fill('\0'); }
};

// Builds the working record from a well-formed summary line (343 + 8 x n
// characters): the identification area is copied unchanged, each diagnosis
// slot keeps its first 6 characters with trailing '+' signs at positions 5
// down to 2 turned into blanks, and the area behind the diagnoses moves 46
// characters forward. All 297 characters are written, so the record needs no
// clearing before. A shorter line leaves the missing characters as NUL bytes;
// the driver never hands one over.
void BuildWorkingRecord(std::string_view line, WorkingRecord* record);

// The '+' rule of one 6-character diagnosis code: positions 5, 4, 3 and 2, in
// this order, lose a '+' until the first position that holds something else.
void NormaliseDiagCode(char code[kDiagCodeLength]);

}  // namespace grulo

#endif  // GRULO_RECORD_WORKING_RECORD_H_
