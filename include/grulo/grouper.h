// The grouping library's C++ interface: open the three tables once, then
// group summary lines one at a time, or whole files as the batch does.
//
//   grulo::Tables tables = grulo::Tables::Open("/srv/grulo/tables");
//   if (!tables.ok()) { std::cerr << tables.error() << "\n"; return 1; }
//   grulo::Grouper grouper(grulo::Date{7, 12, 2026});
//   const grulo::Outcome& outcome = grouper.Group(tables, line);
//
// Threads: a Tables is immutable once opened; copies share the same tables,
// and any number of threads may group with them at once. A Grouper holds the
// state of the summary in progress: one per thread. Grouping makes no system
// call (unless the grouper reads the local clock) and throws nothing; a line
// that is not a summary is an outcome, not an error.
//
// Binary compatibility: Outcome, Tables, Grouper and FileRun keep their data
// behind a pointer, so their size does not change with the library's
// version; the plain structs (Date, ErrorEntry, GroupResult, FileCounters)
// keep their members.

#ifndef GRULO_GROUPER_H_
#define GRULO_GROUPER_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "grulo/export.h"
#include "grulo/result.h"
#include "grulo/version.h"

namespace grulo {

// A calendar date. The checks compare summary dates with "today" as the
// DDMMYYYY text of this date.
struct Date {
  int day = 1;
  int month = 1;
  int year = 1970;
};

// Whether the date is one of the calendar, years 1 to 9999 (the dates that
// a grouper and a file run accept).
GRULO_EXPORT bool IsCalendarDate(Date date);

// Reads "DDMMYYYY" (eight digits, as the batch's GRULO_TODAY and
// Python's today="07122026" write it) into `date`; false, and `date`
// unchanged, for other text or a date that is not one of the calendar.
GRULO_EXPORT bool ParseDate(std::string_view ddmmyyyy, Date* date);

// The computer's local date now.
GRULO_EXPORT Date LocalToday();

// The version of the library running, "MAJOR.MINOR.PATCH", and as
// GRULO_VERSION_NUMBER writes it (MAJOR * 1000000 + MINOR * 1000 + PATCH).
GRULO_EXPORT const char* LibraryVersion();
GRULO_EXPORT int LibraryVersionNumber();

// One error found in a summary: its number (1 to 82) and whether it blocks
// the grouping.
struct ErrorEntry {
  int16_t number = 0;
  bool blocking = false;
};

// The error catalogue: the one-line description of error `number` (UTF-8,
// English), empty outside 1 to 82; and whether it blocks the grouping
// (false outside 1 to 82).
GRULO_EXPORT std::string_view ErrorDescription(int number);
GRULO_EXPORT bool IsBlockingError(int number);

// What grouping one line gives. A value: copies are independent.
class GRULO_EXPORT Outcome {
 public:
  static constexpr int kMaxErrors = 100;

  // The outcome of no line: unreadable, no result, no error.
  Outcome();
  ~Outcome();
  Outcome(const Outcome& other);
  Outcome& operator=(const Outcome& other);
  Outcome(Outcome&& other) noexcept;  // leaves `other` the outcome of no line
  Outcome& operator=(Outcome&& other) noexcept;

  // The format recognition. Only a well-formed line has a result, a version
  // and errors; the others carry their format problem alone.
  LineFormat format() const;

  // The three numbers of the result, written "%02d%03d%02d" in a result
  // line: the leaf's numbers; 90, 900 and the first blocking error; 99, 904
  // and 1 to 3 for a failed walk; 0, 0 and 99 when the tables are not open.
  // All 0 for a line that is not well-formed.
  GroupResult result() const;

  // The tree table's version (at most two characters), which starts a
  // result line; empty when the tables are not open or the line is not
  // well-formed.
  std::string_view version() const;

  // The errors in the order the checks found them (a number may occur more
  // than once), at most kMaxErrors.
  int error_count() const;
  // Error i, 0 <= i < error_count(); a zero entry otherwise.
  ErrorEntry error(int i) const;

  // True when an error blocks the grouping: the batch then writes no result
  // line for the summary.
  bool blocked() const;

  // The line's .grp line as the batch writes it (Windows-1252, ending with
  // CR LF); empty when the batch writes none (a malformed or blocked line).
  std::string grp_line() const;
  // The line's .err entry as the batch writes it for line `line_number` of
  // its input (every line ending with CR LF); empty when it writes none.
  std::string err_entry(int64_t line_number) const;

 private:
  friend class Grouper;
  struct Rep;

  // The data; that of no line once moved from.
  const Rep& rep() const;

  std::unique_ptr<Rep> rep_;
};

// The three tables (decision tree, acts, diagnoses), opened and read into
// memory once.
class GRULO_EXPORT Tables {
 public:
  // No tables: ok() is false.
  Tables();
  ~Tables();
  Tables(const Tables&);
  Tables& operator=(const Tables&);
  Tables(Tables&&) noexcept;
  Tables& operator=(Tables&&) noexcept;

  // Opens arbressr.tab, ccamcssr.tab and diag10sr.tab of the directory (a
  // separator is put behind it when it has none).
  static Tables Open(const std::string& directory);
  // Opens the three files from their paths.
  static Tables OpenFiles(const std::string& tree, const std::string& acts,
                          const std::string& diags);

