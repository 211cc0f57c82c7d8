// The error numbers 1 to 82, each named for the fault it reports. A field
// check returns one of them, or kNone when the field passes; the error list
// and the output files carry the plain signed 16-bit numbers. The catalogue
// (error_catalogue.h) says for each number which field it concerns, whether
// it blocks grouping and what a person must change.
//
// The numbers that no check produces keep their place in the numbering as
// kReservedN, so that every other number keeps its value.

#ifndef GRULO_CHECKS_ERROR_NUMBER_H_
#define GRULO_CHECKS_ERROR_NUMBER_H_

#include <cstdint>

namespace grulo {

enum class ErrorNumber : int16_t {
  kNone = 0,  // the check passed

  // Identification and stay.
  kEstablishmentNoForm = 1,  // not "9F9999999"
  kStayNoBlank = 2,
  kStayNoForm = 3,  // not digits after optional leading blanks
  kReserved4 = 4,
  kReserved5 = 5,
  kReserved6 = 6,
  kReserved7 = 7,
  kStayKindNotDigit = 8,
  kStayKindUnknown = 9,  // a digit other than 1 to 8
  kBirthDateBlank = 10,
  kBirthDateForm = 11,
  kBirthDateInvalid = 12,  // no such day
  kBirthAfterWeek = 13,    // or a week that gives no Monday
  kBirthTooLongAgo = 14,   // 121 x 365 days or more before the week
  kSexNotDigit = 15,
  kSexUnknown = 16,
  kUnitNoBlank = 17,
  kReserved18 = 18,
  kEntryDateForm = 19,  // blank for kinds 1 and 5, or not a date's layout
  kEntryDateInvalid = 20,
  kEntryAfterToday = 21,
  kEntryYearTooOld = 22,    // 1990 or earlier
  kEntryModeNotDigit = 23,  // blank for kinds 1 and 5, or not a digit
  kEntryModeUnknown = 24,
  kProvenanceBlank = 25,       // after entry mode 0, 6, 7
  kProvenanceUnknown = 26,     // does not fit entry mode 0, 6, 7 or 8
  kProvenanceUnexpected = 27,  // without entry mode, or after another mode
  kReserved28 = 28,
  kExitDateTooShort = 29,
  kExitDateForm = 30,
  kExitDateInvalid = 31,
  kExitBeforeEntry = 32,
  kExitAfterToday = 33,
  kExitModeBlank = 34,  // while an exit date is given
  kExitModeNotDigit = 35,
  kExitModeUnknown = 36,
  kDestinationBlank = 37,       // after exit mode 0, 6, 7
  kDestinationUnknown = 38,     // does not fit exit mode 0, 6, 7
  kDestinationUnexpected = 39,  // without exit mode, or after another mode
  kPostCodeBlank = 40,
  kPostCodeForm = 41,
  kWeekOutOfRange = 42,  // week not 1 to 53
  kWeekYearFuture = 43,
  kWeekYearTooOld = 44,  // before 1990
  kWeekBeforeEntry = 45,
  kWeekAfterExit = 46,
  kPresenceDaysBad = 47,  // a bad flag, or no day of presence
  kRefDateInvalid = 48,
  kRefDateAfterWeek = 49,

  // Diagnoses: the first (Diag[0]), second, third and associated ones.
  kDiag0Bad = 50,                // blank, malformed or not in the table
  kDiag0LetterOrFirstPair = 51,  // not a Z code, or the pair (38, 210)
  kDiag0SecondPair = 52,
  kDiag0Position = 53,
  kDiag1Blank = 54,
  kDiag1Letter = 55,  // U to Y
  kDiag1ZAfterPlaceholder = 56,
  kDiag1SameAsFirst = 57,
  kDiag1Bad = 58,  // malformed or not in the table
  kDiag1FirstPair = 59,
  kDiag1SecondPair = 60,
  kDiag1Position = 61,
  kReserved62 = 62,
  kDiag2Letter = 63,  // R, U to Z
  kDiag2Repeated = 64,
  kDiag2Bad = 65,  // malformed or not in the table
  kDiag2FirstPair = 66,
  kDiag2SecondPair = 67,
  kDiag2Position = 68,
  kReserved69 = 69,
  kAssociatedBad = 70,  // malformed or not in the table
  kAssociatedFirstPair = 71,
  kAssociatedSecondPair = 72,
  kAssociatedPosition = 73,

  // Act count, scores, indicator, durations, acts.
  kActCountBlank = 74,
  kActCountForm = 75,
  kTooManyActs = 76,
  kScoreBad = 77,
  kIndicatorBad = 78,
  kDurationBlank = 79,
  kDurationForm = 80,
  kActForm = 81,
  kActUnknown = 82,
};

inline constexpr int kErrorNumberCount = 82;

// The signed 16-bit number that the error list and the output files carry.
constexpr int16_t ToNumber(ErrorNumber error) { return static_cast<int16_t>(error); }

}  // namespace grulo

#endif  // GRULO_CHECKS_ERROR_NUMBER_H_
