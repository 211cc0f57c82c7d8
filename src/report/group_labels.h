// The names a department gives its groups, for the report page: a CSV file
// (UTF-8) of rows "category,number,label", a header row "category,number,
// label" allowed first, a label in double quotes when it holds a comma or a
// quote (a quote doubled inside), rows ended by LF or CR LF, blank lines
// skipped:
//
//   category,number,label
//   1,20,Nervous system: late rehabilitation
//   225,26824,"Burns, severe"

#ifndef GRULO_REPORT_GROUP_LABELS_H_
#define GRULO_REPORT_GROUP_LABELS_H_

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "base/status.h"

namespace grulo {

// By (category, number) of the leaf.
using GroupLabels = std::map<std::pair<int16_t, int16_t>, std::string>;

// Reads the rows of `csv` into `labels`. A row without three fields, a
// number that is no integer from -32768 to 32767, an unclosed quote or a
// group given twice fails with kInvalidArgument: "<path>:<row>: ...". A
// label that is not UTF-8 is read as Windows-1252 where it is shown.
Status ParseGroupLabels(std::string_view path, std::string_view csv, GroupLabels* labels);

}  // namespace grulo

#endif  // GRULO_REPORT_GROUP_LABELS_H_
