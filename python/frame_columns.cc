#include "frame_columns.h"

#include "checks/error_list.h"

namespace grulo::python {

void FrameColumns::OnLine(int64_t line, std::string_view, uint64_t, const LineOutcome& outcome) {
  line_number.push_back(line);
  format.push_back(static_cast<int8_t>(outcome.format));
  category.push_back(outcome.result.GroupCategory);
  number.push_back(outcome.result.GroupNumber);
  return_code.push_back(outcome.result.GroupReturn);
  version.push_back(outcome.format == LineFormat::kWellFormed
                        ? VersionIndex(VersionView(outcome.version))
                        : int16_t{-1});
  const ErrorList& list = outcome.errors;
  for (int i = 0; i < list.ErrorCount && i < kErrorListSize; ++i) {
    const int16_t e = list.entries[i];
    if (e == 0) continue;
    (IsNonBlocking(e) ? non_blocking : blocking).push_back(e);
  }
  blocking_end.push_back(static_cast<int64_t>(blocking.size()));
  non_blocking_end.push_back(static_cast<int64_t>(non_blocking.size()));
}

int16_t FrameColumns::VersionIndex(std::string_view bytes) {
  // A run has two at most: none while the tree table is not open, then its.
  for (size_t i = 0; i < versions.size(); ++i) {
    if (versions[i] == bytes) return static_cast<int16_t>(i);
  }
  versions.emplace_back(bytes);
  return static_cast<int16_t>(versions.size() - 1);
}

}  // namespace grulo::python
