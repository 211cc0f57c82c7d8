#include "record/working_record.h"

#include <algorithm>
#include <cstring>

namespace grulo {

void NormaliseDiagCode(char code[kDiagCodeLength]) {
  for (int p = kDiagCodeLength - 1; p >= 2; --p) {
    if (code[p] != '+') break;
    code[p] = ' ';
  }
}

namespace {

// Copies line[from, from + n) to record[to, ...), as much of it as the line has.
void CopyPart(std::string_view line, int from, int n, char* to) {
  if (from >= static_cast<int>(line.size())) return;
  size_t avail = std::min<size_t>(n, line.size() - from);
  std::memcpy(to, line.data() + from, avail);
}

}  // namespace

void BuildWorkingRecord(std::string_view line, WorkingRecord* record) {
  char* out = record->bytes.data();
  std::memset(out, 0, kWorkingRecordLength);
  CopyPart(line, 0, wr_field::kDiagOffset, out);
  for (int i = 0; i < kDiagSlotCount; ++i) {
    char* slot = out + wr_field::kDiagOffset + kDiagCodeLength * i;
    CopyPart(line, line_field::kDiagOffset + line_field::kDiagStride * i, kDiagCodeLength,
             slot);
    NormaliseDiagCode(slot);
  }
  CopyPart(line, line_field::kFiller2.offset,
           kSummaryBaseLength - line_field::kFiller2.offset, out + wr_field::kFiller2.offset);
}

}  // namespace grulo
