// The C++ interface of the grouping library over the grouping context and
// the table set. Every class keeps its data in a Rep (or State) of this
// file, so that its size is the same from one version to the next.

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <utility>

#include "calendar/calendar.h"
#include "calendar/clock.h"
#include "checks/error_catalogue.h"
#include "checks/error_list.h"
#include "grouper/grouping_context.h"
#include "grouper/line_format.h"
#include "grouper/line_outcome.h"
#include "grouper/result_lines.h"
#include "grouper/table_set.h"
#include "grulo/grouper.h"
#include "io/output_file.h"

#ifndef GRULO_VERSION_STRING
#define GRULO_VERSION_STRING "0.0.0"
#endif

namespace grulo {

bool IsCalendarDate(Date date) {
  if (date.year < 1 || date.year > 9999 || date.month < 1 || date.month > 12 || date.day < 1 ||
      date.day > 31) {
    return false;
  }
  const std::chrono::year_month_day ymd{std::chrono::year(date.year),
                                        std::chrono::month(static_cast<unsigned>(date.month)),
                                        std::chrono::day(static_cast<unsigned>(date.day))};
  return ymd.ok();
}

bool ParseDate(std::string_view text, Date* date) {
  if (text.size() != 8) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  auto number = [text](size_t at, size_t n) {
    int value = 0;
    for (size_t i = at; i < at + n; ++i) value = value * 10 + (text[i] - '0');
    return value;
  };
  const Date read{number(0, 2), number(2, 2), number(4, 4)};
  if (!IsCalendarDate(read)) return false;
  if (date != nullptr) *date = read;
  return true;
}

Date LocalToday() {
  SystemClock clock;
  const CivilDate d = clock.LocalToday();
  return Date{d.day, d.month, d.year};
}

const char* LibraryVersion() { return GRULO_VERSION_STRING; }

int LibraryVersionNumber() { return GRULO_VERSION_NUMBER; }

std::string_view ErrorDescription(int number) {
  if (number < 1 || number > kErrorNumberCount) return {};
  return kErrorCatalogue[static_cast<size_t>(number - 1)].description;
}

bool IsBlockingError(int number) {
  return number >= 1 && number <= kErrorNumberCount &&
         kErrorCatalogue[static_cast<size_t>(number - 1)].blocking;
}

// ---------------------------------------------------------------- Outcome

struct Outcome::Rep {
  // Room for the copy of a line kept for its .grp line and .err entry:
  // longer lines make it grow once.
  static constexpr size_t kTextRoom = 1024;

  Rep() { text.reserve(kTextRoom); }
  Rep(const Rep& other)
      : line(other.line),
        problem(other.problem),
        text(other.text),
        length(other.length),
        error_count(other.error_count) {
    std::copy_n(other.errors, kMaxErrors, errors);
    Repoint();
  }
  Rep& operator=(const Rep& other) {
    if (this == &other) return *this;
    line = other.line;
    problem = other.problem;
    text = other.text;
    length = other.length;
    error_count = other.error_count;
    std::copy_n(other.errors, kMaxErrors, errors);
    Repoint();
    return *this;
  }

  // A table problem points to this outcome's own copy.
  void Repoint() {
    if (line.table_problem != nullptr) line.table_problem = &problem;
  }

