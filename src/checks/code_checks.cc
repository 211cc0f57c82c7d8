#include "checks/code_checks.h"

#include <algorithm>

#include "text/number_text.h"
#include "record/field_mask.h"
#include "record/summary_layout.h"

namespace grulo {
namespace {

using E = ErrorNumber;

// Position flags: two bits per kind of slot; 255 allows every position.
constexpr uint8_t kAllPositions = 255;
constexpr uint8_t kMainPosition = 0xC0;        // Diag[0]
constexpr uint8_t kSecondPosition = 0x30;      // Diag[1]
constexpr uint8_t kThirdPosition = 0x0C;       // Diag[2]
constexpr uint8_t kAssociatedPosition = 0x03;  // Diag[3] to Diag[22]

constexpr std::string_view kDiagMask = "X99++Z";
constexpr int16_t kDiagMinLength = 3;

bool IsPlaceholder(std::string_view code) { return code == kPlaceholderDiag; }

static_assert(kBlankDiag.size() == kDiagCodeLength);
bool IsBlankCode(std::string_view code) {
  return code.size() == kDiagCodeLength ? IsBlankSlot(code) : IsBlank(code);
}

bool IsMalformed(std::string_view code) { return !DiagCodeHasForm(code); }

char FirstLetter(std::string_view code) { return ToUpperAscii(code[0]); }

bool LetterIn(std::string_view code, std::string_view letters) {
  const char letter = FirstLetter(code);
  return IsOneOf(std::string_view(&letter, 1), letters, 1);
}

bool PositionAllowed(const SummaryState& state, int slot, uint8_t position) {
  uint8_t bits = state.DiagPositionBits[slot];
  return bits == kAllPositions || (bits & position) != 0;
}

// The table tests shared by every slot once the code has passed its form
// tests: the category (0: not in the table), the two attribute pairs of the
// special category, then the position. `errors` holds the numbers of the
// slot kind for: not in the table, first pair, second pair, position.
struct TableErrors {
  ErrorNumber unknown;
  ErrorNumber first_pair;
  ErrorNumber second_pair;
  ErrorNumber position;
};

ErrorNumber CheckTableResults(const SummaryState& state, int slot, uint8_t position,
                              TableErrors errors) {
  uint8_t category = state.DiagCategory(slot);
  if (category == 0) return errors.unknown;
  if (category == kSpecialCategory) {
    if (SlotHasPair(state, slot, kPairLead, kPairFirst)) return errors.first_pair;
    if (SlotHasPair(state, slot, kPairLead, kPairSecond)) return errors.second_pair;
  }
  if (!PositionAllowed(state, slot, position)) return errors.position;
  return E::kNone;
}

}  // namespace

bool DiagCodeHasForm(std::string_view code) {
  return IsPlaceholder(code) || MatchMask(code, kDiagMask, TrimNone, kDiagMinLength) == MaskOk;
}

ErrorNumber CheckDiag0(const SummaryState& state) {
  std::string_view code = state.Record.Diag(0);
  if (IsBlankCode(code)) return E::kDiag0Bad;
  if (IsMalformed(code)) return E::kDiag0Bad;
  if (FirstLetter(code) != 'Z') return E::kDiag0LetterOrFirstPair;
  if (IsPlaceholder(code)) return E::kNone;
  return CheckTableResults(
      state, 0, kMainPosition,
      {E::kDiag0Bad, E::kDiag0LetterOrFirstPair, E::kDiag0SecondPair, E::kDiag0Position});
}

ErrorNumber CheckDiag1(const SummaryState& state) {
  std::string_view code = state.Record.Diag(1);
  std::string_view main = state.Record.Diag(0);
  if (IsBlankCode(code)) return E::kDiag1Blank;
  if (IsMalformed(code)) return E::kDiag1Bad;
  if (LetterIn(code, "UVWXY")) return E::kDiag1Letter;
  if (IsPlaceholder(main) && FirstLetter(code) == 'Z') return E::kDiag1ZAfterPlaceholder;
  if (code == main) return E::kDiag1SameAsFirst;
  return CheckTableResults(
      state, 1, kSecondPosition,
      {E::kDiag1Bad, E::kDiag1FirstPair, E::kDiag1SecondPair, E::kDiag1Position});
}

ErrorNumber CheckDiag2(const SummaryState& state) {
  std::string_view code = state.Record.Diag(2);
  if (IsBlankCode(code)) return E::kNone;
  if (IsMalformed(code)) return E::kDiag2Bad;
  if (LetterIn(code, "RUVWXYZ")) return E::kDiag2Letter;
  if (code == state.Record.Diag(0) || code == state.Record.Diag(1)) return E::kDiag2Repeated;
  return CheckTableResults(
      state, 2, kThirdPosition,
      {E::kDiag2Bad, E::kDiag2FirstPair, E::kDiag2SecondPair, E::kDiag2Position});
}

ErrorNumber CheckAssociatedDiag(const SummaryState& state, int slot) {
  if (slot < 3 || slot >= kDiagSlotCount) return E::kNone;
  std::string_view code = state.Record.Diag(slot);
  if (IsBlankCode(code)) return E::kNone;
  if (IsMalformed(code)) return E::kAssociatedBad;
  return CheckTableResults(state, slot, kAssociatedPosition,
                           {E::kAssociatedBad, E::kAssociatedFirstPair, E::kAssociatedSecondPair,
                            E::kAssociatedPosition});
}

void CheckScores(const SummaryState& state, ErrorList* list) {
  std::string_view scores = state.Record.Field(wr_field::kScores);
  for (size_t i = 0; i < scores.size(); ++i) {
    if (!IsOneOf(scores.substr(i, 1), "1234", 1)) AddError(list, E::kScoreBad);
  }
}

ErrorNumber CheckIndicator(const SummaryState& state) {
  return IsOneOf(state.Record.Field(wr_field::kIndicator), "12", 1) ? E::kNone : E::kIndicatorBad;
}

ErrorNumber code_checks_internal::CheckDurationByMask(std::string_view field) {
  switch (MatchMask(field, "9999", TrimBoth, 0)) {
    case MaskOk:
      return E::kNone;
    case MaskBlank:
      return E::kDurationBlank;
    default:
      return E::kDurationForm;
  }
}

ErrorNumber CheckActCount(const SummaryState& state) {
  std::string_view count = state.Record.Field(wr_field::kActCount);
  switch (MatchMask(count, "99", TrimLeading, 0)) {
    case MaskOk:
      break;
    case MaskBlank:
      return E::kActCountBlank;
    default:
      return E::kActCountForm;
  }
  if (ParseCount(count) > kMaxActSlots) return E::kTooManyActs;
  return E::kNone;
}

ErrorNumber CheckAct(const SummaryState& state, int k) {
  int taken = std::clamp<int>(state.ActSlotCount, 0, kMaxActSlots);
  if (k < 0 || k >= taken) return E::kNone;
  switch (MatchMask(state.ActSlot(k), "XXXX9999", TrimNone, 8)) {
    case MaskOk:
      return state.ActClass[k] == 0 ? E::kActUnknown : E::kNone;
    case MaskBlank:
      return E::kNone;
    default:
      return E::kActForm;
  }
}

}  // namespace grulo
