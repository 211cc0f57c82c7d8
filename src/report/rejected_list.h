// The list of the summaries with an error, for a spreadsheet: one CSV row
// per well-formed summary whose checks found an error (blocking or not), in
// input order, written as the run's outcomes come, so that memory does not
// grow with the input. UTF-8, rows ended by CR LF (RFC 4180), a header row
// first:
//
//   line,establishment,stay,week,unit,blocking,non_blocking
//   2,"750000001","0001234","112009","A123","16 77","17"
//
// The identification fields are the line's own characters (Windows-1252,
// written as UTF-8); a field that starts with =, +, -, @, a tab or a CR
// gets a ' before it, so that no spreadsheet takes it for a formula. The
// error numbers are separated by blanks, in the order of the .err lists.

#ifndef GRULO_REPORT_REJECTED_LIST_H_
#define GRULO_REPORT_REJECTED_LIST_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "grouper/line_outcome.h"
#include "io/output_file.h"

namespace grulo {

class RejectedList final : public LineObserver {
 public:
  static constexpr std::string_view kHeader =
      "line,establishment,stay,week,unit,blocking,non_blocking";

  // Writes the header row into `out`, which must outlive the list.
  explicit RejectedList(OutputFile* out);

  void OnLine(int64_t line_number, std::string_view text, uint64_t length,
              const LineOutcome& outcome) override;

  // The rows written, the header left out.
  int64_t rows() const { return rows_; }

 private:
  OutputFile* out_;
  std::string row_;
  int64_t rows_ = 0;
};

// Tells every line and the end of the run to two observers, in turn.
class BothObservers final : public LineObserver {
 public:
  BothObservers(LineObserver* first, LineObserver* second) : first_(first), second_(second) {}
  void OnLine(int64_t line_number, std::string_view text, uint64_t length,
              const LineOutcome& outcome) override {
    first_->OnLine(line_number, text, length, outcome);
    second_->OnLine(line_number, text, length, outcome);
  }
  void OnEnd(const RunCounters& counters, const TableSession* tables) override {
    first_->OnEnd(counters, tables);
    second_->OnEnd(counters, tables);
  }

 private:
  LineObserver* first_;
  LineObserver* second_;
};

}  // namespace grulo

#endif  // GRULO_REPORT_REJECTED_LIST_H_