  LineOutcome line;
  TableProblem problem;  // the tables that are not open, while line.table_problem
  std::string text;      // the line as grouped (cut at a NUL byte)
  uint64_t length = 0;   // its length
  int16_t errors[kMaxErrors] = {};  // the non-zero entries of line.errors
  int error_count = 0;
};

const Outcome::Rep& Outcome::rep() const {
  static const Rep kNoLine;  // what a moved-from outcome reads as
  return rep_ != nullptr ? *rep_ : kNoLine;
}

Outcome::Outcome() : rep_(std::make_unique<Rep>()) {}
Outcome::~Outcome() = default;
Outcome::Outcome(const Outcome& other)
    : rep_(std::make_unique<Rep>(other.rep())) {}
Outcome& Outcome::operator=(const Outcome& other) {
  if (this == &other) return *this;
  const Rep& from = other.rep();
  if (rep_ == nullptr) {
    rep_ = std::make_unique<Rep>(from);
  } else {
    *rep_ = from;
  }
  return *this;
}
Outcome::Outcome(Outcome&& other) noexcept = default;
Outcome& Outcome::operator=(Outcome&& other) noexcept = default;

LineFormat Outcome::format() const { return rep().line.format; }

GroupResult Outcome::result() const { return rep().line.result; }

std::string_view Outcome::version() const { return VersionView(rep().line.version); }

int Outcome::error_count() const { return rep().error_count; }

ErrorEntry Outcome::error(int i) const {
  const Rep& r = rep();
  if (i < 0 || i >= r.error_count) return ErrorEntry{};
  return ErrorEntry{r.errors[i], !IsNonBlocking(r.errors[i])};
}

bool Outcome::blocked() const { return rep().line.blocked(); }

std::string Outcome::grp_line() const {
  const Rep& r = rep();
  std::unique_ptr<OutputFile> out = OutputFile::InMemory();
  ResultLineBuffer buffer;
  WriteGrpLine(r.text, r.line, &buffer, out.get());
  return std::string(out->contents());
}

std::string Outcome::err_entry(int64_t line_number) const {
  const Rep& r = rep();
  std::unique_ptr<OutputFile> out = OutputFile::InMemory();
  auto storage = std::make_unique<ResultLineStorage>();
  WriteErrEntry(line_number, r.text, r.length, r.line, storage.get(), out.get());
  return std::string(out->contents());
}

// ----------------------------------------------------------------- Tables

struct Tables::Rep {
  std::shared_ptr<const TableSet> set;  // null when the opening failed
  std::string error;
};

Tables::Tables() = default;
Tables::~Tables() = default;
Tables::Tables(const Tables&) = default;
Tables& Tables::operator=(const Tables&) = default;
Tables::Tables(Tables&&) noexcept = default;
Tables& Tables::operator=(Tables&&) noexcept = default;

Tables Tables::Open(const std::string& directory) {
  const TablePaths paths = TablePathsIn(directory);
  return OpenFiles(paths.tree, paths.acts, paths.diags);
}

Tables Tables::OpenFiles(const std::string& tree, const std::string& acts,
                         const std::string& diags) {
  auto rep = std::make_shared<Rep>();
  Status status = OpenTableSet(TablePaths{tree, acts, diags}, &rep->set);
  if (!status.ok()) rep->error = status.message();
  Tables tables;
  tables.rep_ = std::move(rep);
  return tables;
}

bool Tables::ok() const { return rep_ != nullptr && rep_->set != nullptr; }

const std::string& Tables::error() const {
  static const std::string none;
  return rep_ != nullptr ? rep_->error : none;
}

std::string_view Tables::version() const {
  return ok() ? VersionView(rep_->set->version()) : std::string_view();
}

// ---------------------------------------------------------------- Grouper

struct Grouper::State {
  GroupingContext context;
  DateText today{};
  std::unique_ptr<SystemClock> clock;  // set while the local clock is read
  Outcome outcome;
};

Grouper::Grouper(Date today) : state_(std::make_unique<State>()) {
  if (!SetToday(today)) throw std::invalid_argument("grulo::Grouper: not a date of the calendar");
}

Grouper Grouper::WithLocalClock() {
  Grouper grouper(Date{});
  grouper.UseLocalClock();
  return grouper;
}

Grouper::~Grouper() = default;
Grouper::Grouper(Grouper&&) noexcept = default;
Grouper& Grouper::operator=(Grouper&&) noexcept = default;

bool Grouper::SetToday(Date today) {
  if (!IsCalendarDate(today)) return false;
  state_->clock.reset();
  FormatDate(today.day, today.month, today.year, &state_->today);
  return true;
}

void Grouper::UseLocalClock() { state_->clock = std::make_unique<SystemClock>(); }

const Outcome& Grouper::Group(const Tables& tables, std::string_view line) {
  return Group(tables, line, line.size());
}

const Outcome& Grouper::Group(const Tables& tables, std::string_view head, uint64_t length) {
  // A NUL byte ends the line, as it ends a line of the batch's input.
  const size_t nul = head.find('\0');
  if (nul != std::string_view::npos) {
    head = head.substr(0, nul);
    length = nul;
  }
  Outcome::Rep& out = *state_->outcome.rep_;
  out.text.assign(head);
  out.length = length;
  out.error_count = 0;
  LineOutcome& line = out.line;
  if (!tables.ok()) {
    // The batch's outcome of a summary whose tree table cannot be opened.
    line.Start(RecognizeFormat(head, length));
    if (line.format == LineFormat::kWellFormed) {
      line.kind = OutcomeKind::kTableProblem;
      line.result.GroupReturn = kTableCannotOpen;
      out.problem = TableProblem{TableRole::kTree, kTableCannotOpen, Status()};
      line.table_problem = &out.problem;
    }
    return state_->outcome;
  }
  if (state_->clock != nullptr) TodayDate(*state_->clock, &state_->today);
  state_->context.GroupLine(*tables.rep_->set, head, length, state_->today, &line);
  // The entries at and beyond the list's count hold 0.
  const ErrorList& errors = line.errors;
  const int count = std::min<int>(errors.ErrorCount, kErrorListSize);
  for (int i = 0; i < count && out.error_count < Outcome::kMaxErrors; ++i) {
    if (errors.entries[i] != 0) out.errors[out.error_count++] = errors.entries[i];
  }
  return state_->outcome;
}

}  // namespace grulo
