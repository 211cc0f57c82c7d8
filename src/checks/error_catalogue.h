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

// Notes that several numbers share.
inline constexpr std::string_view kDiagFormNote =
    "A diagnosis code is a letter and two digits, then three characters: the fourth and "
    "fifth each a digit, a + or a space, the sixth a digit or a space; a + in the sixth "
    "character, and any + just before it, counts as a space. `grulo explain` tells "
    "whether the form or the table is at fault.";
inline constexpr std::string_view kDiagFormAndPlaceholderNote =
    "A diagnosis code is a letter and two digits, then three characters: the fourth and "
    "fifth each a digit, a + or a space, the sixth a digit or a space; a + in the sixth "
    "character, and any + just before it, counts as a space. A code of that form that "
    "does not start with Z gets error 51, whether the table knows it or not. The "
    "placeholder code ZAIGU is accepted as first diagnosis without any further test, "
    "whatever the table says. `grulo explain` tells which case applies.";
inline constexpr std::string_view kAssociatedFormNote =
    "A diagnosis code is a letter and two digits, then three characters: the fourth and "
    "fifth each a digit, a + or a space, the sixth a digit or a space; a + in the sixth "
    "character, and any + just before it, counts as a space. Blank slots pass. `grulo "
    "explain` tells whether the form or the table is at fault.";
inline constexpr std::string_view kRefusalNote =
    "The diagnosis table refuses some codes wherever they stand in the summary, with one "
    "of two kinds of refusal: the first gives error 51, 59, 66 or 71 (as first, second, "
    "third or associated diagnosis), the second 52, 60, 67 or 72; a code refused both "
    "ways gets the first. Use another code: only the tables' provider can change what "
    "the table says of a code. With some tables the refusal is read across the end of "
    "the code's record into the record of the next diagnosis of the line, so that the "
    "code that follows can take part in it; `grulo explain` shows the record of each "
    "diagnosis.";
inline constexpr std::string_view kRefusalSeeNote =
    "What the two kinds of refusal mean: see error 51. Use another code: only the tables' "
    "provider can change what the table says of a code.";

