#include "checks/stay_checks.h"

#include <string_view>

#include "calendar/calendar.h"
#include "text/number_text.h"
#include "record/field_mask.h"
#include "record/summary_layout.h"

namespace grulo {
namespace {

// Stay kinds '1' and '5' require the entry fields and compare the summary's
// week with the weeks of entry and exit; the other kinds may leave them out.
bool IsKindOneOrFive(std::string_view stay_kind) {
  return !stay_kind.empty() && (stay_kind[0] == '1' || stay_kind[0] == '5');
}

constexpr std::string_view kDateMask = "Z9Z99999";
constexpr int16_t kDateMinLength = 7;

std::string_view Field(const SummaryState& state, FieldRef f) {
  return state.Record.Field(f);
}

// The year part of Today, read as a number.
int32_t TodayYear(const SummaryState& state) {
  return ReadNumber(DateView(state.Today).substr(4, 4));
}

// Year x 100 + week of a week text, both parts read as numbers.
int32_t WeekValue(std::string_view week_no) {
  return ReadNumber(week_no.substr(2, 4)) * 100 + ReadNumber(week_no.substr(0, 2));
}

}  // namespace

int16_t CheckEstablishmentNo(const SummaryState& state) {
  if (MatchMask(Field(state, wr_field::kEstablishmentNo), "9F9999999", TrimNone, 9) !=
      MaskOk) {
    return 1;
  }
  return 0;
}

int16_t CheckStayNo(const SummaryState& state) {
  switch (MatchMask(Field(state, wr_field::kStayNo), "9999999", TrimLeading, 0)) {
    case MaskOk:
      return 0;
    case MaskBlank:
      return 2;
    default:
      return 3;
  }
}

int16_t CheckStayKind(const SummaryState& state) {
  std::string_view kind = Field(state, wr_field::kStayKind);
  if (MatchMask(kind, "9", TrimNone, 1) != MaskOk) return 8;
  if (!IsOneOf(kind, "12345678", 1)) return 9;
  return 0;
}

int16_t CheckEntryDate(const SummaryState& state) {
  std::string_view entry = Field(state, wr_field::kEntryDate);
  if (!IsKindOneOrFive(Field(state, wr_field::kStayKind)) && IsBlank(entry)) return 0;
  if (MatchMask(entry, kDateMask, TrimLeading, kDateMinLength) != MaskOk) return 19;
  if (DateIsValid(entry) != 0) return 20;
  if (DayNumber(DateView(state.Today)) - DayNumber(entry) < 0) return 21;
  // The year is compared as text: four characters against "1990".
  if (entry.substr(4, 4) <= std::string_view("1990")) return 22;
  return 0;
}

int16_t CheckBirthDate(const SummaryState& state) {
  std::string_view birth = Field(state, wr_field::kBirthDate);
  switch (MatchMask(birth, kDateMask, TrimLeading, kDateMinLength)) {
    case MaskOk:
      break;
    case MaskBlank:
      return 10;
    default:
      return 11;
  }
  if (DateIsValid(birth) != 0) return 12;
  // Without a Monday for the summary's week the blank text reads as day
  // -679016, before every birth from year 1 on: such a birth lies after the
  // week (13). Births in year 0 or before fall on the other side.
  std::string_view week_start = DateView(state.WeekStart);
  int32_t days = DayNumber(week_start) - DayNumber(birth);
  if (days < -6) return 13;
  if (days / 365 > 120) return 14;
  return 0;
}

int16_t CheckSex(const SummaryState& state) {
  std::string_view sex = Field(state, wr_field::kSex);
  if (MatchMask(sex, "9", TrimNone, 1) != MaskOk) return 15;
  if (!IsOneOf(sex, "12", 1)) return 16;
  return 0;
}

int16_t CheckEntryMode(const SummaryState& state) {
  std::string_view mode = Field(state, wr_field::kEntryMode);
  if (!IsKindOneOrFive(Field(state, wr_field::kStayKind)) && IsBlank(mode)) return 0;
  if (MatchMask(mode, "9", TrimBoth, 1) != MaskOk) return 23;
  if (!IsOneOf(mode, "0678", 1)) return 24;
  return 0;
}

// Entry mode     provenance
//   blank          kinds '1', '5': passes; else blank passes, anything else 27
//   '0' '6' '7'    blank 25; "1234" passes; anything else 26
//   '8'            " 567" passes; anything else 26
//   other          " 1234567" passes; anything else 27
int16_t CheckProvenance(const SummaryState& state) {
  std::string_view provenance = Field(state, wr_field::kProvenance);
  std::string_view mode = Field(state, wr_field::kEntryMode);
  if (IsBlank(mode)) {
    if (IsKindOneOrFive(Field(state, wr_field::kStayKind))) return 0;
    return IsBlank(provenance) ? 0 : 27;
  }
  if (IsOneOf(mode, "067", 1)) {
    if (IsBlank(provenance)) return 25;
    return IsOneOf(provenance, "1234", 1) ? 0 : 26;
  }
  if (mode[0] == '8') return IsOneOf(provenance, " 567", 1) ? 0 : 26;
  return IsOneOf(provenance, " 1234567", 1) ? 0 : 27;
}

int16_t CheckExitDate(const SummaryState& state, int16_t entry_date_error) {
  std::string_view exit = Field(state, wr_field::kExitDate);
  if (IsBlank(exit)) return 0;
  switch (MatchMask(exit, kDateMask, TrimLeading, kDateMinLength)) {
    case MaskOk:
      break;
    case MaskMismatch:
      return 30;
    default:
      return 29;
  }
  if (DateIsValid(exit) != 0) return 31;
  if (entry_date_error == 0) {
    std::string_view entry = Field(state, wr_field::kEntryDate);
    // A correct stay without entry date is not compared with today either.
    if (IsBlank(entry)) return 0;
    if (DayNumber(exit) - DayNumber(entry) < 0) return 32;
  }
  if (DayNumber(DateView(state.Today)) - DayNumber(exit) < 0) return 33;
  return 0;
}

int16_t CheckExitMode(const SummaryState& state) {
  std::string_view mode = Field(state, wr_field::kExitMode);
  if (IsBlank(Field(state, wr_field::kExitDate)) && IsBlank(mode)) return 0;
  switch (MatchMask(mode, "9", TrimBoth, 1)) {
    case MaskOk:
      break;
    case MaskMismatch:
      return 35;
    default:
      return 34;
  }
  if (!IsOneOf(mode, "06789", 1)) return 36;
  return 0;
}

// Exit mode      destination
//   blank          kinds '1', '5': passes; else blank passes, anything else 39
//   '0' '6' '7'    blank 37; "1234" passes; anything else 38
//   '8'            " 567" passes; anything else 39 (not 38)
//   '9'            blank passes; anything else 39
//   other          " 1234" passes; anything else 39
int16_t CheckDestination(const SummaryState& state) {
  std::string_view destination = Field(state, wr_field::kDestination);
  std::string_view mode = Field(state, wr_field::kExitMode);
  if (IsBlank(mode)) {
    if (IsKindOneOrFive(Field(state, wr_field::kStayKind))) return 0;
    return IsBlank(destination) ? 0 : 39;
  }
  if (IsOneOf(mode, "067", 1)) {
    if (IsBlank(destination)) return 37;
    return IsOneOf(destination, "1234", 1) ? 0 : 38;
  }
  if (mode[0] == '8') return IsOneOf(destination, " 567", 1) ? 0 : 39;
  if (mode[0] == '9') return IsBlank(destination) ? 0 : 39;
  return IsOneOf(destination, " 1234", 1) ? 0 : 39;
}

int16_t CheckPostCode(const SummaryState& state) {
  switch (MatchMask(Field(state, wr_field::kPostCode), "99999", TrimNone, 5)) {
    case MaskOk:
      return 0;
    case MaskMismatch:
      return 41;
    default:
      return 40;
  }
}

int16_t CheckWeekNo(const SummaryState& state, int16_t entry_date_error,
                    int16_t exit_date_error) {
  std::string_view week_no = Field(state, wr_field::kWeekNo);
  int32_t week = ReadNumber(week_no.substr(0, 2));
  int32_t year = ReadNumber(week_no.substr(2, 4));
  if (week < 1 || week > 53) return 42;
  if (year > TodayYear(state)) return 43;
  if (year < 1990) return 44;
  if (!IsKindOneOrFive(Field(state, wr_field::kStayKind))) return 0;

  // Only dates that passed their own check go to WeekOfDate.
  int32_t summary_week = WeekValue(week_no);
  std::string_view entry = Field(state, wr_field::kEntryDate);
  if (entry_date_error == 0 && !IsBlank(entry) && summary_week < WeekOfDate(entry)) {
    return 45;
  }
  std::string_view exit = Field(state, wr_field::kExitDate);
  if (exit_date_error == 0 && !IsBlank(exit) && summary_week > WeekOfDate(exit)) return 46;
  return 0;
}

int16_t CheckPresenceDays(const SummaryState& state) {
  std::string_view days = Field(state, wr_field::kPresenceDays);
  bool present = false;
  for (char day : days) {
    if (day != ' ' && day != '0' && day != '1') return 47;
    if (day == '1') present = true;
  }
  return present ? 0 : 47;
}

int16_t CheckUnitNo(const SummaryState& state) {
  return MatchMask(Field(state, wr_field::kUnitNo), "9999", TrimBoth, 0) == MaskBlank ? 17
                                                                                      : 0;
}

int16_t CheckRefDate(const SummaryState& state) {
  std::string_view ref = Field(state, wr_field::kRefDate);
  if (IsBlank(ref)) return 0;
  if (DateIsValid(ref) != 0) return 48;
  if (WeekValue(Field(state, wr_field::kWeekNo)) < WeekOfDate(ref)) return 49;
  return 0;
}

}  // namespace grulo
