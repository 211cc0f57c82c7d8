#include "record/working_record.h"

#include <cstring>

namespace grulo {

void NormaliseDiagCode(char code[kDiagCodeLength]) {
  for (int p = kDiagCodeLength - 1; p >= 2; --p) {
    if (code[p] != '+') break;
    code[p] = ' ';
  }
}

void BuildWorkingRecord(std::string_view line, WorkingRecord* record) {
  // A line shorter than a summary is read as if NUL bytes followed it.
  char padded[kSummaryBaseLength];
  if (line.size() < static_cast<size_t>(kSummaryBaseLength)) {
    std::memset(padded, 0, sizeof padded);
    line.copy(padded, line.size());
    line = std::string_view(padded, sizeof padded);
  }
  const char* in = line.data();
  char* out = record->bytes.data();
  std::memcpy(out, in, wr_field::kDiagOffset);
  for (int i = 0; i < kDiagSlotCount; ++i) {
    char* slot = out + wr_field::kDiagOffset + kDiagCodeLength * i;
    std::memcpy(slot, in + line_field::kDiagOffset + line_field::kDiagStride * i,
                kDiagCodeLength);
    NormaliseDiagCode(slot);
  }
  std::memcpy(out + wr_field::kFiller2.offset, in + line_field::kFiller2.offset,
              kSummaryBaseLength - line_field::kFiller2.offset);
}

}  // namespace grulo
