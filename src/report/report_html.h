// The report of a run as one self-contained HTML page: no script, no
// network, the charts as inline SVG, a print style sheet. docs/report.md
// describes its sections.

#ifndef GRULO_REPORT_REPORT_HTML_H_
#define GRULO_REPORT_REPORT_HTML_H_

#include <string>
#include <string_view>
#include <vector>

#include "report/group_labels.h"
#include "report/previous_report.h"
#include "report/run_report.h"

namespace grulo {

// The page (UTF-8). `made_at` is the date and time of the report for its
// footer; `mismatches` lists, for a warning at the top, what did not match
// between the input and the outputs (empty for the batch's own report).
// Elements carry data attributes for tools: data-counter="NbLus" on each
// counter's value, class "group-bar" with data-group="01-020" and
// data-count on each bar of the group chart, class "error-row" with
// data-error on each row of the error table and class "meaning" on its
// description.
// What a page may show besides the run.
struct ReportExtras {
  // The groups' names: a bar shows its group's label after its count, and
  // carries it in data-label.
  const GroupLabels* labels = nullptr;
  // An earlier page, to compare the counters and the groups with.
  const PreviousReport* previous = nullptr;
};
std::string ReportHtml(const RunReport& report, std::string_view made_at,
                       const std::vector<std::string>& mismatches = {},
                       const ReportExtras& extras = {});

// The text with &, <, >, " and ' written as character references, in UTF-8
// whatever it holds: the bytes of a path or of grulo.ini that are not UTF-8
// are read as Windows-1252 (DisplayText, text/cp1252_text.h).
std::string HtmlEscaped(std::string_view text);

}  // namespace grulo

#endif  // GRULO_REPORT_REPORT_HTML_H_
