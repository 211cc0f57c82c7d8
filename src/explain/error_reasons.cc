#include "explain/error_reasons.h"

#include <cstdio>
#include <string_view>

#include "calendar/calendar.h"
#include "checks/code_checks.h"
#include "checks/error_number.h"
#include "explain/explanation_text.h"
#include "record/field_mask.h"
#include "record/summary_layout.h"
#include "text/number_text.h"

namespace grulo {
namespace {

using E = ErrorNumber;

std::string Num(int64_t value) { return std::to_string(value); }

std::string Quoted(std::string_view text) { return "\"" + VisibleBlanks(text) + "\""; }

std::string_view Field(const SummaryState& state, FieldRef field) {
  return state.Record.Field(field);
}

char StayKind(const SummaryState& state) { return Field(state, wr_field::kStayKind)[0]; }

std::string DateWords(const SplitDateResult& d) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d/%02d/%04d", d.day, d.month, d.year);
  return text;
}

std::string WeekWords(int32_t week, int32_t year) {
  return "week " + Num(week) + " of " + Num(year);
}

constexpr std::string_view kMonthNames[] = {"January",   "February", "March",    "April",
                                            "May",       "June",     "July",     "August",
                                            "September", "October",  "November", "December"};

// Why a date that its check read is not a day of the calendar.
std::string InvalidDate(std::string_view name, std::string_view text) {
  const SplitDateResult d = SplitDate(text);
  std::string out = "The " + std::string(name) + " " + Quoted(text) + " reads as day " +
                    Num(d.day) + ", month " + Num(d.month) + ", year " + Num(d.year) + ": ";
  if (d.month < 1 || d.month > 12) return out + "there is no month " + Num(d.month) + ".";
  if (d.day < 1) return out + "there is no day " + Num(d.day) + ".";
  int length = 28;
  while (length < 31 &&
         DateIsValid(SplitDateResult{static_cast<int16_t>(length + 1), d.month, d.year}) == 0) {
    ++length;
  }
  return out + std::string(kMonthNames[d.month - 1]) + " " + Num(d.year) + " has " + Num(length) +
         " days.";
}

// Why a date text does not pass the date form (DDMMYYYY, the first digit of
// the day and of the month may be a blank), for a field that is not blank.
std::string DateFormFault(std::string_view name, std::string_view text, FieldRef field) {
  if (MatchDateMask(text) == MaskTooShort) {
    return "The " + std::string(name) + " " + Quoted(text) +
           " starts with two or more spaces: at most one may stand before the day.";
  }
  constexpr std::string_view kForm = "Z9Z99999";
  size_t p = 0;
  while (p < text.size() && text[p] == ' ') ++p;
  for (; p < text.size() && p < kForm.size(); ++p) {
    const bool blank_allowed = kForm[p] == 'Z';
    if (!IsDigit(text[p]) && !(blank_allowed && text[p] == ' ')) break;
  }
  std::string out = "The " + std::string(name) + " " + Quoted(text) + " is not DDMMYYYY";
  if (p < text.size()) {
    out += ": column " + Num(field.offset + static_cast<int>(p) + 1) + " holds " +
           Quoted(text.substr(p, 1)) + " where a digit must stand";
  }
  return out + " (only the first digit of the day and of the month may be a space).";
}

// The summary's week against the week of one of its dates.
std::string WeekAgainst(const SummaryState& state, std::string_view relation,
                        std::string_view date_name, FieldRef date_field) {
  const SplitWeekResult week = SplitWeek(Field(state, wr_field::kWeekNo));
  const SplitDateResult date = SplitDate(Field(state, date_field));
  const int32_t date_week = WeekOfDate(date);
  return "The summary's week, " + WeekWords(week.week, week.year) + ", lies " +
         std::string(relation) + " " + WeekWords(date_week % 100, date_week / 100) +
         ", which holds the " + std::string(date_name) + " " + DateWords(date) + ".";
}

std::string_view SlotName(int slot) {
  switch (slot) {
    case 0:
      return "first diagnosis";
    case 1:
      return "second diagnosis";
    case 2:
      return "third diagnosis";
    default:
      return "associated diagnosis";
  }
}

// A diagnosis that is either not of the form of a code or unknown to the
// table (the form was tested first).
std::string FormOrTable(const SummaryState& state, int slot) {
  const std::string_view code = state.Record.Diag(slot);
  if (IsBlankSlot(code)) return "The " + std::string(SlotName(slot)) + " is blank.";
  if (!DiagCodeHasForm(code)) {
    return "The code " + Quoted(code) +
           " is not of the form of a diagnosis code: the table is not asked.";
  }
  return "The code " + Quoted(code) +
         " has the form of a diagnosis code, but the diagnosis table does not know it (it "
         "gives category 0).";
}

// A code the table refuses: which kind, and whether the mark was read
// across into the next slot's record.
std::string Refusal(const SummaryState& state, int slot, uint8_t second) {
  const std::string_view code = state.Record.Diag(slot);
  std::string out = "The diagnosis table refuses the code " + Quoted(code) + " (" +
                    (second == kPairFirst ? "the first" : "the second") +
                    " of its two kinds of refusal: category 99 with the attribute pair " +
                    Num(kPairLead) + " " + Num(second) + ").";
  const int length = state.DiagAttrLength;
  const int block_end = (slot + 1) * length;  // the first byte of the next slot's block
  for (int at = slot * length + 1; at < slot * length + 1 + length && at + 1 < kDiagAttrTableSize;
       at += 2) {
    if (state.DiagAttr[static_cast<size_t>(at)] != kPairLead ||
        state.DiagAttr[static_cast<size_t>(at + 1)] != second) {
      continue;
    }
    if (at + 1 >= block_end) {
      out += slot + 1 < kDiagSlotCount
                 ? " The pair is read across the end of the code's record, into that of the "
                   "next slot, whose code is " +
                       Quoted(state.Record.Diag(slot + 1)) + "."
                 : " The pair is read across the end of the code's record, the last one.";
    }
    break;
  }
  return out;
}

std::string NotADigitOrSpace(std::string_view name, std::string_view text,
                             std::string_view space_fault) {
  for (char c : text) {
    if (!IsDigit(c) && c != ' ') {
      return "The " + std::string(name) + " " + Quoted(text) + " holds " +
             Quoted(std::string_view(&c, 1)) + ", which is not a digit.";
    }
  }
  return "The " + std::string(name) + " " + Quoted(text) + " has " + std::string(space_fault) + ".";
}

std::string BirthAfterWeek(const SummaryState& state) {
  const std::string_view week = Field(state, wr_field::kWeekNo);
  const std::string_view birth = Field(state, wr_field::kBirthDate);
  if (state.WeekStart[0] == ' ') {
    const SplitWeekResult w = SplitWeek(week);
    std::string why;
    switch (WeekNoIsPlausible(week)) {
      case 42:
        why = "its week reads as " + Num(w.week) + ", not 1 to 53";
        break;
      case 44:
        why = "its year reads as " + Num(w.year) + ", before 1990";
        break;
      default:
        why = "it is not six digits (one space before them aside)";
        break;
    }
    return "The week number " + Quoted(week) + " gives no date: " + why +
           ". Then every birth date counts as after the week: correct the week number, not "
           "the birth date.";
  }
  const SplitDateResult born = SplitDate(birth);
  const SplitDateResult monday = SplitDate(DateView(state.WeekStart));
  return "Born on " + DateWords(born) + ", " + Num(DayNumber(born) - state.WeekStartDay) +
         " days after Monday " + DateWords(monday) +
         ", the first day of the summary's week, which ends 6 days after it.";
}

std::string BirthTooLongAgo(const SummaryState& state) {
  const SplitDateResult born = SplitDate(Field(state, wr_field::kBirthDate));
  const SplitDateResult monday = SplitDate(DateView(state.WeekStart));
  return "Born on " + DateWords(born) + ", " + Num(state.WeekStartDay - DayNumber(born)) +
         " days before Monday " + DateWords(monday) +
         ", the first day of the summary's week: 44165 days (121 x 365) or more give this "
         "error.";
}

std::string Provenance(const SummaryState& state, E number) {
  const std::string_view mode = Field(state, wr_field::kEntryMode);
  const std::string given = Quoted(Field(state, wr_field::kProvenance));
  if (number == E::kProvenanceUnknown) {
    if (mode[0] == '8')
      return "After entry mode 8 the provenance must be blank or 5 to 7; it is " + given + ".";
    return "After entry mode " + std::string(mode) + " the provenance must be 1 to 4; it is " +
           given + ".";
  }
  if (IsBlank(mode)) {
    return "The entry mode is blank and the stay kind is " + std::string(1, StayKind(state)) +
           " (not 1 or 5): the provenance must then be blank too; it is " + given + ".";
  }
  return "After entry mode " + Quoted(mode) +
         " (not 0, 6, 7 or 8) the provenance must be blank or 1 to 7; it is " + given + ".";
}

std::string Destination(const SummaryState& state) {
  const std::string_view mode = Field(state, wr_field::kExitMode);
  const std::string given = Quoted(Field(state, wr_field::kDestination));
  if (IsBlank(mode)) {
    return "The exit mode is blank and the stay kind is " + std::string(1, StayKind(state)) +
           " (not 1 or 5): the destination must then be blank too; it is " + given + ".";
  }
  if (mode[0] == '9')
    return "After exit mode 9 the destination must be blank; it is " + given + ".";
  if (mode[0] == '8') {
    return "After exit mode 8 the destination must be blank or 5 to 7; it is " + given + ".";
  }
  return "After exit mode " + Quoted(mode) +
         " (not 0, 6, 7, 8 or 9) the destination must be blank or 1 to 4; it is " + given + ".";
}

std::string PresenceDays(const SummaryState& state) {
  const std::string_view days = Field(state, wr_field::kPresenceDays);
  for (size_t i = 0; i < days.size(); ++i) {
    if (days[i] != ' ' && days[i] != '0' && days[i] != '1') {
      return "Day " + Num(static_cast<int64_t>(i) + 1) + " of the presence days holds " +
             Quoted(days.substr(i, 1)) + ": only 0, 1 or a space may stand there.";
    }
  }
  return "No day is marked 1: a summary needs at least one day of presence.";
}

}  // namespace

