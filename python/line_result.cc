#include "line_result.h"

#include <functional>

namespace grulo::python {

size_t LineResult::Hash() const {
  size_t h = std::hash<int64_t>()(line_number);
  auto mix = [&h](size_t v) { h ^= v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2); };
  mix(static_cast<size_t>(format));
  mix(static_cast<size_t>(category) << 32 ^ static_cast<size_t>(number) << 16 ^
      static_cast<size_t>(return_code));
  mix(std::hash<std::string_view>()(version));
  for (int16_t e : errors) mix(static_cast<size_t>(e));
  mix(std::hash<std::string_view>()(grp_line));
  mix(std::hash<std::string_view>()(err_entry));
  return h;
}

LineResultMaker::LineResultMaker() : scratch_(OutputFile::InMemory()) {}

LineResult LineResultMaker::Make(int64_t line_number, std::string_view text, uint64_t length,
                                 const LineOutcome& outcome) {
  LineResult r;
  r.line_number = line_number;
  r.format = static_cast<int>(outcome.format);
  r.category = outcome.result.GroupCategory;
  r.number = outcome.result.GroupNumber;
  r.return_code = outcome.result.GroupReturn;
  r.blocked = outcome.blocked();
  r.version = std::string(VersionView(outcome.version));
  const ErrorList& list = outcome.errors;
  for (int i = 0; i < list.ErrorCount && i < kErrorListSize; ++i) {
    if (list.entries[i] != 0) r.errors.push_back(list.entries[i]);
  }
  r.has_grp_line = outcome.has_grp_line();
  scratch_->ClearContents();
  WriteGrpLine(text, outcome, &storage_.buffer, scratch_.get());
  r.grp_line = std::string(scratch_->contents());
  scratch_->ClearContents();
  WriteErrEntry(line_number, text, length, outcome, &storage_, scratch_.get());
  r.err_entry = std::string(scratch_->contents());
  return r;
}

}  // namespace grulo::python
