// The summary generator behind grulo-gen: realistic weekly summaries around
// one week, with a share of summaries that carry faulty fields and a share of
// malformed lines, all drawn from one seed.
//
// A valid summary passes every field check of the program whenever the
// tables it is checked against are the ones whose sources gave the codes,
// and the day of the check lies after the summary's week (a week at least
// two months back keeps every date of a valid summary before today). Each
// fault makes the checks report one given error number; over many summaries
// the faults are drawn in turns, so every error number that the checks can
// produce shows up.

#ifndef GRULO_TOOLS_GRULO_GEN_SUMMARY_GENERATOR_H_
#define GRULO_TOOLS_GRULO_GEN_SUMMARY_GENERATOR_H_

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "code_pools.h"
#include "gen_random.h"
#include "record/summary_layout.h"

namespace grulo {
namespace gen {

// The faults, each giving one error number (in brackets).
enum class Fault : uint8_t {
  kEstablishmentNo,         // [1] blank, or not "9F9999999"
  kStayNoBlank,             // [2]
  kStayNoForm,              // [3] a letter or an inner or trailing blank
  kStayKindNotDigit,        // [8]
  kStayKindUnknown,         // [9] '0' or '9'
  kBirthDateBlank,          // [10]
  kBirthDateForm,           // [11]
  kBirthDateInvalid,        // [12] 30 February, month 13...
  kBirthAfterWeek,          // [13]
  kBirthTooLongAgo,         // [14] 121 years or more
  kSexNotDigit,             // [15]
  kSexUnknown,              // [16]
  kUnitNoBlank,             // [17]
  kEntryDateForm,           // [19] blank for a full stay, or a letter
  kEntryDateInvalid,        // [20]
  kEntryAfterToday,         // [21] a year in the far future
  kEntryYearTooOld,         // [22] 1990 or earlier
  kEntryModeNotDigit,       // [23] blank for a full stay, or a letter
  kEntryModeUnknown,        // [24]
  kProvenanceBlank,         // [25]
  kProvenanceUnknown,       // [26]
  kProvenanceUnexpected,    // [27] given without entry mode
  kExitDateTooShort,        // [29]
  kExitDateForm,            // [30]
  kExitDateInvalid,         // [31]
  kExitBeforeEntry,         // [32]
  kExitAfterToday,          // [33]
  kExitModeBlank,           // [34]
  kExitModeNotDigit,        // [35]
  kExitModeUnknown,         // [36]
  kDestinationBlank,        // [37]
  kDestinationUnknown,      // [38]
  kDestinationUnexpected,   // [39]
  kPostCodeBlank,           // [40]
  kPostCodeForm,            // [41]
  kWeekOutOfRange,          // [42]
  kWeekYearFuture,          // [43]
  kWeekYearTooOld,          // [44]
  kWeekBeforeEntry,         // [45]
  kWeekAfterExit,           // [46]
  kPresenceDays,            // [47]
  kRefDateInvalid,          // [48]
  kRefDateAfterWeek,        // [49]
  kDiag0Bad,                // [50] blank, malformed or unknown
  kDiag0Letter,             // [51] not a Z code
  kDiag0FirstPair,          // [51]
  kDiag0SecondPair,         // [52]
  kDiag0Position,           // [53]
  kDiag1Blank,              // [54]
  kDiag1Letter,             // [55] U to Y
  kDiag1ZAfterPlaceholder,  // [56]
  kDiag1SameAsFirst,        // [57]
  kDiag1Bad,                // [58] malformed or unknown
  kDiag1FirstPair,          // [59]
  kDiag1SecondPair,         // [60]
  kDiag1Position,           // [61]
  kDiag2Letter,             // [63] R, U to Z
  kDiag2Repeated,           // [64]
  kDiag2Bad,                // [65] malformed or unknown
  kDiag2FirstPair,          // [66]
  kDiag2SecondPair,         // [67]
  kDiag2Position,           // [68]
  kAssociatedBad,           // [70] malformed or unknown
  kAssociatedFirstPair,     // [71]
  kAssociatedSecondPair,    // [72]
  kAssociatedPosition,      // [73]
  kActCountBlank,           // [74]
  kActCountForm,            // [75] '3 ', '+3', '1A'
  kTooManyActs,             // [76] 11 to 19 acts
  kScores,                  // [77]
  kIndicator,               // [78]
  kDurationBlank,           // [79]
  kDurationForm,            // [80]
  kActForm,                 // [81]
  kActUnknown,              // [82]
};
inline constexpr int kFaultCount = static_cast<int>(Fault::kActUnknown) + 1;

struct FaultInfo {
  int16_t error;    // the error number the fault gives
  uint32_t fields;  // the field groups it changes or depends on (kField...)
  const char* name;
};
const FaultInfo& InfoOf(Fault fault);

// The kinds of malformed line.
enum class Malformed : uint8_t {
  kEmpty,          // an empty line
  kTooShort,       // 1 to 11 characters
  kUnknownFormat,  // a format number other than "M04" and "MA4" ("m04"...)
  kWrongLength,    // a length that does not agree with the act count
  kTooLong,        // more than 498 characters
  kNulByte,        // a NUL byte that ends the line's text early
  kCrLfEnding,     // a good line ended by CR LF amid LF lines
};
inline constexpr int kMalformedCount = static_cast<int>(Malformed::kCrLfEnding) + 1;
const char* NameOf(Malformed kind);

struct GeneratorOptions {
  uint64_t seed = 1;
  int week = 15;  // the week of the summaries, WWYYYY
  int year = 2024;
  uint32_t faulty_ppb = kBillion / 10;      // share of summaries with faults
  uint32_t malformed_ppb = kBillion / 100;  // share of malformed lines
  bool crlf = false;                        // end every line with CR LF
};

// Reads a share "0", "1", "0.25", ".5" (at most nine decimals) as parts per
// billion; false for anything else or a share above 1.
bool ParseShare(std::string_view text, uint32_t* ppb);

// Reads a week WWYYYY: week 1 to 52, or 53 in a year that has it, year 1992
// to 2089. False with a message otherwise.
bool ParseWeek(std::string_view text, int* week, int* year, std::string* error);

// A diagnosis field as the program compares it: trailing '+' characters of
// positions 5 down to 2 read as blanks.
std::array<char, kDiagCodeLength> NormalizedDiag(std::string_view field);

// The longest line the generator writes, without its ending.
inline constexpr int kMaxLineLength = 720;

// One line in the making, with what its dates mean.
struct Summary {
  std::array<char, kMaxLineLength> text;
  int length = 0;
  bool crlf = false;  // this line ends with CR LF whatever the options say

