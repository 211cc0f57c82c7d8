#include "driver/batch_driver.h"

#include <charconv>

#include "record/group_result.h"
#include "record/summary_layout.h"
#include "text/number_text.h"

namespace grulo {
namespace {

static_assert(LineReader::kKeptLength >= kSummaryBaseLength,
              "format recognition reads up to the act count of a long line");

// Appends the value as printf's "%0<width>d" writes it: a minus sign first,
// then zeros up to the width, then the digits; wider values in full.
char* AppendZeroPadded(int value, int width, char* out) {
  char digits[16];
  unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
  char* end = std::to_chars(digits, digits + sizeof digits, magnitude).ptr;
  int length = static_cast<int>(end - digits) + (value < 0 ? 1 : 0);
  if (value < 0) *out++ = '-';
  for (int i = length; i < width; ++i) *out++ = '0';
  for (const char* d = digits; d < end; ++d) *out++ = *d;
  return out;
}

}  // namespace

void BatchRun::HandleLine(const InputLine& line) {
  ++NbLus;
  LineFormat format = RecognizeFormat(line.text, line.length);
  if (format == LineFormat::kWellFormed) {
    GroupLine(line.text);
    return;
  }
  ++NbErrForm;
  WriteRecordHeader();
  if (line.length >= kIdentificationLength) WriteIdentification(line.text);
  WriteFormatProblem(format, line);
}

void BatchRun::WriteRecordHeader() {
  err_->Printf("====================================Enregistrement n\xB0 %lld\n",
               static_cast<long long>(NbLus));
}

void BatchRun::WriteIdentification(std::string_view text) {
  std::string_view stay = FieldText(text, line_field::kStayNo);
  std::string_view week = FieldText(text, line_field::kWeekNo);
  std::string_view unit = FieldText(text, line_field::kUnitNo);
  err_->Printf("N\xB0 de SSR / N\xB0 de semaine / N\xB0 UM : %7.*s / %6.*s / %4.*s\n",
               static_cast<int>(stay.size()), stay.data(), static_cast<int>(week.size()),
               week.data(), static_cast<int>(unit.size()), unit.data());
}

void BatchRun::WriteFormatProblem(LineFormat format, const InputLine& line) {
  switch (format) {
    case LineFormat::kSizeProblem:
      err_->Printf("   -> Format incorrect : Taille incompatible : %llu \n",
                   static_cast<unsigned long long>(line.length));
      break;
    case LineFormat::kUnknownFormat: {
      std::string_view format_no = FieldText(line.text, line_field::kFormatNo);
      err_->Printf("   -> Format incorrect : N\xB0 de format inconnu : %3.*s \n",
                   static_cast<int>(format_no.size()), format_no.data());
      break;
    }
    case LineFormat::kUnreadable:
      err_->Write("   -> Impossible de lire le format\n");
      break;
    case LineFormat::kWellFormed:
      break;
  }
}

void BatchRun::GroupLine(std::string_view text) {
  GroupResult result;
  VersionText version{};
  // The pipeline clears the list itself; clearing here too keeps a pipeline
  // that stops early from reporting the previous summary's errors.
  ClearErrors(&errors_);
  const int16_t table_status =
      grouper_.GroupSummary(text, rep_tab_, &result.GroupCategory, &result.GroupNumber,
                            &result.GroupReturn, &errors_, err_, &version);
  lists_.Sort(errors_);
  bool blocking = !lists_.blocking().empty();
  bool non_blocking = !lists_.non_blocking().empty();
  if (table_status != kTableOpened) table_outcomes.Count(table_status, version);
  if (blocking) {
    ++NbErrBloq;
  } else if (non_blocking) {
    ++NbErrNonBloq;
  }
  if (blocking || non_blocking) {
    WriteRecordHeader();
    WriteIdentification(text);
    err_->Write("\t->  Liste des erreurs bloquantes: ");
    err_->Write(lists_.blocking());
    err_->Write("\n\t->  Liste des erreurs non bloquantes: ");
    err_->Write(lists_.non_blocking());
    err_->Write("\n");
  }
  if (!blocking) WriteGrpLine(result, version, text);
}

void BatchRun::WriteGrpLine(const GroupResult& result, const VersionText& version,
                            std::string_view text) {
  // "%2.2s%02d%03d%02dM1%c%s\n": the version right-aligned in two places.
  std::string_view v = VersionView(version);
  char prefix[48];
  char* p = prefix;
  for (size_t i = v.size(); i < 2; ++i) *p++ = ' ';
  for (char c : v) *p++ = c;
  p = AppendZeroPadded(result.GroupCategory, 2, p);
  p = AppendZeroPadded(result.GroupNumber, 3, p);
  p = AppendZeroPadded(result.GroupReturn, 2, p);
  *p++ = 'M';
  *p++ = '1';
  *p++ = '4';
  grp_->Write(std::string_view(prefix, static_cast<size_t>(p - prefix)));
  grp_->Write(text);
  grp_->Write("\n");
  ++grp_lines;
}

void ErrorListTexts::Sort(const ErrorList& list) {
  blocking_size_ = 0;
  non_blocking_size_ = 0;
  for (int16_t number : list.entries) {
    if (number == 0) continue;
    bool non_blocking = IsNonBlocking(number);
    char* text = non_blocking ? non_blocking_.data() : blocking_.data();
    size_t& size = non_blocking ? non_blocking_size_ : blocking_size_;
    auto [end, ec] = std::to_chars(text + size, text + kCapacity - 1, number);
    (void)ec;  // 100 entries of at most 6 characters and a comma always fit
    *end = ',';
    size = static_cast<size_t>(end - text) + 1;
  }
}

}  // namespace grulo
