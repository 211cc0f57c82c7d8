// What one line of an input gives, produced once and read by everyone: the
// batch writes its .err entry and .grp line from it and counts it, an
// explanation shows it, an observer of a run (a report, a stream of results)
// is told it. And what a run counts of its lines: one counters type.

#ifndef GRULO_GROUPER_LINE_OUTCOME_H_
#define GRULO_GROUPER_LINE_OUTCOME_H_

#include <cstdint>
#include <string_view>

#include "base/status.h"
#include "checks/error_list.h"
#include "grulo/result.h"
#include "tables/open_tables.h"

namespace grulo {

// The three tables of a grouping, in the order they are opened.
enum class TableRole { kTree = 0, kActs = 1, kDiags = 2 };
inline constexpr TableRole kTableRoles[] = {TableRole::kTree, TableRole::kActs,
                                            TableRole::kDiags};

// "arbressr.tab", "ccamcssr.tab" or "diag10sr.tab".
const char* TableFileName(TableRole role);

// A table problem that ended a summary: which table, the return code it
// gives the summary (kTableCannotOpen, 99: the table cannot be opened;
// kTableVersionsDiffer, 9: its version differs from the tree table's), and
// the reason, naming the table's path and what is wrong, as the run saw it.
struct TableProblem {
  TableRole table = TableRole::kTree;
  int16_t status = kTableCannotOpen;
  Status reason;
};

// What became of a line.
enum class OutcomeKind {
  kFormatProblem,  // the format recognition refused it: nothing else is set
  kTableProblem,   // 0, 0 and 99 or 9; `table_problem` says which table and why
  kBlocked,        // 90, 900 and the first blocking error; no .grp line
  kGrouped,        // a leaf's numbers
  kWalkFailed,     // 99, 904 and 1 to 3
};

struct LineOutcome {
  LineFormat format = LineFormat::kUnreadable;
  OutcomeKind kind = OutcomeKind::kFormatProblem;
  GroupResult result;
  // The tree table's version that starts the .grp line; empty while the
  // tree table is not open.
  VersionText version{};
  // Every error found, in check order; empty for a line the checks did not
  // see (a format or table problem).
  ErrorList errors;
  // For kTableProblem: the table session's account of it, valid until the
  // session is asked for the next summary. Null otherwise.
  const TableProblem* table_problem = nullptr;

  // Starts the outcome of a line of this format: result 0, 0, 0, no version,
  // no table problem, and the error list cleared, the only time for the
  // line. A well-formed line is kGrouped until its grouping says otherwise.
  void Start(LineFormat line_format);

  // Whether an error blocks the summary: decided once, by the checks
  // (FirstBlockingError), when the summary was grouped.
  bool blocked() const { return kind == OutcomeKind::kBlocked; }
  // Whether the line has a .grp line: a summary that no error blocks,
  // whatever became of it (a table problem and a failed walk included).
  bool has_grp_line() const { return format == LineFormat::kWellFormed && !blocked(); }
};

// What a run counts of its lines. The four counters that the configuration
// file receives keep the names they have there (and in every interface that
// gives them); the others are named in the same way.
struct RunCounters {
  int64_t NbLus = 0;         // lines read
  int64_t NbErrBloq = 0;     // summaries with at least one blocking error
  int64_t NbErrNonBloq = 0;  // summaries with non-blocking errors only
  int64_t NbErrForm = 0;     // lines that the format recognition refused
  int64_t NbGrp = 0;         // lines written to the .grp file
  int64_t NbErrTab = 0;      // summaries that a table problem ended (99 or 9)
  int64_t NbErrArbre = 0;    // summaries whose tree walk failed (99, 904, 1 to 3)
  int64_t NbErrArbreNonBloq = 0;  // of them, those with non-blocking errors (in NbErrNonBloq too)

  // Counts one line by its outcome.
  void Count(const LineOutcome& outcome) {
    ++NbLus;
    if (outcome.format != LineFormat::kWellFormed) {
      ++NbErrForm;
      return;
    }
    if (outcome.blocked()) {
      ++NbErrBloq;
      return;
    }
    ++NbGrp;
    if (outcome.errors.ErrorCount > 0) ++NbErrNonBloq;
    if (outcome.kind == OutcomeKind::kTableProblem) ++NbErrTab;
    if (outcome.kind == OutcomeKind::kWalkFailed) {
      ++NbErrArbre;
      if (outcome.errors.ErrorCount > 0) ++NbErrArbreNonBloq;
    }
  }

  RunCounters& operator+=(const RunCounters& other);
  bool operator==(const RunCounters&) const = default;
};

class TableSession;

// Told of every line of a run with its outcome, in input order, however many
// threads group; on the thread that writes the outputs. `text` holds the
// line's first characters (all of them up to 512) and `length` its length.
// The text and the outcome are valid during the call only.
class LineObserver {
 public:
  virtual ~LineObserver() = default;
  virtual void OnLine(int64_t line_number, std::string_view text, uint64_t length,
                      const LineOutcome& outcome) = 0;
  // Told once, after the last line of a run that read its whole input: what
  // it counted and the story of its tables (null for a grouping without a
  // table session).
  virtual void OnEnd(const RunCounters& counters, const TableSession* tables) {
    (void)counters;
    (void)tables;
  }
};

}  // namespace grulo

#endif  // GRULO_GROUPER_LINE_OUTCOME_H_