  // True when the three tables are open and carry the same version.
  bool ok() const;
  // Why the opening failed: every problem, one per line, each naming the
  // table's path and what is wrong. Empty when ok().
  const std::string& error() const;
  // The tables' version; empty when not ok().
  std::string_view version() const;

 private:
  friend class Grouper;
  struct Rep;

  std::shared_ptr<const Rep> rep_;
};

// Groups summary lines, one at a time; one per thread.
class GRULO_EXPORT Grouper {
 public:
  // A grouper whose checks take `today` as the current date; one that is
  // not a date of the calendar (IsCalendarDate) throws
  // std::invalid_argument.
  explicit Grouper(Date today);
  // A grouper that reads the computer's local date before every summary, as
  // the batch program does.
  static Grouper WithLocalClock();

  ~Grouper();
  // A grouper moved from may only be destroyed or assigned to.
  Grouper(Grouper&&) noexcept;
  Grouper& operator=(Grouper&&) noexcept;
  Grouper(const Grouper&) = delete;
  Grouper& operator=(const Grouper&) = delete;

  // Fixes the current date from now on (the local clock is no longer read);
  // false, and nothing changed, for a date that is not one of the calendar.
  bool SetToday(Date today);
  // Reads the local date before every summary from now on.
  void UseLocalClock();

  // Groups one summary line, given without its line end; a NUL byte ends
  // the line. The outcome stays valid until the next call on this grouper
  // (copy it to keep it). With tables that are not ok(), a well-formed line
  // gets 0, 0, 99 and the .err message of a tree table that cannot be
  // opened.
  const Outcome& Group(const Tables& tables, std::string_view line);

  // The same for a reader that keeps only the start of an over-long line:
  // `head` holds the first characters (at least 512, or all of them) of a
  // line of `length` characters.
  const Outcome& Group(const Tables& tables, std::string_view head, uint64_t length);

 private:
  struct State;

  std::unique_ptr<State> state_;
};

// The four counters of a whole file that the batch writes into its
// configuration file, under these names.
struct FileCounters {
  int64_t NbLus = 0;         // lines read
  int64_t NbErrBloq = 0;     // summaries with a blocking error
  int64_t NbErrNonBloq = 0;  // summaries with non-blocking errors only
  int64_t NbErrForm = 0;     // lines that the format recognition refused
};

// Groups whole files exactly as the batch program does: the same .grp and
// .err bytes, the same counters. Unlike Tables, the tables are opened by
// the batch's rules: a table that cannot be opened ends the summary (return
// code 99) and is tried again with the next one; a table of another version
// gives 9 and the batch's messages.
//
//   grulo::FileRun run;
//   run.SetTables("/srv/grulo/tables");
//   run.SetToday(grulo::Date{7, 12, 2026});
//   run.SetOutputFiles("week12.grp", "week12.err");
//   if (!run.Run("week12.rss")) std::cerr << run.error() << "\n";
class GRULO_EXPORT FileRun {
 public:
  // Takes every output's bytes to a function; false stops the run.
  using Writer = std::function<bool(std::string_view bytes)>;

  // What stopped the last run.
  enum class Failure { kNone = 0, kNoDate = 1, kInput = 2, kOutput = 3 };

  // No tables set (all three missing), no date, the outputs kept in memory.
  FileRun();
  ~FileRun();
  FileRun(FileRun&&) noexcept;
  FileRun& operator=(FileRun&&) noexcept;
  FileRun(const FileRun&) = delete;
  FileRun& operator=(const FileRun&) = delete;

  // The table directory (arbressr.tab, ccamcssr.tab, diag10sr.tab in it),
  // or the three paths.
  void SetTables(const std::string& directory);
  void SetTableFiles(const std::string& tree, const std::string& acts, const std::string& diags);
  // Today's date for the checks (false for one that is not a date), or the
  // local date read before every summary.
  bool SetToday(Date today);
  void UseLocalClock();
  // Where the outputs go: two files, replaced in one step each when the run
  // has read and grouped the whole input (never written through a symbolic
  // link; an output on the input file or on the other output's is
  // refused); two functions (an empty one drops its output); or, by default,
  // memory (grp_bytes, err_bytes).
  void SetOutputFiles(const std::string& grp, const std::string& err);
  void SetOutputFunctions(Writer grp, Writer err);

  // Groups the input file (over again for each call). False when it cannot
  // be read, an output cannot be written or no date was set: error() says
  // why, naming the file, and no output file is replaced.
  bool Run(const std::string& input);
  // The same for bytes in memory.
  bool RunBytes(std::string_view input);

  // Why the last run failed (one line naming the file), and what stopped it.
  const std::string& error() const;
  Failure failure() const;
  // Of the last run: its counters, the table warnings the batch prints at
  // the end (one per table problem met), and the outputs kept in memory.
  FileCounters counters() const;
  std::vector<std::string> warnings() const;
  const std::string& grp_bytes() const;
  const std::string& err_bytes() const;

 private:
  struct Rep;

  std::unique_ptr<Rep> rep_;
};

}  // namespace grulo

#endif  // GRULO_GROUPER_H_
