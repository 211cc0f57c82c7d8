// What a run did with its input, gathered from the outcome of every line as
// the batch gives it (grouper/line_outcome.h): the counters, the groups, the
// error numbers and the summaries they hit, the format problems, the failed
// walks, the table problems and the first rejected summaries. It is the
// run's LineObserver: "grulo --report" hands it to the run, "grulo report"
// to the regrouping of the run's input (report/run_regroup.h). Nothing is
// read back from the .grp and .err texts. Memory stays bounded whatever the
// size of the input.

#ifndef GRULO_REPORT_RUN_REPORT_H_
#define GRULO_REPORT_RUN_REPORT_H_

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "grouper/line_outcome.h"

namespace grulo {

// Where the run's files are and when it ran; texts for a person (paths in
// the file system's own bytes, shown as UTF-8).
struct RunInfo {
  std::string input_path;
  std::string grp_path;
  std::string err_path;
  std::string config_path;  // empty when the report was made without one
  std::string table_dir;    // RepTab, as the run used it
  std::string run_date;     // "2026-12-07 14:03", or empty when unknown
  std::string checks_date;  // the current date of the checks, "07/12/2026"; empty when unknown
};

class RunReport final : public LineObserver {
 public:
  // The rejected summaries kept with their errors, and the line numbers kept
  // per kind of format problem, failed walk or table problem.
  static constexpr size_t kRejectedKept = 50;
  static constexpr size_t kLinesKept = 10;
  // Establishments and weeks kept one by one; the lines of any further ones
  // are counted together.
  static constexpr size_t kEstablishmentsKept = 200;
  static constexpr size_t kWeeksKept = 200;

  explicit RunReport(RunInfo info) : info_(std::move(info)) {}
  // It holds pointers into its own maps: moved (the maps' elements go
  // with them), never copied.
  RunReport(RunReport&&) = default;
  RunReport& operator=(RunReport&&) = default;
  RunReport(const RunReport&) = delete;
  RunReport& operator=(const RunReport&) = delete;

  // Line `line_number` of the input (`text` its first characters, `length`
  // its length) and what the run made of it. Lines come in input order.
  void OnLine(int64_t line_number, std::string_view text, uint64_t length,
              const LineOutcome& outcome) override;
  // The end of a run that read its whole input.
  void OnEnd(const RunCounters& counters, const TableSession* tables) override;

  // The counters found in the run's configuration, to set beside those
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
  // The summaries that one table problem ended.
  struct TableProblemCount {
    std::string message;  // the .err message, Windows-1252, without its line end
    std::string reason;   // the run's account of the first: the table's path and the cause
    LinesOfKind lines;
  };
  // What became of the lines of one establishment.
  struct EstablishmentCount {
    int64_t lines = 0;
    int64_t grouped = 0;          // reached a leaf
    int64_t blocked = 0;          // NbErrBloq
    int64_t format_problems = 0;  // NbErrForm
    int64_t not_grouped = 0;      // ended by a table problem or a failed walk
  };
  struct RejectedSummary {
    int64_t line_number = 0;
    std::string stay_no, week_no, unit_no;  // Windows-1252, as in the line
    std::vector<int16_t> blocking;
    std::vector<int16_t> non_blocking;
  };

  const RunInfo& info() const { return info_; }
  // The counters as the batch counts them, from the lines seen.
  const RunCounters& counters() const { return counters_; }
  const std::optional<RunCounters>& written_counters() const { return written_counters_; }
  // Whether the run read its whole input (OnEnd).
  bool complete() const { return complete_; }
  // Summaries that went through the checks: blocked, grouped or walked in
  // vain (a table problem ends a summary before its checks).
  int64_t checked() const { return checked_; }
  // Summaries whose walk of the tree started: grouped or walked in vain.
  int64_t walked() const { return walked_; }
  int64_t grouped() const { return grouped_; }  // reached a leaf
  // Of those, the summaries with non-blocking errors.
  int64_t grouped_with_errors() const { return grouped_with_errors_; }
  // The tree versions on the .grp lines, with their counts, in the order
  // they first came.
  const std::vector<std::pair<std::string, int64_t>>& versions() const { return versions_; }
  // By (category, number) of the leaf.
  const std::map<std::pair<int16_t, int16_t>, GroupCount>& groups() const { return groups_; }
  const std::map<int16_t, ErrorCount>& errors() const { return errors_; }
  // The same by the field the catalogue gives each error number (its name;
  // empty for a number the catalogue does not know).
  const std::map<std::string_view, ErrorCount>& error_fields() const { return error_fields_; }
  // The blocked summaries by their first blocking error, the one that
  // stopped them (their return code).
  const std::map<int16_t, int64_t>& first_blocking() const { return first_blocking_; }
  const std::map<LineFormat, LinesOfKind>& format_problems() const { return format_problems_; }
  // Failed walks by code (1 to 3).
  const std::map<int16_t, LinesOfKind>& failed_walks() const { return failed_walks_; }
  // Table problems by table and return code (99 or 9).
  const std::map<std::pair<TableRole, int16_t>, TableProblemCount>& table_problems() const {
    return table_problems_;
  }
  const std::vector<RejectedSummary>& rejected() const { return rejected_; }
  // By establishment number (the first 9 characters of the line, fewer for
  // a shorter line; Windows-1252), and the lines of the establishments past
  // the first kEstablishmentsKept.
  const std::map<std::string, EstablishmentCount, std::less<>>& establishments() const {
    return establishments_;
  }
  const EstablishmentCount& other_establishments() const { return other_establishments_; }
  // The well-formed summaries by week number (WWYYYY as in the line), and
  // those of the weeks past the first kWeeksKept.
  const std::map<std::string, int64_t, std::less<>>& weeks() const { return weeks_; }
  int64_t other_weeks() const { return other_weeks_; }

 private:
  void Note(LinesOfKind* kind, int64_t line_number);
  EstablishmentCount& EstablishmentOf(std::string_view text);
  void CountWeek(std::string_view text);

  RunInfo info_;
  RunCounters counters_;
  std::optional<RunCounters> written_counters_;
  bool complete_ = false;
  int64_t checked_ = 0;
  int64_t walked_ = 0;
  int64_t grouped_ = 0;
  int64_t grouped_with_errors_ = 0;
  std::vector<std::pair<std::string, int64_t>> versions_;
  std::map<std::pair<int16_t, int16_t>, GroupCount> groups_;
  std::map<int16_t, ErrorCount> errors_;
  std::map<std::string_view, ErrorCount> error_fields_;
  std::map<int16_t, int64_t> first_blocking_;
  std::map<LineFormat, LinesOfKind> format_problems_;
  std::map<int16_t, LinesOfKind> failed_walks_;
  std::map<std::pair<TableRole, int16_t>, TableProblemCount> table_problems_;
  std::vector<RejectedSummary> rejected_;
  std::map<std::string, EstablishmentCount, std::less<>> establishments_;
  EstablishmentCount other_establishments_;
  std::map<std::string, int64_t, std::less<>> weeks_;
  int64_t other_weeks_ = 0;
  // The elements of the last lines' establishment and week.
  std::pair<const std::string, EstablishmentCount>* last_establishment_ = nullptr;
  std::pair<const std::string, int64_t>* last_week_ = nullptr;
};

}  // namespace grulo

#endif  // GRULO_REPORT_RUN_REPORT_H_
