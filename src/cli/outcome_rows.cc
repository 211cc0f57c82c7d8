#include "cli/outcome_rows.h"

#include "explain/explanation.h"
#include "explain/json_writer.h"
#include "tables/open_tables.h"
#include "text/cp1252_text.h"

namespace grulo {
namespace {

void AppendNumbers(const std::vector<int16_t>& numbers, std::string_view separator,
                   std::string* out) {
  for (size_t i = 0; i < numbers.size(); ++i) {
    if (i > 0) *out += separator;
    *out += std::to_string(numbers[i]);
  }
}

}  // namespace

const std::string_view kOutcomeCsvHeader =
    "line,format,category,number,return,version,blocking,non_blocking\n";

void SortErrorNumbers(const ErrorList& list, ErrorNumbers* numbers) {
  numbers->blocking.clear();
  numbers->non_blocking.clear();
  for (int i = 0; i < list.ErrorCount && i < kErrorListSize; ++i) {
    const int16_t e = list.entries[static_cast<size_t>(i)];
    if (e == 0) continue;
    (IsNonBlocking(e) ? numbers->non_blocking : numbers->blocking).push_back(e);
  }
}

std::string BlankSeparated(const std::vector<int16_t>& numbers) {
  std::string text;
  AppendNumbers(numbers, " ", &text);
  return text;
}

std::string CsvField(std::string_view utf8) {
  if (utf8.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(utf8);
  std::string field = "\"";
  for (char c : utf8) {
    if (c == '"') field += '"';
    field += c;
  }
  return field += '"';
}

void AppendJsonRow(int64_t line_number, const LineOutcome& outcome, ErrorNumbers* numbers,
                   std::string* out) {
  SortErrorNumbers(outcome.errors, numbers);
  const bool summary = outcome.format == LineFormat::kWellFormed;
  auto number = [&](int16_t value) { *out += summary ? std::to_string(value) : "null"; };
  *out += "{\"line\": " + std::to_string(line_number) + ", \"format\": \"";
  *out += FormatName(outcome.format);
  *out += "\", \"category\": ";
  number(outcome.result.GroupCategory);
  *out += ", \"number\": ";
  number(outcome.result.GroupNumber);
  *out += ", \"return\": ";
  number(outcome.result.GroupReturn);
  *out += ", \"version\": ";
  *out += summary ? JsonQuoted(Cp1252ToUtf8(VersionView(outcome.version))) : "null";
  *out += ", \"blocking\": [";
  AppendNumbers(numbers->blocking, ", ", out);
  *out += "], \"non_blocking\": [";
  AppendNumbers(numbers->non_blocking, ", ", out);
  *out += "]}\n";
}

void AppendCsvRow(int64_t line_number, const LineOutcome& outcome, ErrorNumbers* numbers,
                  std::string* out) {
  SortErrorNumbers(outcome.errors, numbers);
  *out += std::to_string(line_number);
  *out += ',';
  *out += FormatName(outcome.format);
  if (outcome.format == LineFormat::kWellFormed) {
    *out += ',' + std::to_string(outcome.result.GroupCategory) + ',' +
            std::to_string(outcome.result.GroupNumber) + ',' +
            std::to_string(outcome.result.GroupReturn) + ',' +
            CsvField(Cp1252ToUtf8(VersionView(outcome.version)));
  } else {
    *out += ",,,,";
  }
  *out += ',';
  AppendNumbers(numbers->blocking, " ", out);
  *out += ',';
  AppendNumbers(numbers->non_blocking, " ", out);
  *out += '\n';
}

}  // namespace grulo
