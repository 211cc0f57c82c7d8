// The catalogue of the error numbers 1 to 82: for each number the field of
// the summary line it concerns, whether a check produces it, whether it
// blocks grouping, a one-line description and, where a rule holds a surprise,
// a longer note, both written for the person who has to correct the summary.
// No text of the catalogue is ever written to the classic output files: they
// carry numbers only.
//
// The catalogue is the one source of the blocking classes: NonBlockingErrors
// (error_list.h) is computed from it when the program is compiled.

#ifndef GRULO_CHECKS_ERROR_CATALOGUE_H_
#define GRULO_CHECKS_ERROR_CATALOGUE_H_

#include <array>
#include <cstdint>
#include <string_view>

#include "checks/error_number.h"
#include "record/summary_layout.h"

namespace grulo {

// Where the field of an error lies in the summary line (offsets from 0, as
// in line_field): one field, or a run of `count` fields of the same width,
// `stride` characters apart, the first at `first` (the associated diagnoses,
// the scores, the durations, the acts checked). For a number that no check
// produces the name is empty and `count` is 0.
struct ErrorField {
  std::string_view name;  // for a person: "birth date", "associated diagnoses"
  FieldRef first;
  int count = 1;
  int stride = 0;

  // Field i of the run, 0 to count - 1.
  constexpr FieldRef At(int i) const { return {first.offset + stride * i, first.length}; }
};

struct ErrorInfo {
  ErrorNumber number;
  ErrorField field;
  bool produced;                 // false: kept in the numbering, never produced
  bool blocking;                 // a summary with this error is not grouped
  std::string_view description;  // one line, for listings
  std::string_view note;         // empty, or what the one line leaves out
};

// The fields, as the catalogue names them.
namespace error_field {
inline constexpr ErrorField kEstablishmentNo{"establishment number", line_field::kEstablishmentNo};
inline constexpr ErrorField kStayNo{"stay number", line_field::kStayNo};
inline constexpr ErrorField kStayKind{"stay kind", line_field::kStayKind};
inline constexpr ErrorField kBirthDate{"birth date", line_field::kBirthDate};
inline constexpr ErrorField kSex{"sex", line_field::kSex};
inline constexpr ErrorField kPostCode{"post code", line_field::kPostCode};
inline constexpr ErrorField kEntryDate{"entry date", line_field::kEntryDate};
inline constexpr ErrorField kEntryMode{"entry mode", line_field::kEntryMode};
inline constexpr ErrorField kProvenance{"provenance", line_field::kProvenance};
inline constexpr ErrorField kExitDate{"exit date", line_field::kExitDate};
inline constexpr ErrorField kExitMode{"exit mode", line_field::kExitMode};
inline constexpr ErrorField kDestination{"destination", line_field::kDestination};
inline constexpr ErrorField kWeekNo{"week number", line_field::kWeekNo};
inline constexpr ErrorField kPresenceDays{"presence days", line_field::kPresenceDays};
inline constexpr ErrorField kUnitNo{"unit number", line_field::kUnitNo};
inline constexpr ErrorField kRefDate{"reference date", line_field::kRefDate};
// Diagnosis slot i takes 8 characters of the line, of which the code is the
// first 6; the other two are never read.
inline constexpr ErrorField kDiag0{"first diagnosis", {line_field::kDiagOffset, kDiagCodeLength}};
inline constexpr ErrorField kDiag1{
    "second diagnosis", {line_field::kDiagOffset + line_field::kDiagStride, kDiagCodeLength}};
inline constexpr ErrorField kDiag2{
    "third diagnosis", {line_field::kDiagOffset + 2 * line_field::kDiagStride, kDiagCodeLength}};
inline constexpr ErrorField kAssociatedDiags{
    "associated diagnoses",
    {line_field::kDiagOffset + 3 * line_field::kDiagStride, kDiagCodeLength},
    kAssociatedDiagCount,
    line_field::kDiagStride};
inline constexpr ErrorField kScores{"scores", {line_field::kScores.offset, 1},
                                    line_field::kScores.length, 1};
inline constexpr ErrorField kIndicator{"indicator", line_field::kIndicator};
inline constexpr ErrorField kDurations{"durations",
                                       {line_field::kDurations.offset, kDurationLength},
                                       kDurationCount,
                                       kDurationLength};
inline constexpr ErrorField kActCount{"act count", line_field::kActCount};
// Only the first kMaxActSlots acts are checked.
inline constexpr ErrorField kActs{"acts", {line_field::kActsOffset, kActCodeLength},
                                  kMaxActSlots, kActCodeLength};
}  // namespace error_field

namespace catalogue_internal {

inline constexpr bool kBlocks = true;
inline constexpr bool kDoesNotBlock = false;

constexpr ErrorInfo Blocks(ErrorNumber number, const ErrorField& field,
                           std::string_view description, std::string_view note = {}) {
  return {number, field, true, kBlocks, description, note};
}
constexpr ErrorInfo DoesNotBlock(ErrorNumber number, const ErrorField& field,
                                 std::string_view description, std::string_view note = {}) {
  return {number, field, true, kDoesNotBlock, description, note};
}
// `blocking`: how the number would be sorted if it ever came up.
constexpr ErrorInfo NeverProduced(ErrorNumber number, bool blocking) {
  return {number, ErrorField{{}, {0, 0}, 0, 0}, false, blocking,
          "Never produced: no check gives this number.", {}};
}

using E = ErrorNumber;
using namespace error_field;

// Entry i describes error number i + 1.
inline constexpr std::array<ErrorInfo, kErrorNumberCount> kCatalogue = {{
    DoesNotBlock(E::kEstablishmentNoForm, kEstablishmentNo,
           "blank, or not a digit, a digit or A or B, and seven digits"),
    Blocks(E::kStayNoBlank, kStayNo,
           "blank"),
    Blocks(E::kStayNoForm, kStayNo,
           "not digits after optional leading blanks"),
    NeverProduced(E::kReserved4, kDoesNotBlock),
    NeverProduced(E::kReserved5, kDoesNotBlock),
    NeverProduced(E::kReserved6, kDoesNotBlock),
    NeverProduced(E::kReserved7, kDoesNotBlock),
    Blocks(E::kStayKindNotDigit, kStayKind,
           "blank or not a digit"),
    Blocks(E::kStayKindUnknown, kStayKind,
           "a digit other than 1 to 8"),
    Blocks(E::kBirthDateBlank, kBirthDate,
           "blank"),
    Blocks(E::kBirthDateForm, kBirthDate,
           "not a date text after leading blanks, or fewer than 7 characters left"),
    Blocks(E::kBirthDateInvalid, kBirthDate,
           "not a valid date"),
    Blocks(E::kBirthAfterWeek, kBirthDate,
           "after the Sunday of the summary's week, or the week gives no Monday"),
    Blocks(E::kBirthTooLongAgo, kBirthDate,
           "at least 44165 days (121 x 365) before the Monday of the week"),
    Blocks(E::kSexNotDigit, kSex,
           "blank or not a digit"),
    Blocks(E::kSexUnknown, kSex,
           "a digit other than 1 and 2"),
    DoesNotBlock(E::kUnitNoBlank, kUnitNo,
           "blank"),
    NeverProduced(E::kReserved18, kDoesNotBlock),
    Blocks(E::kEntryDateForm, kEntryDate,
           "blank for stay kinds 1 and 5, or not a date text after leading blanks, or  fewer than 7 characters left"),
    Blocks(E::kEntryDateInvalid, kEntryDate,
           "not a valid date"),
    DoesNotBlock(E::kEntryAfterToday, kEntryDate,
           "after today"),
    DoesNotBlock(E::kEntryYearTooOld, kEntryDate,
           "year 1990 or earlier"),
    DoesNotBlock(E::kEntryModeNotDigit, kEntryMode,
           "blank for stay kinds 1 and 5, or not a digit"),
    DoesNotBlock(E::kEntryModeUnknown, kEntryMode,
           "a digit other than 0, 6, 7, 8"),
    DoesNotBlock(E::kProvenanceBlank, kProvenance,
           "blank after entry mode 0, 6 or 7"),
    DoesNotBlock(E::kProvenanceUnknown, kProvenance,
           "not 1 to 4 after entry mode 0, 6 or 7; not blank or 5 to 7 after mode 8"),
    DoesNotBlock(E::kProvenanceUnexpected, kProvenance,
           "given without entry mode (kinds other than 1, 5); not blank or 1 to 7 after  any other entry mode"),
    NeverProduced(E::kReserved28, kDoesNotBlock),
    DoesNotBlock(E::kExitDateTooShort, kExitDate,
           "fewer than 7 characters after leading blanks"),
    DoesNotBlock(E::kExitDateForm, kExitDate,
           "not a date text after leading blanks"),
    DoesNotBlock(E::kExitDateInvalid, kExitDate,
           "not a valid date"),
    Blocks(E::kExitBeforeEntry, kExitDate,
           "before a correct, present entry date"),
    DoesNotBlock(E::kExitAfterToday, kExitDate,
           "after today (not tested while a correct entry date is left out)"),
    DoesNotBlock(E::kExitModeBlank, kExitMode,
           "blank while an exit date is given"),
    DoesNotBlock(E::kExitModeNotDigit, kExitMode,
           "not a digit"),
    DoesNotBlock(E::kExitModeUnknown, kExitMode,
           "a digit other than 0, 6, 7, 8, 9"),
    DoesNotBlock(E::kDestinationBlank, kDestination,
           "blank after exit mode 0, 6 or 7"),
    DoesNotBlock(E::kDestinationUnknown, kDestination,
           "not 1 to 4 after exit mode 0, 6 or 7"),
    DoesNotBlock(E::kDestinationUnexpected, kDestination,
           "given without exit mode (kinds other than 1, 5) or after mode 9; not blank  or 5 to 7 after mode 8; not blank or 1 to 4 after any other exit mode"),
    DoesNotBlock(E::kPostCodeBlank, kPostCode,
           "blank"),
    DoesNotBlock(E::kPostCodeForm, kPostCode,
           "not five digits"),
    Blocks(E::kWeekOutOfRange, kWeekNo,
           "week below 1 or above 53"),
    Blocks(E::kWeekYearFuture, kWeekNo,
           "year after the current year"),
    DoesNotBlock(E::kWeekYearTooOld, kWeekNo,
           "year before 1990"),
    Blocks(E::kWeekBeforeEntry, kWeekNo,
           "stay kinds 1 and 5: before the week of a correct, present entry date"),
    Blocks(E::kWeekAfterExit, kWeekNo,
           "stay kinds 1 and 5: after the week of a correct, present exit date"),
    Blocks(E::kPresenceDaysBad, kPresenceDays,
           "a flag other than blank, 0 and 1, or no day of presence at all"),
    Blocks(E::kRefDateInvalid, kRefDate,
           "given but not a valid date"),
    Blocks(E::kRefDateAfterWeek, kRefDate,
           "the summary's week lies before its week"),
    Blocks(E::kDiag0Bad, kDiag0,
           "blank; not a code of the form X99++Z (other than ZAIGU); or not in the table"),
    Blocks(E::kDiag0LetterOrFirstPair, kDiag0,
           "first letter not Z; or category 99 with the attribute pair 38, 210"),
    Blocks(E::kDiag0SecondPair, kDiag0,
           "category 99 with the attribute pair 38, 212"),
    Blocks(E::kDiag0Position, kDiag0,
           "not allowed in this position"),
    Blocks(E::kDiag1Blank, kDiag1,
           "blank"),
    Blocks(E::kDiag1Letter, kDiag1,
           "first letter U to Y"),
    Blocks(E::kDiag1ZAfterPlaceholder, kDiag1,
           "first letter Z while Diag[0] is ZAIGU"),
    Blocks(E::kDiag1SameAsFirst, kDiag1,
           "equal to Diag[0]"),
    Blocks(E::kDiag1Bad, kDiag1,
           "not of the form X99++Z (other than ZAIGU), or not in the table"),
    Blocks(E::kDiag1FirstPair, kDiag1,
           "category 99 with the attribute pair 38, 210"),
    Blocks(E::kDiag1SecondPair, kDiag1,
           "category 99 with the attribute pair 38, 212"),
    Blocks(E::kDiag1Position, kDiag1,
           "not allowed in this position"),
    NeverProduced(E::kReserved62, kBlocks),
    Blocks(E::kDiag2Letter, kDiag2,
           "first letter R or U to Z"),
    DoesNotBlock(E::kDiag2Repeated, kDiag2,
           "equal to Diag[0] or to Diag[1]"),
    Blocks(E::kDiag2Bad, kDiag2,
           "not of the form X99++Z (other than ZAIGU), or not in the table"),
    Blocks(E::kDiag2FirstPair, kDiag2,
           "category 99 with the attribute pair 38, 210"),
    Blocks(E::kDiag2SecondPair, kDiag2,
           "category 99 with the attribute pair 38, 212"),
    Blocks(E::kDiag2Position, kDiag2,
           "not allowed in this position"),
    NeverProduced(E::kReserved69, kDoesNotBlock),
    DoesNotBlock(E::kAssociatedBad, kAssociatedDiags,
           "not of the form X99++Z (other than ZAIGU), or not in the table"),
    DoesNotBlock(E::kAssociatedFirstPair, kAssociatedDiags,
           "category 99 with the attribute pair 38, 210"),
    DoesNotBlock(E::kAssociatedSecondPair, kAssociatedDiags,
           "category 99 with the attribute pair 38, 212"),
    DoesNotBlock(E::kAssociatedPosition, kAssociatedDiags,
           "not allowed in this position"),
    Blocks(E::kActCountBlank, kActCount,
           "blank"),
    Blocks(E::kActCountForm, kActCount,
           "not digits after optional leading blanks"),
    Blocks(E::kTooManyActs, kActCount,
           "more than 10"),
    Blocks(E::kScoreBad, kScores,
           "a score other than 1 to 4 (once per score)"),
    Blocks(E::kIndicatorBad, kIndicator,
           "neither 1 nor 2"),
    Blocks(E::kDurationBlank, kDurations,
           "a blank duration (once per duration)"),
    Blocks(E::kDurationForm, kDurations,
           "a blank between digits or a non-digit (once per duration)"),
    Blocks(E::kActForm, kActs,
           "not four letters and four digits (once per act)"),
    DoesNotBlock(E::kActUnknown, kActs,
           "not in the act table (once per act)"),
}};

constexpr bool NumberedInOrder() {
  for (int i = 0; i < kErrorNumberCount; ++i) {
    if (ToNumber(kCatalogue[i].number) != i + 1) return false;
  }
  return true;
}
static_assert(NumberedInOrder(), "entry i must describe error number i + 1");

}  // namespace catalogue_internal

// The 82 entries, entry i describing error number i + 1.
inline constexpr const std::array<ErrorInfo, kErrorNumberCount>& kErrorCatalogue =
    catalogue_internal::kCatalogue;

// The same, for callers that prefer a function.
const std::array<ErrorInfo, kErrorNumberCount>& ErrorCatalogue();

// The entry of an error number; nullptr outside 1 to 82.
const ErrorInfo* FindErrorInfo(int16_t number);

// The entry of a named number; kNone has none (nullptr).
const ErrorInfo* FindErrorInfo(ErrorNumber number);

}  // namespace grulo

#endif  // GRULO_CHECKS_ERROR_CATALOGUE_H_
