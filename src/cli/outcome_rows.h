// One line's outcome as a row for programs: a JSON object or a CSV row with
// the columns of grulo.read_frame (line, format, category, number, return,
// version, blocking, non_blocking), what `grulo group --format jsonl|csv`
// writes; and the error numbers of an outcome in its .err entry's two lists,
// which `grulo compare` compares. Rows are UTF-8 and end with a line feed.

#ifndef GRULO_CLI_OUTCOME_ROWS_H_
#define GRULO_CLI_OUTCOME_ROWS_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "grouper/line_outcome.h"

namespace grulo {

// The error numbers of the outcome, in check order, split as the .err
// entry's blocking and non-blocking lists (zeros skipped, repeats kept).
struct ErrorNumbers {
  std::vector<int16_t> blocking;
  std::vector<int16_t> non_blocking;
  bool operator==(const ErrorNumbers&) const = default;
};
void SortErrorNumbers(const ErrorList& list, ErrorNumbers* numbers);

// The numbers separated by blanks: "13 47".
std::string BlankSeparated(const std::vector<int16_t>& numbers);

// A CSV field: as it is, or between double quotes (those inside doubled)
// when it holds a comma, a double quote, a carriage return or a line feed.
std::string CsvField(std::string_view utf8);

// The header of the CSV rows: "line,format,category,number,return,version,
// blocking,non_blocking" and a line feed.
extern const std::string_view kOutcomeCsvHeader;

// The row of line `line_number`. For a line that is not a summary the
// three numbers and the version are null (JSON) or empty (CSV) and the
// lists empty; the format is named as an explanation names it (FormatName,
// explain/explanation.h). The version is the tree table's, decoded from Windows-1252
// byte for byte ("" while the tree table cannot be opened). `numbers` is
// scratch storage, kept between calls.
void AppendJsonRow(int64_t line_number, const LineOutcome& outcome, ErrorNumbers* numbers,
                   std::string* out);
void AppendCsvRow(int64_t line_number, const LineOutcome& outcome, ErrorNumbers* numbers,
                  std::string* out);

}  // namespace grulo

#endif  // GRULO_CLI_OUTCOME_ROWS_H_