std::string ErrorReason(const SummaryState& state, int16_t number, int index) {
  const bool in_run = index >= 0 && index < kAssociatedDiagCount;  // for the run's errors
  switch (static_cast<E>(number)) {
    case E::kBirthDateForm:
      return DateFormFault("birth date", Field(state, wr_field::kBirthDate),
                           line_field::kBirthDate);
    case E::kBirthDateInvalid:
      return InvalidDate("birth date", Field(state, wr_field::kBirthDate));
    case E::kBirthAfterWeek:
      return BirthAfterWeek(state);
    case E::kBirthTooLongAgo:
      return BirthTooLongAgo(state);
    case E::kEntryDateForm: {
      const std::string_view entry = Field(state, wr_field::kEntryDate);
      if (IsBlank(entry)) {
        return "The entry date is blank, and stay kind " + std::string(1, StayKind(state)) +
               " requires one.";
      }
      return DateFormFault("entry date", entry, line_field::kEntryDate);
    }
    case E::kEntryDateInvalid:
      return InvalidDate("entry date", Field(state, wr_field::kEntryDate));
    case E::kEntryModeNotDigit: {
      const std::string_view mode = Field(state, wr_field::kEntryMode);
      if (IsBlank(mode)) {
        return "The entry mode is blank, and stay kind " + std::string(1, StayKind(state)) +
               " requires one.";
      }
      return "The entry mode " + Quoted(mode) + " is not a digit.";
    }
    case E::kProvenanceUnknown:
    case E::kProvenanceUnexpected:
      return Provenance(state, static_cast<E>(number));
    case E::kExitDateInvalid:
      return InvalidDate("exit date", Field(state, wr_field::kExitDate));
    case E::kDestinationUnexpected:
      return Destination(state);
    case E::kWeekOutOfRange: {
      const std::string_view week = Field(state, wr_field::kWeekNo);
      return "The week, the first two characters " + Quoted(week.substr(0, 2)) + ", reads as " +
             Num(SplitWeek(week).week) + ", not 1 to 53.";
    }
    case E::kWeekBeforeEntry:
      return WeekAgainst(state, "before", "entry date", wr_field::kEntryDate);
    case E::kWeekAfterExit:
      return WeekAgainst(state, "after", "exit date", wr_field::kExitDate);
    case E::kPresenceDaysBad:
      return PresenceDays(state);
    case E::kRefDateInvalid:
      return InvalidDate("reference date", Field(state, wr_field::kRefDate));
    case E::kRefDateAfterWeek:
      return WeekAgainst(state, "before", "reference date", wr_field::kRefDate);
    case E::kDiag0Bad:
      return FormOrTable(state, 0);
    case E::kDiag0LetterOrFirstPair: {
      const std::string_view code = state.Record.Diag(0);
      if (ToUpperAscii(code[0]) != 'Z') {
        return "The code " + Quoted(code) + " does not start with Z, as a first diagnosis must.";
      }
      return Refusal(state, 0, kPairFirst);
    }
    case E::kDiag0SecondPair:
      return Refusal(state, 0, kPairSecond);
    case E::kDiag1Bad:
      return FormOrTable(state, 1);
    case E::kDiag1FirstPair:
      return Refusal(state, 1, kPairFirst);
    case E::kDiag1SecondPair:
      return Refusal(state, 1, kPairSecond);
    case E::kDiag2Bad:
      return FormOrTable(state, 2);
    case E::kDiag2FirstPair:
      return Refusal(state, 2, kPairFirst);
    case E::kDiag2SecondPair:
      return Refusal(state, 2, kPairSecond);
    case E::kAssociatedBad:
      return in_run ? FormOrTable(state, 3 + index) : "";
    case E::kAssociatedFirstPair:
      return in_run ? Refusal(state, 3 + index, kPairFirst) : "";
    case E::kAssociatedSecondPair:
      return in_run ? Refusal(state, 3 + index, kPairSecond) : "";
    case E::kActCountForm:
      return NotADigitOrSpace("act count", Field(state, wr_field::kActCount),
                              "a space after its digit");
    case E::kDurationForm:
      if (index < 0 || index >= kDurationCount) return "";
      return NotADigitOrSpace("duration", state.Record.Duration(index + 1),
                              "a space between its digits");
    default:
      return "";
  }
}

}  // namespace grulo
