// The faults the generator can make: which field groups each one touches,
// which family of fields it belongs to, and the dispatch to the family that
// makes it (faults_*.cc).

#include <iterator>

#include "summary_generator.h"

namespace grulo {
namespace gen {
namespace {

using E = ErrorNumber;

// Field groups: two faults that share one are not put into the same summary,
// since the second could undo the first or move the error it gives.
enum FieldGroup : uint32_t {
  kFEstablishment = 1u << 0,
  kFStay = 1u << 1,
  kFKind = 1u << 2,
  kFBirth = 1u << 3,
  kFSex = 1u << 4,
  kFEntry = 1u << 5,
  kFExit = 1u << 6,
  kFPost = 1u << 7,
  kFWeek = 1u << 8,
  kFPresence = 1u << 9,
  kFUnit = 1u << 10,
  kFRef = 1u << 11,
  kFDiag0 = 1u << 12,
  kFDiag1 = 1u << 13,
  kFDiag2 = 1u << 14,
  kFAssoc = 1u << 15,
  kFScores = 1u << 16,
  kFIndicator = 1u << 17,
  kFDurations = 1u << 18,
  kFActs = 1u << 19,
};
// A fault of the week moves every date check.
constexpr uint32_t kFDates = kFWeek | kFBirth | kFEntry | kFExit | kFRef | kFKind | kFPresence;
constexpr uint32_t kFStayDates = kFEntry | kFExit;

constexpr FaultFamily kIdentity = FaultFamily::kIdentity;
constexpr FaultFamily kWeek = FaultFamily::kWeek;
constexpr FaultFamily kStay = FaultFamily::kStay;
constexpr FaultFamily kDiagnoses = FaultFamily::kDiagnoses;
constexpr FaultFamily kCare = FaultFamily::kCare;

// The faults, in the order they first go into the deck.
constexpr FaultInfo kFaultInfos[] = {
    {{E::kEstablishmentNoForm}, kIdentity, kFEstablishment, "establishment number not 9F9999999"},
    {{E::kStayNoBlank}, kIdentity, kFStay, "blank stay number"},
    {{E::kStayNoForm}, kIdentity, kFStay, "stay number not digits"},
    {{E::kStayKindNotDigit}, kIdentity, kFKind, "stay kind not a digit"},
    {{E::kStayKindUnknown}, kIdentity, kFKind, "unknown stay kind"},
    {{E::kBirthDateBlank}, kWeek, kFBirth, "blank birth date"},
    {{E::kBirthDateForm}, kWeek, kFBirth, "birth date not Z9Z99999"},
    {{E::kBirthDateInvalid}, kWeek, kFBirth, "impossible birth date"},
    {{E::kBirthAfterWeek}, kWeek, kFBirth, "birth after the week"},
    {{E::kBirthTooLongAgo}, kWeek, kFBirth, "birth 121 years or more before the week"},
    {{E::kSexNotDigit}, kIdentity, kFSex, "sex not a digit"},
    {{E::kSexUnknown}, kIdentity, kFSex, "unknown sex"},
    {{E::kUnitNoBlank}, kIdentity, kFUnit, "blank unit number"},
    {{E::kEntryDateForm}, kStay, kFKind | kFStayDates, "entry date missing or not Z9Z99999"},
    {{E::kEntryDateInvalid}, kStay, kFStayDates, "impossible entry date"},
    {{E::kEntryAfterToday}, kStay, kFStayDates, "entry after today"},
    {{E::kEntryYearTooOld}, kStay, kFStayDates, "entry in 1990 or earlier"},
    {{E::kEntryModeNotDigit}, kStay, kFKind | kFStayDates, "entry mode missing or not a digit"},
    {{E::kEntryModeUnknown}, kStay, kFStayDates, "unknown entry mode"},
    {{E::kProvenanceBlank}, kStay, kFStayDates, "blank provenance after a transfer"},
    {{E::kProvenanceUnknown}, kStay, kFStayDates, "provenance that does not fit the entry mode"},
    {{E::kProvenanceUnexpected}, kStay, kFKind | kFStayDates, "provenance without entry mode"},
    {{E::kExitDateTooShort}, kStay, kFStayDates, "exit date too short"},
    {{E::kExitDateForm}, kStay, kFStayDates, "exit date not Z9Z99999"},
    {{E::kExitDateInvalid}, kStay, kFStayDates, "impossible exit date"},
    {{E::kExitBeforeEntry}, kStay, kFStayDates, "exit before entry"},
    {{E::kExitAfterToday}, kStay, kFStayDates, "exit after today"},
    {{E::kExitModeBlank}, kStay, kFStayDates, "exit date without exit mode"},
    {{E::kExitModeNotDigit}, kStay, kFStayDates, "exit mode not a digit"},
    {{E::kExitModeUnknown}, kStay, kFStayDates, "unknown exit mode"},
    {{E::kDestinationBlank}, kStay, kFStayDates, "blank destination after a transfer"},
    {{E::kDestinationUnknown}, kStay, kFStayDates, "destination that does not fit a transfer"},
    {{E::kDestinationUnexpected},
     kStay,
     kFStayDates,
     "destination that does not fit the exit mode"},
    {{E::kPostCodeBlank}, kIdentity, kFPost, "blank post code"},
    {{E::kPostCodeForm}, kIdentity, kFPost, "post code not five digits"},
    {{E::kWeekOutOfRange}, kWeek, kFDates, "week number outside 1 to 53"},
    {{E::kWeekYearFuture}, kWeek, kFDates, "week in a future year"},
    {{E::kWeekYearTooOld}, kWeek, kFDates, "week before 1990"},
    {{E::kWeekBeforeEntry}, kStay, kFKind | kFStayDates, "week before the week of entry"},
    {{E::kWeekAfterExit}, kStay, kFKind | kFStayDates, "week after the week of exit"},
    {{E::kPresenceDaysBad}, kWeek, kFPresence, "no day of presence, or a bad day flag"},
    {{E::kRefDateInvalid}, kWeek, kFRef, "impossible reference date"},
    {{E::kRefDateAfterWeek}, kWeek, kFRef, "reference date after the week"},
    {{E::kDiag0Bad}, kDiagnoses, kFDiag0, "first diagnosis blank, malformed or unknown"},
    {{E::kDiag0LetterOrFirstPair}, kDiagnoses, kFDiag0, "first diagnosis not a Z code"},
    {{E::kDiag0LetterOrFirstPair, 1},
     kDiagnoses,
     kFDiag0,
     "first diagnosis with the pair (38, 210)"},
    {{E::kDiag0SecondPair}, kDiagnoses, kFDiag0, "first diagnosis with the pair (38, 212)"},
    {{E::kDiag0Position}, kDiagnoses, kFDiag0, "first diagnosis not allowed first"},
    {{E::kDiag1Blank}, kDiagnoses, kFDiag0 | kFDiag1, "blank second diagnosis"},
    {{E::kDiag1Letter}, kDiagnoses, kFDiag0 | kFDiag1, "second diagnosis U to Y"},
    {{E::kDiag1ZAfterPlaceholder}, kDiagnoses, kFDiag0 | kFDiag1, "second diagnosis Z after ZAIGU"},
    {{E::kDiag1SameAsFirst}, kDiagnoses, kFDiag0 | kFDiag1, "second diagnosis equal to the first"},
    {{E::kDiag1Bad}, kDiagnoses, kFDiag0 | kFDiag1, "second diagnosis malformed or unknown"},
    {{E::kDiag1FirstPair},
     kDiagnoses,
     kFDiag0 | kFDiag1,
     "second diagnosis with the pair (38, 210)"},
    {{E::kDiag1SecondPair},
     kDiagnoses,
     kFDiag0 | kFDiag1,
     "second diagnosis with the pair (38, 212)"},
    {{E::kDiag1Position}, kDiagnoses, kFDiag0 | kFDiag1, "second diagnosis not allowed second"},
    {{E::kDiag2Letter}, kDiagnoses, kFDiag1 | kFDiag2, "third diagnosis R or U to Z"},
    {{E::kDiag2Repeated}, kDiagnoses, kFDiag1 | kFDiag2, "third diagnosis repeats the second"},
    {{E::kDiag2Bad}, kDiagnoses, kFDiag1 | kFDiag2, "third diagnosis malformed or unknown"},
    {{E::kDiag2FirstPair},
     kDiagnoses,
     kFDiag1 | kFDiag2,
     "third diagnosis with the pair (38, 210)"},
    {{E::kDiag2SecondPair},
     kDiagnoses,
     kFDiag1 | kFDiag2,
     "third diagnosis with the pair (38, 212)"},
    {{E::kDiag2Position}, kDiagnoses, kFDiag1 | kFDiag2, "third diagnosis not allowed third"},
    {{E::kAssociatedBad}, kDiagnoses, kFAssoc, "associated diagnosis malformed or unknown"},
    {{E::kAssociatedFirstPair},
     kDiagnoses,
     kFAssoc,
     "associated diagnosis with the pair (38, 210)"},
    {{E::kAssociatedSecondPair},
     kDiagnoses,
     kFAssoc,
     "associated diagnosis with the pair (38, 212)"},
    {{E::kAssociatedPosition}, kDiagnoses, kFAssoc, "associated diagnosis not allowed associated"},
    {{E::kActCountBlank}, kCare, kFActs, "blank act count"},
    {{E::kActCountForm}, kCare, kFActs, "act count not digits"},
    {{E::kTooManyActs}, kCare, kFActs, "more than 10 acts"},
    {{E::kScoreBad}, kCare, kFScores, "score other than 1 to 4"},
    {{E::kIndicatorBad}, kCare, kFIndicator, "indicator other than 1 or 2"},
    {{E::kDurationBlank}, kCare, kFDurations, "blank duration"},
    {{E::kDurationForm}, kCare, kFDurations, "duration not digits"},
    {{E::kActForm}, kCare, kFActs, "act not four letters and four digits"},
    {{E::kActUnknown}, kCare, kFActs, "act unknown to the act table"},
};
static_assert(std::size(kFaultInfos) == kFaultCount);

// The place of a fault in kFaultInfos; 0 for a fault that is not there.
int IndexOf(Fault fault) {
  for (int i = 0; i < kFaultCount; ++i) {
    if (kFaultInfos[i].fault == fault) return i;
  }
  return 0;
}

}  // namespace

const FaultInfo& FaultInfoAt(int index) { return kFaultInfos[index]; }

const FaultInfo& InfoOf(Fault fault) { return kFaultInfos[IndexOf(fault)]; }

bool SummaryGenerator::FaultApplies(Fault fault) const {
  const int index = IndexOf(fault);
  return kFaultInfos[index].fault == fault && applies_[index];
}

bool SummaryGenerator::ApplyFault(Fault fault, Summary* s) {
  if (!FaultApplies(fault)) return false;
  switch (InfoOf(fault).family) {
    case FaultFamily::kIdentity:
      return ApplyIdentityFault(fault, s);
    case FaultFamily::kWeek:
      return ApplyWeekFault(fault, s);
    case FaultFamily::kStay:
      return ApplyStayFault(fault, s);
    case FaultFamily::kDiagnoses:
      return ApplyDiagnosisFault(fault, s);
    case FaultFamily::kCare:
      return ApplyCareFault(fault, s);
  }
  return false;
}

}  // namespace gen
}  // namespace grulo
