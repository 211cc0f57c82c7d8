#include "tree/node_test_words.h"

#include <cstdint>

#include "record/summary_layout.h"
#include "text/number_text.h"

namespace grulo {
namespace {

constexpr int kScannedDurations = 8;  // the "other" and "first" tests
constexpr int kMinutesPerHour = 60;

std::string Num(int64_t value) { return std::to_string(value); }

int32_t Threshold(const TreeNode& node) {
  return int32_t{node.Param1} * 256 + int32_t{node.Param2};
}

std::string Pair(const TreeNode& node) {
  std::string text = "(";
  text += Num(node.Param1);
  text += ", ";
  text += Num(node.Param2);
  text += ")";
  return text;
}

// "at least 120 (60 x 2)"
std::string HoursThreshold(const TreeNode& node) {
  return "at least " + Num(kMinutesPerHour * int32_t{node.Param2}) + " (60 x " + Num(node.Param2) +
         ")";
}

// The durations that the "other" tests look at: "from 1 to 8, other than
// duration 3", or "from 1 to 8" when Param1 leaves none out.
std::string OtherDurations(const TreeNode& node) {
  std::string text = "some duration from 1 to 8";
  if (node.Param1 >= 1 && node.Param1 <= kScannedDurations) {
    text += " other than duration " + Num(node.Param1);
  }
  return text;
}

// The durations of a bit mask: "1, 3 and 8"; "none" for mask 0.
std::string MaskedDurations(const TreeNode& node) {
  std::string text;
  int listed = 0, total = 0;
  for (int j = 1; j <= kScannedDurations; ++j) total += (node.Param1 >> (j - 1)) & 1;
  for (int j = 1; j <= kScannedDurations; ++j) {
    if (((node.Param1 >> (j - 1)) & 1) == 0) continue;
    ++listed;
    if (listed > 1) text += listed == total ? " and " : ", ";
    text += Num(j);
  }
  return total == 0 ? "none" : text;
}

int32_t DurationValue(const SummaryState& state, int j) {
  if (j < 1 || j > kDurationCount) return 0;
  return ParseCount(state.Record.Duration(j));
}

// "duration 3 = 120" or "duration 3 = 120, 30 per presence day".
std::string DurationText(const SummaryState& state, int j, bool daily) {
  if (j < 1 || j > kDurationCount) return "duration " + Num(j) + " does not exist (reads as 0)";
  std::string text = "duration " + Num(j) + " = " + Num(DurationValue(state, j));
  if (daily && state.PresenceCount != 0) {
    text +=
        ", " + Num(DurationValue(state, j) / int32_t{state.PresenceCount}) + " per presence day";
  }
  return text;
}

std::string PresenceText(const SummaryState& state) {
  return "presence days " + Num(state.PresenceCount);
}

std::string ScannedDurations(const SummaryState& state, const TreeNode& node, bool daily,
                             bool masked) {
  std::string text;
  for (int j = 1; j <= kScannedDurations; ++j) {
    const bool looked = masked ? ((node.Param1 >> (j - 1)) & 1) != 0 : j != node.Param1;
    if (!looked) continue;
    if (!text.empty()) text += "; ";
    text += DurationText(state, j, daily);
  }
  if (text.empty()) text = "no duration";
  if (daily) text += "; " + PresenceText(state);
  return text;
}

// "diagnoses 2 and 5", counted from 1; "none".
std::string SlotsHoldingPair(const SummaryState& state, const TreeNode& node) {
  std::string text;
  for (int slot = 0; slot < kDiagSlotCount; ++slot) {
    if (!SlotHasPair(state, slot, static_cast<uint8_t>(node.Param1),
                     static_cast<uint8_t>(node.Param2))) {
      continue;
    }
    text += text.empty() ? "" : ", ";
    text += Num(slot + 1);
  }
  return "diagnoses whose table entry holds the pair: " + (text.empty() ? "none" : text);
}

std::string NoLook(const SummaryState&, const TreeNode&) { return ""; }
std::string AlwaysZero(const TreeNode&) { return "none: always branch 0"; }

constexpr std::array<NodeTestWords, kNodeTestCount> kWords = {{
    // 0: AgeBelow
    {[](const TreeNode& n) { return "is the age in years below " + Num(Threshold(n)) + "?"; },
     [](const SummaryState& s, const TreeNode&) {
       return s.AgeInYears < 0 ? std::string("age in years unknown (-1)")
                               : "age in years " + Num(s.AgeInYears);
     }},
    // 1: FirstCategoryBranch
    {[](const TreeNode&) {
       return std::string(
           "which branch does the category of the first usable diagnosis give (of the first "
           "three, the first whose category is neither 0 nor 99; 99 when there is none)?");
     },
     [](const SummaryState& s, const TreeNode&) {
       return "categories of diagnoses 1 to 3: " + Num(s.DiagCategory(0)) + ", " +
              Num(s.DiagCategory(1)) + ", " + Num(s.DiagCategory(2));
     }},
    // 2: FirstDiagBlankPair
    {[](const TreeNode& n) {
       return "is the first diagnosis blank or ZAIGU, with the pair " + Pair(n) +
              " in the second diagnosis's table entry?";
     },
     [](const SummaryState& s, const TreeNode& n) {
       const bool pair =
           SlotHasPair(s, 1, static_cast<uint8_t>(n.Param1), static_cast<uint8_t>(n.Param2));
       return "first diagnosis \"" + std::string(s.Record.Diag(0)) +
              "\"; the second diagnosis's entry " + (pair ? "holds" : "does not hold") +
              " the pair";
     }},
    // 3: ActClassPresent
    {[](const TreeNode& n) { return "is there an act of class " + Num(Threshold(n)) + "?"; },
     [](const SummaryState& s, const TreeNode&) {
       if (s.ActSlotCount <= 0) return std::string("no act");
       std::string text = "classes of the acts:";
       const int count = s.ActSlotCount < kMaxActSlots ? s.ActSlotCount : kMaxActSlots;
       for (int k = 0; k < count; ++k) text += (k == 0 ? " " : ", ") + Num(s.ActClass[k]);
       return text;
     }},
    // 4: BranchZero
    {AlwaysZero, NoLook},
    // 5: PairInAnyDiag
    {[](const TreeNode& n) {
       return "does the table entry of some diagnosis hold the pair " + Pair(n) + "?";
     },
     SlotsHoldingPair},
    // 6: ScoreSumAtMost
    {[](const TreeNode& n) {
       return "is the sum of the first four scores at most " + Num(Threshold(n)) + "?";
     },
     [](const SummaryState& s, const TreeNode&) { return "score sum " + Num(s.ScoreSum); }},
    // 7: BranchZero
    {AlwaysZero, NoLook},
    // 8: IndicatorIsOne
    {[](const TreeNode&) { return std::string("is the indicator 1?"); },
     [](const SummaryState& s, const TreeNode&) {
       return "indicator \"" + std::string(s.Record.Field(wr_field::kIndicator)) + "\"";
     }},
    // 9: RefDelayWithin
    {[](const TreeNode& n) {
       return "does the reference date lie 0 to " + Num(n.Param1) +
              " days before the Monday of the week?";
     },
     [](const SummaryState& s, const TreeNode&) {
       return s.RefDelay < 0 ? std::string(
                                   "delay unknown (-1: no valid reference date, or one after "
                                   "the week)")
                             : "delay " + Num(s.RefDelay) + " days (999: 999 or more)";
     }},
    // 10: DurationAtLeast
    {[](const TreeNode& n) {
       return "is duration " + Num(n.Param1) + " " + HoursThreshold(n) + "?";
     },
     [](const SummaryState& s, const TreeNode& n) { return DurationText(s, n.Param1, false); }},
    // 11: OtherDurationAtLeast
    {[](const TreeNode& n) { return "is " + OtherDurations(n) + " " + HoursThreshold(n) + "?"; },
     [](const SummaryState& s, const TreeNode& n) { return ScannedDurations(s, n, false, false); }},
    // 12: BranchZero
    {AlwaysZero, NoLook},
    // 13: DailyDurationAtLeast
    {[](const TreeNode& n) {
       return "is duration " + Num(n.Param1) + " per presence day at least " + Num(n.Param2) + "?";
     },
     [](const SummaryState& s, const TreeNode& n) {
       return DurationText(s, n.Param1, true) + "; " + PresenceText(s);
     }},
    // 14: OtherDailyDurationAtLeast
    {[](const TreeNode& n) {
       return "is " + OtherDurations(n) + " per presence day at least " + Num(n.Param2) + "?";
     },
     [](const SummaryState& s, const TreeNode& n) { return ScannedDurations(s, n, true, false); }},
    // 15: FirstDurationAtLeast
    {[](const TreeNode& n) {
       return "which of durations " + MaskedDurations(n) + " is the first " + HoursThreshold(n) +
              " (its number; 0 when none is)?";
     },
     [](const SummaryState& s, const TreeNode& n) { return ScannedDurations(s, n, false, true); }},
    // 16: FirstDailyDurationAtLeast
    {[](const TreeNode& n) {
       return "which of durations " + MaskedDurations(n) +
              " is the first whose value per presence day is at least " + Num(n.Param2) +
              " (its number; 0 when none is)?";
     },
     [](const SummaryState& s, const TreeNode& n) { return ScannedDurations(s, n, true, true); }},
    // 17: PresenceBelow
    {[](const TreeNode& n) { return "are there fewer than " + Num(n.Param1) + " presence days?"; },
     [](const SummaryState& s, const TreeNode&) { return PresenceText(s); }},
    // 18: PairInTwoDiags
    {[](const TreeNode& n) {
       return "do the table entries of two or more diagnoses hold the pair " + Pair(n) + "?";
     },
     SlotsHoldingPair},
    // 19: Jump
    {[](const TreeNode& n) {
       return "none: jump " + Num(static_cast<int16_t>(static_cast<uint16_t>(Threshold(n)))) +
              " nodes past the base node";
     },
     NoLook},
}};

// A test added to the catalogue without its words here would leave null
// functions, which an explanation would call.
constexpr bool EveryTestInWords() {
  for (const NodeTestWords& words : kWords) {
    if (words.question == nullptr || words.looked_at == nullptr) return false;
  }
  return true;
}
static_assert(EveryTestInWords(), "every test of the catalogue has its words");

}  // namespace

const std::array<NodeTestWords, kNodeTestCount> kNodeTestWords = kWords;

const NodeTestWords* FindNodeTestWords(int opcode) {
  if (opcode < 0 || opcode >= kNodeTestCount) return nullptr;
  return &kNodeTestWords[static_cast<size_t>(opcode)];
}

}  // namespace grulo
