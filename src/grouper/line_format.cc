#include "grouper/line_format.h"

#include "record/summary_layout.h"
#include "text/number_text.h"

namespace grulo {

std::string_view FieldText(std::string_view text, FieldRef field) {
  const size_t at = static_cast<size_t>(field.offset);
  if (field.offset < 0 || field.length < 0 || at >= text.size()) return {};
  return text.substr(at, static_cast<size_t>(field.length));
}

LineFormat RecognizeFormat(std::string_view text, uint64_t length) {
  if (length < kMinReadableLength) return LineFormat::kUnreadable;
  std::string_view format_no =
      FieldText(text, line_field::kFormatNo);
  if (format_no != "M04" && format_no != "MA4") return LineFormat::kUnknownFormat;
  if (length < static_cast<uint64_t>(kSummaryBaseLength) || length > kMaxLineLength) {
    return LineFormat::kSizeProblem;
  }
  int64_t act_count =
      ReadNumber(FieldText(text, line_field::kActCount));
  if (static_cast<int64_t>(length) != kSummaryBaseLength + 8 * act_count) {
    return LineFormat::kSizeProblem;
  }
  return LineFormat::kWellFormed;
}

}  // namespace grulo
