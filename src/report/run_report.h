// What a run did with its input, gathered line by line for a report: the
// counters, the groups, the error numbers and the summaries they hit, the
// format problems, the failed walks, the table problems and the first
// rejected summaries. The batch can feed it while it runs (one call per
// line); RunOutputsReader feeds it from a run's input and outputs
// afterwards. Memory stays bounded whatever the size of the input.

#ifndef GRULO_REPORT_RUN_REPORT_H_
#define GRULO_REPORT_RUN_REPORT_H_

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "checks/error_list.h"
#include "checks/error_number.h"
#include "grouper/line_outcome.h"
#include "grulo/result.h"
#include "tables/open_tables.h"

namespace grulo {

// Where the run's files are and when it ran; texts for a person (paths in
// the file system's own bytes, shown as UTF-8).
struct RunInfo {
  std::string input_path;
  std::string grp_path;
  std::string err_path;
  std::string config_path;  // empty when the report was made without one
  std::string run_date;     // "2026-12-07 14:03", or empty when unknown
};

class RunReport {
 public:
  // The rejected summaries kept with their errors, and the line numbers kept
  // per kind of format problem or table problem.
  static constexpr size_t kRejectedKept = 50;
  static constexpr size_t kLinesKept = 10;

  explicit RunReport(RunInfo info) : info_(std::move(info)) {}

  // A line that the format recognition refused (`text` holds its first
  // characters, `length` its length).
  void AddFormatProblem(int64_t line_number, LineFormat format, std::string_view text,
                        uint64_t length);

  // A well-formed summary and what its grouping gave: its .grp version and
  // result, and its error list in check order.
  void AddSummary(int64_t line_number, std::string_view text, std::string_view version,
                  const GroupResult& result, const ErrorList& errors);

  // The same with the error numbers already sorted into the blocking and the
  // non-blocking ones, as an .err entry lists them.
  void AddSummary(int64_t line_number, std::string_view text, std::string_view version,
                  const GroupResult& result, std::span<const int16_t> blocking,
                  std::span<const int16_t> non_blocking);

  // A summary stopped by a table problem, with the message the grouping
  // wrote into the .err file for it (without its line end). Its result is
  // 0, 0 and 99 or 9 and its .grp line is written like any other.
  void AddTableProblem(int64_t line_number, std::string_view version, int16_t status,
                       std::string_view message);

  // The counters the run wrote into its configuration, to set beside those
  // counted here.
  void SetWrittenCounters(const RunCounters& counters) { written_counters_ = counters; }

  struct GroupCount {
    int64_t count = 0;
    std::map<int16_t, int64_t> by_return;  // return code: count
  };
  struct ErrorCount {
    int64_t summaries = 0;    // summaries that have the error once at least
    int64_t occurrences = 0;  // every time it is listed
  };
  struct LinesOfKind {
    int64_t count = 0;
    std::vector<int64_t> first_lines;  // at most kLinesKept
  };
  struct RejectedSummary {
    int64_t line_number = 0;
    std::string stay_no, week_no, unit_no;  // Windows-1252, as in the line
    std::vector<int16_t> blocking;
    std::vector<int16_t> non_blocking;
  };

  const RunInfo& info() const { return info_; }
  // The counters as the batch counts them, from the lines fed.
  const RunCounters& counters() const { return counters_; }
  const std::optional<RunCounters>& written_counters() const { return written_counters_; }
  // Lines with a .grp line: well-formed and without blocking error.
  int64_t grp_lines() const { return grp_lines_; }
  int64_t grouped() const { return grouped_; }  // reached a leaf
  // Of those, the summaries with non-blocking errors.
  int64_t grouped_with_errors() const { return grouped_with_errors_; }
  // The tree versions on the .grp lines, with their counts.
  const std::map<std::string, int64_t>& versions() const { return versions_; }
  // By (category, number) of the leaf.
  const std::map<std::pair<int16_t, int16_t>, GroupCount>& groups() const { return groups_; }
  const std::map<int16_t, ErrorCount>& errors() const { return errors_; }
  const std::map<LineFormat, LinesOfKind>& format_problems() const { return format_problems_; }
  // Failed walks by code (1 to 3).
  const std::map<int16_t, LinesOfKind>& failed_walks() const { return failed_walks_; }
  // Table problems by message.
  const std::map<std::string, LinesOfKind>& table_problems() const { return table_problems_; }
  const std::vector<RejectedSummary>& rejected() const { return rejected_; }
  int64_t rejected_count() const { return counters_.NbErrBloq; }

 private:
  void Note(LinesOfKind* kind, int64_t line_number);
  void CountGrpLine(std::string_view version);

  RunInfo info_;
  RunCounters counters_;
  std::optional<RunCounters> written_counters_;
  int64_t grp_lines_ = 0;
  int64_t grouped_ = 0;
  int64_t grouped_with_errors_ = 0;
  std::map<std::string, int64_t> versions_;
  std::map<std::pair<int16_t, int16_t>, GroupCount> groups_;
  std::map<int16_t, ErrorCount> errors_;
  std::map<LineFormat, LinesOfKind> format_problems_;
  std::map<int16_t, LinesOfKind> failed_walks_;
  std::map<std::string, LinesOfKind> table_problems_;
  std::vector<RejectedSummary> rejected_;
};

}  // namespace grulo

#endif  // GRULO_REPORT_RUN_REPORT_H_
