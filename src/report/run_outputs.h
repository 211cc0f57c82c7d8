// A report made from a run's input and its .grp and .err texts alone, for
// the web page, which keeps no tables at hand: each line matched with what
// the outputs say of it and told to a RunReport. The .grp line's numbers can
// be read back only while each fits its column (category 0-99, number
// 0-999, return 0-99); a line where they do not is listed as a mismatch and
// left out, never given a wrong group. grulo's own reports are made from
// the outcomes (report/run_regroup.h, and the run's observer).
//
// The .err file gives, by line number, the format problem or the blocking
// and non-blocking lists of a summary, and the table messages in the order
// they were written; the .grp file gives, in input order, the line of each
// well-formed summary without blocking error, with its version and result.

#ifndef GRULO_REPORT_RUN_OUTPUTS_H_
#define GRULO_REPORT_RUN_OUTPUTS_H_

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "report/run_report.h"

namespace grulo {

class RunOutputsReader {
 public:
  // The whole texts of the run's .grp and .err files (CR LF or LF).
  RunOutputsReader(std::string_view grp_text, std::string_view err_text);

  // The next line of the input, in order (`text` its first characters,
  // `length` its length, as the batch reads it): feeds `report` with what
  // the outputs say of it.
  void AddInputLine(std::string_view text, uint64_t length, RunReport* report);

  // What did not match, one sentence each, for the report to show: a .grp
  // line that is not the summary's, .grp lines or table messages left over,
  // an entry for a line the input does not have. Empty when the outputs
  // agree with the input.
  std::vector<std::string> Mismatches() const;

 private:
  struct Entry {
    std::string format_line;
    bool has_lists = false;
    std::vector<int16_t> blocking;
    std::vector<int16_t> non_blocking;
  };

  std::vector<std::string> grp_lines_;
  size_t next_grp_ = 0;
  std::map<int64_t, Entry> entries_;
  std::vector<std::string> table_messages_;
  size_t next_table_message_ = 0;
  int64_t line_number_ = 0;
  std::vector<std::string> mismatches_;
};

// The lines of a text, each without its LF and a CR before it.
std::vector<std::string> SplitLines(std::string_view text);

// The numbers of a list text "47,13,".
std::vector<int16_t> ParseErrorList(std::string_view text);

}  // namespace grulo

#endif  // GRULO_REPORT_RUN_OUTPUTS_H_
