#include "checks/stay_checks.h"

#include <string_view>

#include "calendar/calendar.h"
#include "text/number_text.h"
#include "record/field_mask.h"
#include "record/summary_layout.h"

namespace grulo {
namespace {

using E = ErrorNumber;

// Stay kinds '1' and '5' require the entry fields and compare the summary's
// week with the weeks of entry and exit; the other kinds may leave them out.
bool IsKindOneOrFive(std::string_view stay_kind) {
  return !stay_kind.empty() && (stay_kind[0] == '1' || stay_kind[0] == '5');
}


std::string_view Field(const SummaryState& state, FieldRef f) { return state.Record.Field(f); }

// Today's day, month and year.
SplitDateResult SplitToday(const SummaryState& state) { return SplitDate(DateView(state.Today)); }

// Year x 100 + week of a week text, both parts read as numbers.
int32_t WeekValue(const SplitWeekResult& week_no) { return week_no.year * 100 + week_no.week; }

}  // namespace

ErrorNumber CheckEstablishmentNo(const SummaryState& state) {
  if (MatchMask(Field(state, wr_field::kEstablishmentNo), "9F9999999", TrimNone, 9) != MaskOk) {
    return E::kEstablishmentNoForm;
  }
  return E::kNone;
}

ErrorNumber CheckStayNo(const SummaryState& state) {
  switch (MatchMask(Field(state, wr_field::kStayNo), "9999999", TrimLeading, 0)) {
    case MaskOk:
      return E::kNone;
    case MaskBlank:
      return E::kStayNoBlank;
    default:
      return E::kStayNoForm;
  }
}

ErrorNumber CheckStayKind(const SummaryState& state) {
  std::string_view kind = Field(state, wr_field::kStayKind);
  if (MatchMask(kind, "9", TrimNone, 1) != MaskOk) return E::kStayKindNotDigit;
  if (!IsOneOf(kind, "12345678", 1)) return E::kStayKindUnknown;
  return E::kNone;
}

ErrorNumber CheckEntryDate(const SummaryState& state) {
  std::string_view entry = Field(state, wr_field::kEntryDate);
  if (!IsKindOneOrFive(Field(state, wr_field::kStayKind)) && IsBlank(entry)) return E::kNone;
  if (MatchDateMask(entry) != MaskOk) return E::kEntryDateForm;
  const SplitDateResult entry_date = SplitDate(entry);
  if (DateIsValid(entry_date) != 0) return E::kEntryDateInvalid;
  if (state.TodayDay - DayNumber(entry_date) < 0) return E::kEntryAfterToday;
  // The year part compared as text with "1990": the mask left four digits
  // there, which compare as text as their numbers do.
  if (entry_date.year <= 1990) return E::kEntryYearTooOld;
  return E::kNone;
}

ErrorNumber CheckBirthDate(const SummaryState& state) {
  std::string_view birth = Field(state, wr_field::kBirthDate);
  switch (MatchDateMask(birth)) {
    case MaskOk:
      break;
    case MaskBlank:
      return E::kBirthDateBlank;
    default:
      return E::kBirthDateForm;
  }
  const SplitDateResult birth_date = SplitDate(birth);
  if (DateIsValid(birth_date) != 0) return E::kBirthDateInvalid;
  // Without a Monday for the summary's week the blank text reads as day
  // -679016, before every birth from year 1 on: such a birth lies after the
  // week (13). Births in year 0 or before fall on the other side.
  int32_t days = state.WeekStartDay - DayNumber(birth_date);
  if (days < -6) return E::kBirthAfterWeek;
  if (days / 365 > 120) return E::kBirthTooLongAgo;
  return E::kNone;
}

ErrorNumber CheckSex(const SummaryState& state) {
  std::string_view sex = Field(state, wr_field::kSex);
  if (MatchMask(sex, "9", TrimNone, 1) != MaskOk) return E::kSexNotDigit;
  if (!IsOneOf(sex, "12", 1)) return E::kSexUnknown;
  return E::kNone;
}

ErrorNumber CheckEntryMode(const SummaryState& state) {
  std::string_view mode = Field(state, wr_field::kEntryMode);
  if (!IsKindOneOrFive(Field(state, wr_field::kStayKind)) && IsBlank(mode)) return E::kNone;
  if (MatchMask(mode, "9", TrimBoth, 1) != MaskOk) return E::kEntryModeNotDigit;
  if (!IsOneOf(mode, "0678", 1)) return E::kEntryModeUnknown;
  return E::kNone;
}

// Entry mode     provenance
//   blank          kinds '1', '5': passes; else blank passes, anything else 27
//   '0' '6' '7'    blank 25; "1234" passes; anything else 26
//   '8'            " 567" passes; anything else 26
//   other          " 1234567" passes; anything else 27
ErrorNumber CheckProvenance(const SummaryState& state) {
  std::string_view provenance = Field(state, wr_field::kProvenance);
  std::string_view mode = Field(state, wr_field::kEntryMode);
  if (IsBlank(mode)) {
    if (IsKindOneOrFive(Field(state, wr_field::kStayKind))) return E::kNone;
    return IsBlank(provenance) ? E::kNone : E::kProvenanceUnexpected;
  }
  if (IsOneOf(mode, "067", 1)) {
    if (IsBlank(provenance)) return E::kProvenanceBlank;
    return IsOneOf(provenance, "1234", 1) ? E::kNone : E::kProvenanceUnknown;
  }
  if (mode[0] == '8') return IsOneOf(provenance, " 567", 1) ? E::kNone : E::kProvenanceUnknown;
  return IsOneOf(provenance, " 1234567", 1) ? E::kNone : E::kProvenanceUnexpected;
}

ErrorNumber CheckExitDate(const SummaryState& state, ErrorNumber entry_date_error) {
  std::string_view exit = Field(state, wr_field::kExitDate);
  if (IsBlank(exit)) return E::kNone;
  switch (MatchDateMask(exit)) {
    case MaskOk:
      break;
    case MaskMismatch:
      return E::kExitDateForm;
    default:
      return E::kExitDateTooShort;
  }
  const SplitDateResult exit_date = SplitDate(exit);
  if (DateIsValid(exit_date) != 0) return E::kExitDateInvalid;
  const int32_t exit_day = DayNumber(exit_date);
  if (entry_date_error == E::kNone) {
    std::string_view entry = Field(state, wr_field::kEntryDate);
    // A correct stay without entry date is not compared with today either.
    if (IsBlank(entry)) return E::kNone;
    if (exit_day - DayNumber(entry) < 0) return E::kExitBeforeEntry;
  }
  if (state.TodayDay - exit_day < 0) return E::kExitAfterToday;
  return E::kNone;
}

ErrorNumber CheckExitMode(const SummaryState& state) {
  std::string_view mode = Field(state, wr_field::kExitMode);
  if (IsBlank(Field(state, wr_field::kExitDate)) && IsBlank(mode)) return E::kNone;
  switch (MatchMask(mode, "9", TrimBoth, 1)) {
    case MaskOk:
      break;
    case MaskMismatch:
      return E::kExitModeNotDigit;
    default:
      return E::kExitModeBlank;
  }
  if (!IsOneOf(mode, "06789", 1)) return E::kExitModeUnknown;
  return E::kNone;
}

// Exit mode      destination
//   blank          kinds '1', '5': passes; else blank passes, anything else 39
//   '0' '6' '7'    blank 37; "1234" passes; anything else 38
//   '8'            " 567" passes; anything else 39 (not 38)
//   '9'            blank passes; anything else 39
//   other          " 1234" passes; anything else 39
ErrorNumber CheckDestination(const SummaryState& state) {
  std::string_view destination = Field(state, wr_field::kDestination);
  std::string_view mode = Field(state, wr_field::kExitMode);
  if (IsBlank(mode)) {
    if (IsKindOneOrFive(Field(state, wr_field::kStayKind))) return E::kNone;
    return IsBlank(destination) ? E::kNone : E::kDestinationUnexpected;
  }
  if (IsOneOf(mode, "067", 1)) {
    if (IsBlank(destination)) return E::kDestinationBlank;
    return IsOneOf(destination, "1234", 1) ? E::kNone : E::kDestinationUnknown;
  }
  if (mode[0] == '8') return IsOneOf(destination, " 567", 1) ? E::kNone : E::kDestinationUnexpected;
  if (mode[0] == '9') return IsBlank(destination) ? E::kNone : E::kDestinationUnexpected;
  return IsOneOf(destination, " 1234", 1) ? E::kNone : E::kDestinationUnexpected;
}

ErrorNumber CheckPostCode(const SummaryState& state) {
  switch (MatchMask(Field(state, wr_field::kPostCode), "99999", TrimNone, 5)) {
    case MaskOk:
      return E::kNone;
    case MaskMismatch:
      return E::kPostCodeForm;
    default:
      return E::kPostCodeBlank;
  }
}

ErrorNumber CheckWeekNo(const SummaryState& state, ErrorNumber entry_date_error,
                        ErrorNumber exit_date_error) {
  const SplitWeekResult week_no = SplitWeek(Field(state, wr_field::kWeekNo));
  if (week_no.week < 1 || week_no.week > 53) return E::kWeekOutOfRange;
  if (week_no.year > SplitToday(state).year) return E::kWeekYearFuture;
  if (week_no.year < 1990) return E::kWeekYearTooOld;
  if (!IsKindOneOrFive(Field(state, wr_field::kStayKind))) return E::kNone;

  // Only dates that passed their own check go to WeekOfDate.
  int32_t summary_week = WeekValue(week_no);
  std::string_view entry = Field(state, wr_field::kEntryDate);
  if (entry_date_error == E::kNone && !IsBlank(entry) && summary_week < WeekOfDate(entry)) {
    return E::kWeekBeforeEntry;
  }
  std::string_view exit = Field(state, wr_field::kExitDate);
  if (exit_date_error == E::kNone && !IsBlank(exit) && summary_week > WeekOfDate(exit)) {
    return E::kWeekAfterExit;
  }
  return E::kNone;
}

ErrorNumber CheckPresenceDays(const SummaryState& state) {
  std::string_view days = Field(state, wr_field::kPresenceDays);
  bool present = false;
  for (char day : days) {
    if (day != ' ' && day != '0' && day != '1') return E::kPresenceDaysBad;
    if (day == '1') present = true;
  }
  return present ? E::kNone : E::kPresenceDaysBad;
}

ErrorNumber CheckUnitNo(const SummaryState& state) {
  return MatchMask(Field(state, wr_field::kUnitNo), "9999", TrimBoth, 0) == MaskBlank
             ? E::kUnitNoBlank
             : E::kNone;
}

ErrorNumber CheckRefDate(const SummaryState& state) {
  std::string_view ref = Field(state, wr_field::kRefDate);
  if (IsBlank(ref)) return E::kNone;
  const SplitDateResult ref_date = SplitDate(ref);
  if (DateIsValid(ref_date) != 0) return E::kRefDateInvalid;
  if (WeekValue(SplitWeek(Field(state, wr_field::kWeekNo))) < WeekOfDate(ref_date)) {
    return E::kRefDateAfterWeek;
  }
  return E::kNone;
}

}  // namespace grulo
