// The field checks of diagnoses, scores, durations and acts: error numbers
// 50 to 82.
//
// The diagnosis checks judge a code by its form, then by what the diagnosis
// lookup stored for its slot (category, attribute pairs, position flags); the
// act check uses the class the act lookup stored. Each check returns the
// error of its first failing test, or ErrorNumber::kNone, except CheckScores,
// which adds one error per bad score itself.

#ifndef GRULO_CHECKS_CODE_CHECKS_H_
#define GRULO_CHECKS_CODE_CHECKS_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "checks/error_list.h"
#include "checks/error_number.h"
#include "summary/summary_state.h"
#include "text/number_text.h"

namespace grulo {

// The placeholder code accepted as Diag[0] without further test.
inline constexpr std::string_view kPlaceholderDiag = "ZAIGU ";

// The attribute pairs that make a code of category 99 unfit for a slot.
inline constexpr uint8_t kPairLead = 38;
inline constexpr uint8_t kPairFirst = 210;
inline constexpr uint8_t kPairSecond = 212;
inline constexpr uint8_t kSpecialCategory = 99;

// The form of a diagnosis code, "X99++Z" on the working record's six
// characters: a letter, two digits, two digits, blanks or +, a digit or a
// blank. The placeholder passes.
bool DiagCodeHasForm(std::string_view code);

// Diag[0]. 50: blank, malformed or not in the table; 51: first letter not
// 'Z', or the pair (38, 210); 52: the pair (38, 212); 53: not allowed here.
// "ZAIGU " passes once its letter is seen.
ErrorNumber CheckDiag0(const SummaryState& state);

// Diag[1]. 54: blank; 58: malformed; 55: first letter 'U' to 'Y'; 56: 'Z'
// while Diag[0] is "ZAIGU "; 57: equal to Diag[0]; 58: not in the table;
// 59, 60: the pairs; 61: not allowed here.
ErrorNumber CheckDiag1(const SummaryState& state);

// Diag[2], which may be blank. 65: malformed; 63: first letter 'R' or 'U' to
// 'Z'; 64: equal to Diag[0] or Diag[1]; 65: not in the table; 66, 67: the
// pairs; 68: not allowed here.
ErrorNumber CheckDiag2(const SummaryState& state);

// A diagnosis slot of six blanks. Inline, in one comparison: 20 slots of
// most summaries are empty.
inline constexpr std::string_view kBlankDiag = "      ";
inline bool IsBlankSlot(std::string_view code) { return code == kBlankDiag; }

// Associated diagnosis of slot 3 to 22, which may be blank. 70: malformed or
// not in the table; 71, 72: the pairs; 73: not allowed here. A slot outside
// 3 to 22 gives kNone.
ErrorNumber CheckAssociatedDiag(const SummaryState& state, int slot);

// Adds 77 to the list for each of the six scores that is not '1' to '4'.
void CheckScores(const SummaryState& state, ErrorList* list);

// 78: neither '1' nor '2'.
ErrorNumber CheckIndicator(const SummaryState& state);

// One duration of four characters, digits justified either way. 79: blank;
// 80: a blank between digits or a non-digit.
// (Inline: twelve per summary; the usual duration, digits up to the end of
// the field after blanks, passes at once.)
inline ErrorNumber CheckDuration(std::string_view field);

// 74: blank; 75: not digits after optional leading blanks; 76: above 10.
ErrorNumber CheckActCount(const SummaryState& state);

// Act slot k, 0 to ActSlotCount - 1. A blank act passes. 81: not four
// letters and four digits; 82: not in the act table. A slot outside the
// acts taken in gives kNone.
ErrorNumber CheckAct(const SummaryState& state, int k);

// Implementation details.

namespace code_checks_internal {

// CheckDuration of any field, by its mask.
ErrorNumber CheckDurationByMask(std::string_view field);

}  // namespace code_checks_internal

inline ErrorNumber CheckDuration(std::string_view field) {
  // Right-justified or zero-padded digits: blanks, then digits to the end.
  if (field.size() == 4 && IsDigit(field[3])) {
    size_t i = 0;
    while (i < 3 && field[i] == ' ') ++i;
    while (i < 3 && IsDigit(field[i])) ++i;
    if (i == 3) return ErrorNumber::kNone;
  }
  return code_checks_internal::CheckDurationByMask(field);
}

}  // namespace grulo

#endif  // GRULO_CHECKS_CODE_CHECKS_H_
