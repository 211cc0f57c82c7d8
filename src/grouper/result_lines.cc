#include "grouper/result_lines.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <utility>

#include "grouper/line_format.h"
#include "record/summary_layout.h"

namespace grulo {
namespace {

// Appends the value as printf's "%0<width>d" writes it: a minus sign first,
// then zeros up to the width, then the digits; wider values in full.
char* AppendZeroPadded(int value, int width, char* out) {
  if (value >= 0 && value < 1000 && width == 3) {  // the usual numbers: exactly the width
    *out++ = static_cast<char>('0' + value / 100);
    value %= 100;
    width = 2;
  }
  if (value >= 0 && value < 100 && width == 2) {
    *out++ = static_cast<char>('0' + value / 10);
    *out++ = static_cast<char>('0' + value % 10);
    return out;
  }
  char digits[16];
  unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
  char* end = std::to_chars(digits, digits + sizeof digits, magnitude).ptr;
  int length = static_cast<int>(end - digits) + (value < 0 ? 1 : 0);
  if (value < 0) *out++ = '-';
  for (int i = length; i < width; ++i) *out++ = '0';
  for (const char* d = digits; d < end; ++d) *out++ = *d;
  return out;
}

std::string_view Formatted(int written, ResultLineBuffer* buffer) {
  if (written < 0) return {};
  const size_t size = static_cast<size_t>(written);
  return {buffer->bytes.data(), size < buffer->bytes.size() ? size : buffer->bytes.size() - 1};
}

int Width(std::string_view text) { return static_cast<int>(text.size()); }

char* Append(std::string_view text, char* out) {
  std::memcpy(out, text.data(), text.size());
  return out + text.size();
}

// Appends the text as printf's "%<width>.*s" writes it with the text's size
// as the precision: up to its first NUL byte, blanks before it up to the
// width.
char* AppendRightAligned(std::string_view text, int width, char* out) {
  const void* nul = std::memchr(text.data(), '\0', text.size());
  const size_t n = nul == nullptr ? text.size() : static_cast<size_t>(static_cast<const char*>(nul) - text.data());
  for (size_t i = n; i < static_cast<size_t>(width); ++i) *out++ = ' ';
  return Append(text.substr(0, n), out);
}

}  // namespace

void ErrorListTexts::Sort(const ErrorList& list) {
  blocking_size_ = 0;
  non_blocking_size_ = 0;
  // Every entry is read, zeros skipped. The entries from ErrorCount on hold 0
  // by the rule of the list, so that the reading usually stops there; a list
  // filled by hand is read to its end.
  int end = std::clamp<int>(list.ErrorCount, 0, kErrorListSize);
  uint16_t tail = 0;
  for (int i = end; i < kErrorListSize; ++i) tail |= static_cast<uint16_t>(list.entries[i]);
  if (tail != 0) end = kErrorListSize;
  for (int i = 0; i < end; ++i) {
    const int16_t number = list.entries[i];
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

std::string_view GrpLinePrefix(const VersionText& version, const GroupResult& result,
                               ResultLineBuffer* buffer) {
  std::string_view v = VersionView(version);
  char* start = buffer->bytes.data();
  char* p = start;
  for (size_t i = v.size(); i < 2; ++i) *p++ = ' ';
  for (char c : v) *p++ = c;
  p = AppendZeroPadded(result.GroupCategory, 2, p);
  p = AppendZeroPadded(result.GroupNumber, 3, p);
  p = AppendZeroPadded(result.GroupReturn, 2, p);
  *p++ = 'M';
  *p++ = '1';
  *p++ = '4';
  return {start, static_cast<size_t>(p - start)};
}

std::string_view RecordHeaderLine(int64_t line_number, ResultLineBuffer* buffer) {
  char* start = buffer->bytes.data();
  char* p = Append("====================================Enregistrement n\xB0 ", start);
  p = std::to_chars(p, start + buffer->bytes.size(), line_number).ptr;  // 20 characters at most
  *p++ = '\n';
  return {start, static_cast<size_t>(p - start)};
}

std::string_view IdentificationLine(std::string_view text, ResultLineBuffer* buffer) {
  // The three fields are at most 7, 6 and 4 characters long: the line fits.
  char* start = buffer->bytes.data();
  char* p = Append("N\xB0 de SSR / N\xB0 de semaine / N\xB0 UM : ", start);
  p = AppendRightAligned(FieldText(text, line_field::kStayNo), 7, p);
  p = Append(" / ", p);
  p = AppendRightAligned(FieldText(text, line_field::kWeekNo), 6, p);
  p = Append(" / ", p);
  p = AppendRightAligned(FieldText(text, line_field::kUnitNo), 4, p);
  *p++ = '\n';
  return {start, static_cast<size_t>(p - start)};
}

std::string_view FormatProblemLine(LineFormat format, std::string_view text, uint64_t length,
                                   ResultLineBuffer* buffer) {
  switch (format) {
    case LineFormat::kSizeProblem:
      return Formatted(std::snprintf(buffer->bytes.data(), buffer->bytes.size(),
                                     "   -> Format incorrect : Taille incompatible : %llu \n",
                                     static_cast<unsigned long long>(length)),
                       buffer);
    case LineFormat::kUnknownFormat: {
      std::string_view format_no = FieldText(text, line_field::kFormatNo);
      return Formatted(std::snprintf(buffer->bytes.data(), buffer->bytes.size(),
                                     "   -> Format incorrect : N\xB0 de format inconnu : %3.*s \n",
                                     Width(format_no), format_no.data()),
                       buffer);
    }
    case LineFormat::kUnreadable:
      return "   -> Impossible de lire le format\n";
    case LineFormat::kWellFormed:
      break;
  }
  return {};
}

std::string ErrEntryText(int64_t line_number, std::string_view text, uint64_t length,
                         const LineOutcome& outcome) {
  ResultLineStorage storage;
  TextLines out;
  WriteErrEntry(line_number, text, length, outcome, &storage, &out);
  return std::move(out.text());
}

std::string GrpLineText(std::string_view text, const LineOutcome& outcome) {
  ResultLineBuffer buffer;
  TextLines out;
  WriteGrpLine(text, outcome, &buffer, &out);
  return std::move(out.text());
}

std::string_view TableProblemLine(const TableProblem& problem, ResultLineBuffer* buffer) {
  const bool cannot_open = problem.status != kTableVersionsDiffer;
  std::string_view message;
  switch (problem.table) {
    case TableRole::kTree:
      message = "Pb d'ouverture des tables arbre: ";
      break;
    case TableRole::kActs:
      message = cannot_open ? "Pb d'ouverture de la table des actes CCAM: "
                            : "Version des tables incompatible (Arbre - Actes) ";
      break;
    case TableRole::kDiags:
      message = cannot_open ? "Pb d'ouverture des tables des diags : "
                            : "Version des tables incompatible (Arbre - Diags) ";
      break;
  }
  char* start = buffer->bytes.data();
  char* p = Append(message, start);
  if (cannot_open) p = std::to_chars(p, start + buffer->bytes.size(), problem.status).ptr;
  *p++ = '\n';
  return {start, static_cast<size_t>(p - start)};
}

}  // namespace grulo
