#include "report/rejected_list.h"

#include "checks/error_list.h"
#include "grouper/line_format.h"
#include "record/summary_layout.h"
#include "text/cp1252_text.h"

namespace grulo {
namespace {

// A text field of the line, quoted, kept from being read as a formula.
void AppendQuoted(std::string_view cp1252, std::string* row) {
  const std::string text = Cp1252ToUtf8(cp1252);
  *row += '"';
  if (!text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos) {
    *row += '\'';
  }
  for (char c : text) {
    if (c == '"') *row += '"';
    *row += c;
  }
  *row += '"';
}

}  // namespace

RejectedList::RejectedList(OutputFile* out) : out_(out) {
  out_->WriteText(kHeader);
  out_->EndLine();
}

void RejectedList::OnLine(int64_t line_number, std::string_view text, uint64_t,
                          const LineOutcome& outcome) {
  if (outcome.format != LineFormat::kWellFormed) return;
  if (outcome.errors.ErrorCount <= 0) return;
  std::string blocking, non_blocking;
  for (int i = 0; i < outcome.errors.ErrorCount && i < kErrorListSize; ++i) {
    const int16_t number = outcome.errors.entries[static_cast<size_t>(i)];
    if (number == 0) continue;
    std::string& list = IsNonBlocking(number) ? non_blocking : blocking;
    if (!list.empty()) list += ' ';
    list += std::to_string(number);
  }
  if (blocking.empty() && non_blocking.empty()) return;
  row_ = std::to_string(line_number);
  for (FieldRef field : {line_field::kEstablishmentNo, line_field::kStayNo, line_field::kWeekNo,
                         line_field::kUnitNo}) {
    row_ += ',';
    AppendQuoted(FieldText(text, field), &row_);
  }
  row_ += ",\"" + blocking + "\",\"" + non_blocking + "\"";
  out_->WriteText(row_);
  out_->EndLine();
  ++rows_;
}

}  // namespace grulo
