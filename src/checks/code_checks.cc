#include "checks/code_checks.h"

#include <algorithm>

#include "text/number_text.h"
#include "record/field_mask.h"
#include "record/summary_layout.h"

namespace grulo {
namespace {

// Position flags: two bits per kind of slot; 255 allows every position.
constexpr uint8_t kAllPositions = 255;
constexpr uint8_t kMainPosition = 0xC0;        // Diag[0]
constexpr uint8_t kSecondPosition = 0x30;      // Diag[1]
constexpr uint8_t kThirdPosition = 0x0C;       // Diag[2]
constexpr uint8_t kAssociatedPosition = 0x03;  // Diag[3] to Diag[22]

constexpr std::string_view kDiagMask = "X99++Z";
constexpr int16_t kDiagMinLength = 3;

bool IsPlaceholder(std::string_view code) { return code == kPlaceholderDiag; }

// The form test, spared to the placeholder.
bool IsMalformed(std::string_view code) {
  return !IsPlaceholder(code) && MatchMask(code, kDiagMask, TrimNone, kDiagMinLength) != MaskOk;
}

char FirstLetter(std::string_view code) { return ToUpperAscii(code[0]); }

bool LetterIn(std::string_view code, std::string_view letters) {
  return letters.find(FirstLetter(code)) != std::string_view::npos;
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
  int16_t unknown;
  int16_t first_pair;
  int16_t second_pair;
  int16_t position;
};

int16_t CheckTableResults(const SummaryState& state, int slot, uint8_t position,
                          TableErrors errors) {
  uint8_t category = state.DiagCategory(slot);
  if (category == 0) return errors.unknown;
  if (category == kSpecialCategory) {
    if (SlotHasPair(state, slot, kPairLead, kPairFirst)) return errors.first_pair;
    if (SlotHasPair(state, slot, kPairLead, kPairSecond)) return errors.second_pair;
  }
  if (!PositionAllowed(state, slot, position)) return errors.position;
  return 0;
}

}  // namespace

int16_t CheckDiag0(const SummaryState& state) {
  std::string_view code = state.Record.Diag(0);
  if (IsBlank(code)) return 50;
  if (IsMalformed(code)) return 50;
  if (FirstLetter(code) != 'Z') return 51;
  if (IsPlaceholder(code)) return 0;
  return CheckTableResults(state, 0, kMainPosition, {50, 51, 52, 53});
}

int16_t CheckDiag1(const SummaryState& state) {
  std::string_view code = state.Record.Diag(1);
  std::string_view main = state.Record.Diag(0);
  if (IsBlank(code)) return 54;
  if (IsMalformed(code)) return 58;
  if (LetterIn(code, "UVWXY")) return 55;
  if (IsPlaceholder(main) && FirstLetter(code) == 'Z') return 56;
  if (code == main) return 57;
  return CheckTableResults(state, 1, kSecondPosition, {58, 59, 60, 61});
}

int16_t CheckDiag2(const SummaryState& state) {
  std::string_view code = state.Record.Diag(2);
  if (IsBlank(code)) return 0;
  if (IsMalformed(code)) return 65;
  if (LetterIn(code, "RUVWXYZ")) return 63;
  if (code == state.Record.Diag(0) || code == state.Record.Diag(1)) return 64;
  return CheckTableResults(state, 2, kThirdPosition, {65, 66, 67, 68});
}

int16_t CheckAssociatedDiag(const SummaryState& state, int slot) {
  if (slot < 3 || slot >= kDiagSlotCount) return 0;
  std::string_view code = state.Record.Diag(slot);
  if (IsBlank(code)) return 0;
  if (IsMalformed(code)) return 70;
  return CheckTableResults(state, slot, kAssociatedPosition, {70, 71, 72, 73});
}

void CheckScores(const SummaryState& state, ErrorList* list) {
  std::string_view scores = state.Record.Field(wr_field::kScores);
  for (size_t i = 0; i < scores.size(); ++i) {
    if (!IsOneOf(scores.substr(i, 1), "1234", 1)) AddError(list, 77);
  }
}

int16_t CheckIndicator(const SummaryState& state) {
  return IsOneOf(state.Record.Field(wr_field::kIndicator), "12", 1) ? 0 : 78;
}

int16_t CheckDuration(std::string_view field) {
  switch (MatchMask(field, "9999", TrimBoth, 0)) {
    case MaskOk:
      return 0;
    case MaskBlank:
      return 79;
    default:
      return 80;
  }
}

int16_t CheckActCount(const SummaryState& state) {
  std::string_view count = state.Record.Field(wr_field::kActCount);
  switch (MatchMask(count, "99", TrimLeading, 0)) {
    case MaskOk:
      break;
    case MaskBlank:
      return 74;
    default:
      return 75;
  }
  if (ParseCount(count) > kMaxActSlots) return 76;
  return 0;
}

int16_t CheckAct(const SummaryState& state, int k) {
  int taken = std::clamp<int>(state.ActSlotCount, 0, kMaxActSlots);
  if (k < 0 || k >= taken) return 0;
  switch (MatchMask(state.ActSlot(k), "XXXX9999", TrimNone, 8)) {
    case MaskOk:
      return state.ActClass[k] == 0 ? 82 : 0;
    case MaskBlank:
      return 0;
    default:
      return 81;
  }
}

}  // namespace grulo
