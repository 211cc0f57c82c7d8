// The C++ interface of the grouping library over the grouping context and
// the table set.

#include <algorithm>
#include <cstring>
#include <span>
#include <utility>

#include "calendar/calendar.h"
#include "calendar/clock.h"
#include "checks/error_list.h"
#include "grouper/grouping_context.h"
#include "grouper/line_format.h"
#include "grouper/table_set.h"
#include "grulo/grouper.h"

#ifndef GRULO_VERSION_STRING
#define GRULO_VERSION_STRING "0.0.0"
#endif

namespace grulo {

Date LocalToday() {
  SystemClock clock;
  const CivilDate d = clock.LocalToday();
  return Date{d.day, d.month, d.year};
}

const char* LibraryVersion() { return GRULO_VERSION_STRING; }

ErrorEntry Outcome::error(int i) const {
  if (i < 0 || i >= error_count_) return ErrorEntry{};
  return ErrorEntry{errors_[i], !IsNonBlocking(errors_[i])};
}

bool Outcome::blocked() const {
  return FirstBlockingError(std::span<const int16_t>(errors_, static_cast<size_t>(error_count_))) !=
         0;
}

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
  Tables tables;
  Status status = OpenTableSet(TablePaths{tree, acts, diags}, &tables.set_);
  if (!status.ok()) tables.error_ = status.message();
  return tables;
}

std::string_view Tables::version() const {
  return set_ != nullptr ? VersionView(set_->version()) : std::string_view();
}

struct Grouper::State {
  GroupingContext context;
  LineOutcome line;
  DateText today{};
  std::unique_ptr<SystemClock> clock;  // set while the local clock is read
};

Grouper::Grouper(Date today) : state_(std::make_unique<State>()) { SetToday(today); }

Grouper Grouper::WithLocalClock() {
  Grouper grouper(Date{});
  grouper.UseLocalClock();
  return grouper;
}

Grouper::~Grouper() = default;
Grouper::Grouper(Grouper&&) noexcept = default;
Grouper& Grouper::operator=(Grouper&&) noexcept = default;

void Grouper::SetToday(Date today) {
  state_->clock.reset();
  FormatDate(today.day, today.month, today.year, &state_->today);
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
  Outcome& out = outcome_;
  out.result_ = GroupResult();
  out.version_size_ = 0;
  out.error_count_ = 0;
  if (tables.set_ == nullptr) {
    out.format_ = RecognizeFormat(head, length);
    if (out.format_ == LineFormat::kWellFormed) out.result_.GroupReturn = kTableCannotOpen;
    return out;
  }
  if (state_->clock != nullptr) TodayDate(*state_->clock, &state_->today);
  LineOutcome& line = state_->line;
  state_->context.GroupLine(*tables.set_, head, length, state_->today, &line);
  out.format_ = line.format;
  out.result_ = line.result;
  const std::string_view version = VersionView(line.version);
  out.version_size_ = static_cast<int>(version.size());
  std::memcpy(out.version_, version.data(), version.size());
  // The entries at and beyond the list's count hold 0.
  const ErrorList& errors = line.errors;
  const int count = std::min<int>(errors.ErrorCount, kErrorListSize);
  for (int i = 0; i < count; ++i) {
    if (errors.entries[i] != 0) out.errors_[out.error_count_++] = errors.entries[i];
  }
  return out;
}

}  // namespace grulo
