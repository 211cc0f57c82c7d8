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

#include "checks/error_number.h"
#include "code_pools.h"
#include "gen_random.h"
#include "record/summary_layout.h"

namespace grulo {
namespace gen {

// A fault that the generator can put into a summary, named by the error it
// makes the checks report. One error has two faults: 51 comes from a first
// diagnosis whose letter is not Z (way 0) or from one that the table refuses
// by the pair (38, 210) (way 1).
struct Fault {
  ErrorNumber error = ErrorNumber::kNone;
  uint8_t way = 0;

  friend bool operator==(const Fault&, const Fault&) = default;
};
inline constexpr int kFaultCount = 75;
// The way of error 51 that the table's pair (38, 210) gives.
inline constexpr uint8_t kByFirstPair = 1;

// The families of fields, each with its own file of faults (faults_*.cc).
enum class FaultFamily : uint8_t {
  kIdentity,   // establishment, stay number and kind, sex, unit, post code
  kWeek,       // birth date, week number, presence days, reference date
  kStay,       // entry and exit, and the week against them
  kDiagnoses,  // the 23 diagnosis slots
  kCare,       // act count, scores, indicator, durations, acts
};

struct FaultInfo {
  Fault fault;
  FaultFamily family;
  uint32_t fields;  // the field groups it changes or depends on (faults.cc)
  const char* name;
};
// Fault `index`, 0 to kFaultCount - 1, in the order the faults first go
// into the deck.
const FaultInfo& FaultInfoAt(int index);
// The entry of a fault; the first entry for a fault that is not one of them.
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
  bool FaultApplies(Fault fault) const;
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

  // The faults of each family, one file each; each returns what ApplyFault
  // returns, and false for a fault of another family.
  bool ApplyIdentityFault(Fault fault, Summary* s);   // faults_identity.cc
  bool ApplyWeekFault(Fault fault, Summary* s);       // faults_week.cc
  bool ApplyStayFault(Fault fault, Summary* s);       // faults_stay.cc
  bool ApplyDiagnosisFault(Fault fault, Summary* s);  // faults_diagnoses.cc
  bool ApplyCareFault(Fault fault, Summary* s);       // faults_care.cc

  // False for a fault of the diagnosis table that the pools hold no code for.
  bool PoolsAllow(Fault fault) const;  // faults_diagnoses.cc

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

  // What a diagnosis slot holds besides a code of the pools.
  static constexpr int32_t kBlankCode = -1;
  static constexpr int32_t kPlaceholderCode = -2;  // "ZAIGU "
  static constexpr char kPlaceholder[] = "ZAIGU ";

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
