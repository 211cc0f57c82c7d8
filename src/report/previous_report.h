// An earlier report page of grulo report (last week's), read back for the
// comparison on the new page: the counters of its cards (data-counter and
// data-value) and the count of each group bar (data-group and data-count),
// the attributes a page carries for tools (docs/report.md).

#ifndef GRULO_REPORT_PREVIOUS_REPORT_H_
#define GRULO_REPORT_PREVIOUS_REPORT_H_

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "base/status.h"

namespace grulo {

struct PreviousReport {
  std::string path;                        // for the page, as given
  std::map<std::string, int64_t> counters;  // "NbLus": 3000, ...
  std::map<std::string, int64_t> groups;    // "01-020": 12, ...
};

// Reads `html`, the page at `path`. kInvalidArgument, naming the path, when
// it is no page of grulo report or carries no NbLus card.
Status ParsePreviousReport(std::string_view path, std::string_view html, PreviousReport* previous);

}  // namespace grulo

#endif  // GRULO_REPORT_PREVIOUS_REPORT_H_