// Entry i describes error number i + 1.
inline constexpr std::array<ErrorInfo, kErrorNumberCount> kCatalogue = {{
    DoesNotBlock(E::kEstablishmentNoForm, kEstablishmentNo,
                 "Not nine characters of the form: a digit, a digit or A or B, seven digits.",
                 "A blank field, or a space anywhere in it, counts as wrong. The second "
                 "character may be A or B, in upper or lower case (Corsican establishments)."),
    Blocks(E::kStayNoBlank, kStayNo, "Blank."),
    Blocks(E::kStayNoForm, kStayNo,
           "Not digits: a character other than a digit (a letter, a sign...), or a space "
           "between or after the digits.",
           "Spaces before the digits are allowed (`   1234` passes)."),
    NeverProduced(E::kReserved4, kDoesNotBlock),
    NeverProduced(E::kReserved5, kDoesNotBlock),
    NeverProduced(E::kReserved6, kDoesNotBlock),
    NeverProduced(E::kReserved7, kDoesNotBlock),
    Blocks(E::kStayKindNotDigit, kStayKind, "Blank or not a digit."),
    Blocks(E::kStayKindUnknown, kStayKind, "A digit other than 1 to 8 (0 or 9)."),
    Blocks(E::kBirthDateBlank, kBirthDate, "Blank."),
    Blocks(E::kBirthDateForm, kBirthDate,
           "Not DDMMYYYY (the first digit of the day or of the month may be a space), or "
           "starts with two or more spaces."),
    Blocks(E::kBirthDateInvalid, kBirthDate,
           "Not a day of the calendar: day 0, 31 April, 29 February of a common year, "
           "month 0 or 13...",
           "The year itself is not checked: any four digits pass, 0000 included."),
    Blocks(E::kBirthAfterWeek, kBirthDate,
           "After the Sunday of the summary's week, or the week number cannot be turned "
           "into a date.",
           "Also given for a correct birth date when the week number (columns 75-80) cannot "
           "be turned into a date: a week outside 1 to 53 or a year before 1990 (errors 42, "
           "44), and a week number that is not six digits, one leading space aside, such as "
           "`1 2009` or `+12009`. The week check reads those last two as week 1 of 2009 and "
           "reports nothing, so 13 may be the only error such a summary gets. Then correct "
           "the week number, not the birth date. One gap: when the week number gives no "
           "date, a birth date from 1 January to 5 December of year 0000 is not caught, "
           "neither by this error nor by 14."),
    Blocks(E::kBirthTooLongAgo, kBirthDate,
           "Born 44165 days (121 x 365) or more before the Monday of the summary's week: "
           "from about 120 years and 11 months of age on, not 121 years.",
           "The limit counts years of 365 days, so it comes about a month before the 121st "
           "birthday: someone born on 9 May 1903 gets this error in the week of Monday 8 "
           "April 2024, at 120 years, 10 months and 30 days. A birth date in year 0000 gets "
           "this error only when the week number gives a date (see error 13)."),
    Blocks(E::kSexNotDigit, kSex, "Blank or not a digit."),
    Blocks(E::kSexUnknown, kSex, "A digit other than 1 or 2."),
    DoesNotBlock(E::kUnitNoBlank, kUnitNo, "Blank.",
                 "Anything that is not blank passes, letters included."),
    NeverProduced(E::kReserved18, kDoesNotBlock),
    Blocks(E::kEntryDateForm, kEntryDate,
           "Blank for stay kinds 1 and 5; or not DDMMYYYY (the first digit of the day or of "
           "the month may be a space); or starts with two or more spaces.",
           "Other stay kinds may leave the entry date blank."),
    Blocks(E::kEntryDateInvalid, kEntryDate,
           "Not a day of the calendar: day 0, 31 April, 29 February of a common year, "
           "month 0 or 13..."),
    DoesNotBlock(E::kEntryAfterToday, kEntryDate,
                 "After today (the computer's local date when the summary is checked).",
                 "While the entry date has this error, the exit date is not compared with it "
                 "(no error 32) and, for stay kinds 1 and 5, neither is the week (no error 45)."),
    DoesNotBlock(E::kEntryYearTooOld, kEntryDate, "In 1990 or earlier.",
                 "While the entry date has this error, the exit date is not compared with it "
                 "(no error 32) and, for stay kinds 1 and 5, neither is the week (no error 45)."),
    DoesNotBlock(E::kEntryModeNotDigit, kEntryMode,
                 "Blank for stay kinds 1 and 5, or not a digit.",
                 "Other stay kinds may leave the entry mode blank."),
    DoesNotBlock(E::kEntryModeUnknown, kEntryMode, "A digit other than 0, 6, 7 or 8."),
    DoesNotBlock(E::kProvenanceBlank, kProvenance, "Blank after entry mode 0, 6 or 7."),
    DoesNotBlock(E::kProvenanceUnknown, kProvenance,
                 "After entry mode 0, 6 or 7: not 1 to 4; after entry mode 8: neither blank "
                 "nor 5 to 7."),
    DoesNotBlock(E::kProvenanceUnexpected, kProvenance,
                 "Given while the entry mode is blank, for stay kinds other than 1 and 5; or, "
                 "after an entry mode other than 0, 6, 7 and 8, neither blank nor 1 to 7.",
                 "For stay kinds 1 and 5 a blank entry mode gets error 23 and the provenance is "
                 "not checked at all; for the other kinds a blank entry mode asks for a blank "
                 "provenance."),
    NeverProduced(E::kReserved28, kDoesNotBlock),
    DoesNotBlock(E::kExitDateTooShort, kExitDate,
                 "Starts with two or more spaces (a blank exit date passes)."),
    DoesNotBlock(E::kExitDateForm, kExitDate,
                 "Not DDMMYYYY (the first digit of the day or of the month may be a space)."),
    DoesNotBlock(E::kExitDateInvalid, kExitDate,
                 "Not a day of the calendar: day 0, 31 April, 29 February of a common year, "
                 "month 0 or 13..."),
    Blocks(E::kExitBeforeEntry, kExitDate, "Before the entry date.",
           "Tested only when the entry date is given and has none of the errors 19 to 22: an "
           "entry date that is merely in the future (21) or in 1990 or earlier (22), neither "
           "of which blocks, switches this test off."),
    DoesNotBlock(E::kExitAfterToday, kExitDate,
                 "After today (the computer's local date when the summary is checked).",
                 "Not tested when the entry date is left blank without error (stay kinds "
                 "other than 1 and 5), nor when the exit lies before the entry (error 32). "
                 "While the exit date has this error, the week is not compared with it (no "
                 "error 46)."),
    DoesNotBlock(E::kExitModeBlank, kExitMode, "Blank while an exit date is given."),
    DoesNotBlock(E::kExitModeNotDigit, kExitMode, "Not a digit.",
                 "The exit mode is checked even when the exit date is blank."),
    DoesNotBlock(E::kExitModeUnknown, kExitMode, "A digit other than 0, 6, 7, 8 or 9.",
                 "The exit mode is checked even when the exit date is blank."),
    DoesNotBlock(E::kDestinationBlank, kDestination, "Blank after exit mode 0, 6 or 7."),
    DoesNotBlock(E::kDestinationUnknown, kDestination, "After exit mode 0, 6 or 7: not 1 to 4."),
    DoesNotBlock(E::kDestinationUnexpected, kDestination,
                 "Given while the exit mode is 9, or blank for stay kinds other than 1 and 5; "
                 "after exit mode 8, neither blank nor 5 to 7; after any other exit mode (not "
                 "0, 6, 7, 8 or 9), neither blank nor 1 to 4.",
                 "A wrong destination after exit mode 8 gives this error, not 38. For stay "
                 "kinds 1 and 5 a blank exit mode lets any destination pass."),
    DoesNotBlock(E::kPostCodeBlank, kPostCode, "Blank."),
    DoesNotBlock(E::kPostCodeForm, kPostCode, "Not five digits (a space anywhere counts)."),
    Blocks(E::kWeekOutOfRange, kWeekNo, "The week (the first two characters) is not 1 to 53.",
           "The week and the year are each read as a number: spaces before it are skipped, "
           "a + or - before the digits is its sign, and reading stops at the first other "
           "character. So `-52026` is week -5 and gets this error, while `1 2009` and "
           "`+12009` read as week 1 of 2009 and pass this check; they still cannot be "
           "turned into a date (see error 13)."),
    Blocks(E::kWeekYearFuture, kWeekNo,
           "The year (the last four characters) is after the current year (that of the "
           "computer's local date when the summary is checked)."),
    DoesNotBlock(E::kWeekYearTooOld, kWeekNo, "The year is before 1990."),
    Blocks(E::kWeekBeforeEntry, kWeekNo,
           "Stay kinds 1 and 5: the week lies before the week that contains the entry date.",
           "Tested only when the week number has none of the errors 42 to 44 and the entry "
           "date is given and has none of the errors 19 to 22 (an entry date that is merely "
           "in the future switches it off). Weeks run Monday to Sunday and are numbered as in "
           "ISO 8601, except that a day of 1 to 3 January that lies before the Monday of week "
           "1 counts in week 53 of the year before, even when that year has only 52 weeks (1 "
           "January 2011 counts in week 53 of 2010)."),
    Blocks(E::kWeekAfterExit, kWeekNo,
           "Stay kinds 1 and 5: the week lies after the week that contains the exit date.",
           "Tested only when the week number has none of the errors 42 to 45 and the exit "
           "date is given and has none of the errors 29 to 33 (an exit date that is merely in "
           "the future switches it off). Weeks run Monday to Sunday and are numbered as in "
           "ISO 8601, except that a day of 1 to 3 January that lies before the Monday of week "
           "1 counts in week 53 of the year before, even when that year has only 52 weeks (1 "
           "January 2011 counts in week 53 of 2010)."),
    Blocks(E::kPresenceDaysBad, kPresenceDays,
           "A flag other than 0, 1 or a space, or no 1 among the seven."),
    Blocks(E::kRefDateInvalid, kRefDate, "Given but not a day of the calendar.",
           "The layout of the reference date is never checked: day, month and year are each "
           "read as a number (spaces before it skipped, a + or - before the digits taken as "
           "its sign, reading stops at the first other character). So `0101ABCD` passes as "
           "1 January of year 0, `1 1 2009` and `01+12009` as 1 January 2009, while the "
           "month -1 of `01-12009` gets this error."),
    Blocks(E::kRefDateAfterWeek, kRefDate,
           "The summary's week lies before the week that contains the reference date.",
           "The week number is read as it stands, even when it has an error of its own "
           "(week 00 of 2009 comes before week 1 of 2009). Weeks run Monday to Sunday and are "
           "numbered as in ISO 8601, except that a day of 1 to 3 January that lies before the "
           "Monday of week 1 counts in week 53 of the year before, even when that year has "
           "only 52 weeks (1 January 2011 counts in week 53 of 2010)."),
    Blocks(E::kDiag0Bad, kDiag0,
           "Blank; not of the form of a diagnosis code; or a code starting with Z that the "
           "diagnosis table does not know.",
           kDiagFormAndPlaceholderNote),
    Blocks(E::kDiag0LetterOrFirstPair, kDiag0,
           "Does not start with Z; or the diagnosis table refuses the code (the first of "
           "its two kinds of refusal).",
           kRefusalNote),
    Blocks(E::kDiag0SecondPair, kDiag0,
           "The diagnosis table refuses the code (the second of its two kinds of refusal).",
           kRefusalSeeNote),
    Blocks(E::kDiag0Position, kDiag0,
           "The diagnosis table does not allow the code as the first diagnosis."),
    Blocks(E::kDiag1Blank, kDiag1, "Blank."),
    Blocks(E::kDiag1Letter, kDiag1, "Starts with U, V, W, X or Y (in either case).",
           "A code that is not of the form of a diagnosis code gets error 58 first."),
    Blocks(E::kDiag1ZAfterPlaceholder, kDiag1,
           "Starts with Z while the first diagnosis is the placeholder code ZAIGU."),
    Blocks(E::kDiag1SameAsFirst, kDiag1, "The same code as the first diagnosis.",
           "Codes are compared character by character as the line writes them, once a + "
           "in the sixth character, and any + just before it, counts as a space: `z501` is "
           "not the same code as `Z501`, while `Z5012+` is the same as `Z5012`."),
    Blocks(E::kDiag1Bad, kDiag1,
           "Not of the form of a diagnosis code; or of that form but not in the diagnosis "
           "table.",
           kDiagFormNote),
    Blocks(E::kDiag1FirstPair, kDiag1,
           "The diagnosis table refuses the code (the first of its two kinds of refusal).",
           kRefusalSeeNote),
    Blocks(E::kDiag1SecondPair, kDiag1,
           "The diagnosis table refuses the code (the second of its two kinds of refusal).",
           kRefusalSeeNote),
    Blocks(E::kDiag1Position, kDiag1,
           "The diagnosis table does not allow the code as the second diagnosis."),
    NeverProduced(E::kReserved62, kBlocks),
    Blocks(E::kDiag2Letter, kDiag2, "Starts with R, U, V, W, X, Y or Z (in either case).",
           "Tested before the repetition: a copy of a first diagnosis that starts with Z gets "
           "this error, not 64. A code that is not of the form of a diagnosis code gets "
           "error 65 first."),
    DoesNotBlock(E::kDiag2Repeated, kDiag2,
                 "The same code as the first or the second diagnosis."),
    Blocks(E::kDiag2Bad, kDiag2,
           "Not of the form of a diagnosis code; or of that form but not in the diagnosis "
           "table.",
           kDiagFormNote),
    Blocks(E::kDiag2FirstPair, kDiag2,
           "The diagnosis table refuses the code (the first of its two kinds of refusal).",
           kRefusalSeeNote),
    Blocks(E::kDiag2SecondPair, kDiag2,
           "The diagnosis table refuses the code (the second of its two kinds of refusal).",
           kRefusalSeeNote),
    Blocks(E::kDiag2Position, kDiag2,
           "The diagnosis table does not allow the code as the third diagnosis."),
    NeverProduced(E::kReserved69, kDoesNotBlock),
    DoesNotBlock(E::kAssociatedBad, kAssociatedDiags,
                 "Not of the form of a diagnosis code; or of that form but not in the "
                 "diagnosis table (once per code).",
                 kAssociatedFormNote),
    DoesNotBlock(E::kAssociatedFirstPair, kAssociatedDiags,
                 "The diagnosis table refuses the code (the first of its two kinds of "
                 "refusal); once per code.",
                 kRefusalSeeNote),
    DoesNotBlock(E::kAssociatedSecondPair, kAssociatedDiags,
                 "The diagnosis table refuses the code (the second of its two kinds of "
                 "refusal); once per code.",
                 kRefusalSeeNote),
    DoesNotBlock(E::kAssociatedPosition, kAssociatedDiags,
                 "The diagnosis table does not allow the code as an associated diagnosis; "
                 "once per code."),
    Blocks(E::kActCountBlank, kActCount, "Blank."),
    Blocks(E::kActCountForm, kActCount,
           "Not digits: a character other than a digit, or a space after the digit (a "
           "space before a single digit passes)."),
    Blocks(E::kTooManyActs, kActCount, "More than 10.",
           "Only the first 10 acts are looked up and checked."),
    Blocks(E::kScoreBad, kScores, "A score other than 1 to 4 (once per score)."),
    Blocks(E::kIndicatorBad, kIndicator, "Neither 1 nor 2."),
    Blocks(E::kDurationBlank, kDurations, "A blank duration (once per duration)."),
    Blocks(E::kDurationForm, kDurations,
           "A space between digits, or a character other than a digit (once per duration).",
           "The digits may stand at the left or at the right of the four characters."),
    Blocks(E::kActForm, kActs,
           "Not four letters followed by four digits (once per act); a blank act passes."),
    DoesNotBlock(E::kActUnknown, kActs, "Not in the act table (once per act).",
                 "The first three letters are looked up in either case, the fourth only as "
                 "written: `ABCd1234` is not the act `ABCD1234`."),
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