  int32_t monday = 0;  // day numbers of gen_dates.h; kNoDay for a blank date
  int32_t entry = 0;
  int32_t exit = 0;
  std::array<int32_t, kDiagSlotCount> diag_codes{};  // index into CodePools::diags(), or -1
  int acts = 0;                                      // act codes in the line

  std::string_view line() const { return {text.data(), static_cast<size_t>(length)}; }
};
inline constexpr int32_t kNoDay = INT32_MIN;

class SummaryGenerator {
 public:
  SummaryGenerator(const GeneratorOptions& options, const CodePools& pools);

  // Appends the next line and its line ending to `out`.
  void AppendNext(std::string* out);

  // The steps of AppendNext, for tests.
  void BuildValid(Summary* s);
  // False, with the summary unchanged, when the pools hold no code for the
  // fault (the table sources have none of that kind).
  bool ApplyFault(Fault fault, Summary* s);
  bool FaultApplies(Fault fault) const { return applies_[static_cast<int>(fault)]; }
  void BuildMalformed(Malformed kind, Summary* s);
  // The faults applied to the last summary that AppendNext wrote.
  const std::vector<Fault>& last_faults() const { return last_faults_; }

  static void AppendLine(const Summary& s, bool crlf, std::string* out);

 private:
  void ApplyFaults(Summary* s);
  Fault NextFaultFromDeck();
  void ShuffleDeck();

  // Pieces of a valid summary.
  void PutStayDates(Summary* s, char kind);
  void PutPresence(Summary* s, bool full_stay);
  void PutDiagnoses(Summary* s);
  bool DiagPairsClean(const Summary& s) const;
  void PutDurations(Summary* s, int presence);
  void PutActs(Summary* s, int count);

  // Helpers of the faults.
  void EnsureFullStay(Summary* s);
  void EnsureEntry(Summary* s);
  void EnsureExit(Summary* s);
  void RemoveExit(Summary* s);
  void PutDiag(Summary* s, int slot, std::string_view field, int32_t code);
  void PutDiagCode(Summary* s, int slot, uint32_t code);
  bool PutCodeFrom(Summary* s, int slot, const std::vector<uint32_t>& pool);
  void PutBadDiag(Summary* s, int slot, SlotKind kind, bool may_be_blank);
  void UnknownDiagField(SlotKind kind, char* field);
  void MalformedDiagField(SlotKind kind, char* field);
  void FabricatedDiagField(const char* letters, char* field);
  int FreeAssociatedSlot(Summary* s);
  int AnyActSlot(Summary* s);
  std::string_view DiagField(const Summary& s, int slot) const;
  bool Diag0IsPlaceholder(const Summary& s) const;
  bool SameDiag(const Summary& s, int slot, std::string_view field) const;

  GeneratorOptions options_;
  const CodePools& pools_;
  Random rng_;
  int32_t base_monday_;
  uint32_t placeholder_record_ = 0;  // the record "ZAIGU " reads: that of Z00
  std::vector<std::array<char, 9>> establishments_;
  std::vector<std::array<char, 4>> units_;  // kUnitsPerEstablishment per establishment
  std::array<bool, kFaultCount> applies_{};
  std::vector<uint8_t> deck_;
  size_t deck_next_ = 0;
  std::vector<Fault> last_faults_;
  Summary scratch_;
};

}  // namespace gen
}  // namespace grulo

#endif  // GRULO_TOOLS_GRULO_GEN_SUMMARY_GENERATOR_H_
