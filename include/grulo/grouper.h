// The grouping library's C++ interface: open the three tables once, then
// group summary lines one at a time.
//
//   grulo::Tables tables = grulo::Tables::Open("/srv/grulo/tables");
//   if (!tables.ok()) { std::cerr << tables.error() << "\n"; return 1; }
//   grulo::Grouper grouper(grulo::Date{7, 12, 2026});
//   const grulo::Outcome& outcome = grouper.Group(tables, line);
//
// Threads: a Tables is immutable once opened; copies share the same tables,
// and any number of threads may group with them at once. A Grouper holds the
// state of the summary in progress: one per thread. Grouping allocates
// nothing, makes no system call (unless the grouper reads the local clock)
// and throws nothing; a line that is not a summary is an outcome, not an
// error.

#ifndef GRULO_GROUPER_H_
#define GRULO_GROUPER_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "grulo/export.h"
#include "grulo/result.h"

namespace grulo {

class TableSet;

// A calendar date. The checks compare summary dates with "today" as the
// DDMMYYYY text of this date.
struct Date {
  int day = 1;
  int month = 1;
  int year = 1970;
};

// The computer's local date now.
GRULO_EXPORT Date LocalToday();

// The version of the library, "MAJOR.MINOR.PATCH".
GRULO_EXPORT const char* LibraryVersion();

// One error found in a summary: its number (1 to 82) and whether it blocks
// the grouping.
struct ErrorEntry {
  int16_t number = 0;
  bool blocking = false;
};

// What grouping one line gives.
class GRULO_EXPORT Outcome {
 public:
  static constexpr int kMaxErrors = 100;

  // The format recognition. Only a well-formed line has a result, a version
  // and errors; the others carry their format problem alone.
  LineFormat format() const { return format_; }

  // The three numbers of the result, written "%02d%03d%02d" in a result
  // line: the leaf's numbers; 90, 900 and the first blocking error; 99, 904
  // and 1 to 3 for a failed walk; 0, 0 and 99 when the tables are not open.
  // All 0 for a line that is not well-formed.
  const GroupResult& result() const { return result_; }

  // The tree table's version (at most two characters), which starts a
  // result line; empty when the tables are not open or the line is not
  // well-formed.
  std::string_view version() const { return std::string_view(version_, version_size_); }

  // The errors in the order the checks found them (a number may occur more
  // than once), at most kMaxErrors.
  int error_count() const { return error_count_; }
  // Error i, 0 <= i < error_count(); a zero entry otherwise.
  ErrorEntry error(int i) const;

  // True when an error blocks the grouping: the batch then writes no result
  // line for the summary.
  bool blocked() const;

 private:
  friend class Grouper;

  LineFormat format_ = LineFormat::kUnreadable;
  GroupResult result_;
  char version_[2] = {0, 0};
  int version_size_ = 0;
  int16_t errors_[kMaxErrors] = {};
  int error_count_ = 0;
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
  bool ok() const { return set_ != nullptr; }
  // Why the opening failed: every problem, one per line, each naming the
  // table's path and what is wrong. Empty when ok().
  const std::string& error() const { return error_; }
  // The tables' version; empty when not ok().
  std::string_view version() const;

 private:
  friend class Grouper;

  std::shared_ptr<const TableSet> set_;
  std::string error_;
};

// Groups summary lines, one at a time; one per thread.
class GRULO_EXPORT Grouper {
 public:
  // A grouper whose checks take `today` as the current date.
  explicit Grouper(Date today);
  // A grouper that reads the computer's local date before every summary, as
  // the batch program does.
  static Grouper WithLocalClock();

  ~Grouper();
  Grouper(Grouper&&) noexcept;
  Grouper& operator=(Grouper&&) noexcept;
  Grouper(const Grouper&) = delete;
  Grouper& operator=(const Grouper&) = delete;

  // Fixes the current date from now on (the local clock is no longer read).
  void SetToday(Date today);
  // Reads the local date before every summary from now on.
  void UseLocalClock();

  // Groups one summary line, given without its line end; a NUL byte ends
  // the line. The outcome stays valid until the next call on this grouper.
  // With tables that are not ok(), a well-formed line gets 0, 0, 99.
  const Outcome& Group(const Tables& tables, std::string_view line);

  // The same for a reader that keeps only the start of an over-long line:
  // `head` holds the first characters (at least 512, or all of them) of a
  // line of `length` characters.
  const Outcome& Group(const Tables& tables, std::string_view head, uint64_t length);

 private:
  struct State;

  std::unique_ptr<State> state_;
  Outcome outcome_;
};

}  // namespace grulo

#endif  // GRULO_GROUPER_H_
