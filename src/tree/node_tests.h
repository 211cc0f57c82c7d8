// The node tests of the decision tree, indexed by a node's opcode in the
// order of the catalogue (tables/node_test_catalogue.h).
//
// A test reads the current node's two parameters and the summary in progress
// (working record, derived values, diagnosis and act lookup results) and
// returns a signed 16-bit branch number; it changes nothing. Several tests use
// the threshold K = Param1 x 256 + Param2 (0 to 65535), compared in signed
// 32-bit arithmetic. Yes/no tests answer 1 or 0.

#ifndef GRULO_TREE_NODE_TESTS_H_
#define GRULO_TREE_NODE_TESTS_H_

#include <array>
#include <cstdint>

#include "summary/summary_state.h"
#include "tables/node_test_catalogue.h"
#include "tree/tree_walk.h"

namespace grulo {

using NodeTest = int16_t (*)(const SummaryState& state, const TreeNode& node);

// Opcode 0: AgeInYears (-1 when unknown) below K.
int16_t AgeBelow(const SummaryState& state, const TreeNode& node);

// Opcode 1: the CategoryBranch entry of the first usable category among
// slots 0 to 2: slot 0's unless it is 0 or 99, else slot 1's unless it is 0
// or 99, else slot 2's unless it is 0, else 99. Gives 0 to 13.
int16_t FirstCategoryBranch(const SummaryState& state, const TreeNode& node);

// Opcode 2: the first diagnosis is six blanks or "ZAIGU ", and slot 1's
// attribute block holds the pair (Param1, Param2).
int16_t FirstDiagBlankPair(const SummaryState& state, const TreeNode& node);

// Opcode 3: one of the acts taken into account has the class K. A class is a
// byte, so a node with Param1 other than 0 never matches; K = 0 matches an act
// that the act table does not know.
int16_t ActClassPresent(const SummaryState& state, const TreeNode& node);

// Opcodes 4, 7 and 12: always branch 0.
int16_t BranchZero(const SummaryState& state, const TreeNode& node);

// Opcode 5: some diagnosis slot holds the pair (Param1, Param2).
int16_t PairInAnyDiag(const SummaryState& state, const TreeNode& node);

// Opcode 6: ScoreSum at most K.
int16_t ScoreSumAtMost(const SummaryState& state, const TreeNode& node);

// Opcode 8: the indicator is '1'.
int16_t IndicatorIsOne(const SummaryState& state, const TreeNode& node);

// Opcode 9: 0 <= RefDelay <= Param1; an unknown delay (-1) never lies within.
int16_t RefDelayWithin(const SummaryState& state, const TreeNode& node);

// The duration tests read duration j (1 to 12) afresh with ParseCount. The
// "daily" ones divide it by PresenceCount, truncating toward zero, and compare
// the quotient with Param2 itself (they answer 0 when PresenceCount is 0); the
// others compare the duration with 60 x Param2. Tests 11, 14, 15 and 16 look
// at durations 1 to 8 only.

// Opcode 10: duration Param1 at least 60 x Param2. A Param1 outside 1 to 12
// names no duration, which then reads as 0.
int16_t DurationAtLeast(const SummaryState& state, const TreeNode& node);

// Opcode 11: some duration 1 to 8 other than number Param1 is at least
// 60 x Param2.
int16_t OtherDurationAtLeast(const SummaryState& state, const TreeNode& node);

// Opcode 13: duration Param1 per presence day at least Param2. A Param1
// outside 1 to 12 reads as 0.
int16_t DailyDurationAtLeast(const SummaryState& state, const TreeNode& node);

// Opcode 14: some duration 1 to 8 other than number Param1 is, per presence
// day, at least Param2.
int16_t OtherDailyDurationAtLeast(const SummaryState& state, const TreeNode& node);

// Opcode 15: the smallest j from 1 to 8 whose bit j - 1 is set in Param1 and
// whose duration is at least 60 x Param2; 0 when there is none.
int16_t FirstDurationAtLeast(const SummaryState& state, const TreeNode& node);

// Opcode 16: the smallest j from 1 to 8 whose bit j - 1 is set in Param1 and
// whose duration per presence day is at least Param2; 0 when there is none.
int16_t FirstDailyDurationAtLeast(const SummaryState& state, const TreeNode& node);

// Opcode 17: PresenceCount below Param1.
int16_t PresenceBelow(const SummaryState& state, const TreeNode& node);

// Opcode 18: at least two different diagnosis slots hold the pair
// (Param1, Param2).
int16_t PairInTwoDiags(const SummaryState& state, const TreeNode& node);

// Opcode 19: K as a signed 16-bit number (above 32767 it reads negative). The
// walk follows it whatever the node's branch limit.
int16_t Jump(const SummaryState& state, const TreeNode& node);

inline constexpr auto kNodeTestTable = std::to_array<NodeTest>({
    AgeBelow,                   // 0
    FirstCategoryBranch,        // 1
    FirstDiagBlankPair,         // 2
    ActClassPresent,            // 3
    BranchZero,                 // 4
    PairInAnyDiag,              // 5
    ScoreSumAtMost,             // 6
    BranchZero,                 // 7
    IndicatorIsOne,             // 8
    RefDelayWithin,             // 9
    DurationAtLeast,            // 10
    OtherDurationAtLeast,       // 11
    BranchZero,                 // 12
    DailyDurationAtLeast,       // 13
    OtherDailyDurationAtLeast,  // 14
    FirstDurationAtLeast,       // 15
    FirstDailyDurationAtLeast,  // 16
    PresenceBelow,              // 17
    PairInTwoDiags,             // 18
    Jump,                       // 19
});

// The table is sized by its entries: a test added to the catalogue without
// its function here fails to build rather than leaving a null entry the walk
// would call.
static_assert(kNodeTestTable.size() == kNodeTestCount,
              "every test of the catalogue has its function");

}  // namespace grulo

#endif  // GRULO_TREE_NODE_TESTS_H_
