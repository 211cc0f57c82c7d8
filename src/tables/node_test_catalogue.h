// The catalogue of the decision tree's node tests, the one list of them: for
// each opcode of a node record the test's name, the parameters it reads and
// the branch numbers it can return; and the most tests one walk runs. The
// walk (src/tree/) runs the tests in this order, and its tables of functions
// and of words are checked against this list when they are compiled; the
// table toolkit (src/authoring/) writes, dumps and checks trees with it.

#ifndef GRULO_TABLES_NODE_TEST_CATALOGUE_H_
#define GRULO_TABLES_NODE_TEST_CATALOGUE_H_

#include <array>
#include <cstdint>
#include <string_view>

namespace grulo {

// How a test reads the two parameter bytes of its node.
enum class NodeParams {
  kNone,       // neither byte
  kThreshold,  // K = Param1 x 256 + Param2, one 16-bit number
  kFirst,      // Param1 alone
  kTwoBytes,   // Param1 and Param2 as two separate bytes
};

struct NodeTestInfo {
  std::string_view name;
  NodeParams params;
  // Highest branch number the test can return (its lowest is always 0);
  // -1 for the jump, whose result is any 16-bit number.
  int max_branch;
};

// Opcodes 0 to 19 name a test; a node with a higher opcode fails the walk.
inline constexpr int kNodeTestCount = 20;
// The jump, whose branch number is not held to the node's branch limit.
inline constexpr int kJumpOpcode = 19;

// At most this many node tests run for one summary; a walk that needs more
// fails, and the table check refuses a tree where one can.
inline constexpr int MaxWalkSteps = 1000;

inline constexpr std::array<NodeTestInfo, kNodeTestCount> kNodeTests = {{
    {"AgeBelow", NodeParams::kThreshold, 1},                  // 0
    {"FirstCategoryBranch", NodeParams::kNone, 13},           // 1
    {"FirstDiagBlankPair", NodeParams::kTwoBytes, 1},         // 2
    {"ActClassPresent", NodeParams::kThreshold, 1},           // 3
    {"BranchZero", NodeParams::kNone, 0},                     // 4
    {"PairInAnyDiag", NodeParams::kTwoBytes, 1},              // 5
    {"ScoreSumAtMost", NodeParams::kThreshold, 1},            // 6
    {"BranchZero", NodeParams::kNone, 0},                     // 7
    {"IndicatorIsOne", NodeParams::kNone, 1},                 // 8
    {"RefDelayWithin", NodeParams::kFirst, 1},                // 9
    {"DurationAtLeast", NodeParams::kTwoBytes, 1},            // 10
    {"OtherDurationAtLeast", NodeParams::kTwoBytes, 1},       // 11
    {"BranchZero", NodeParams::kNone, 0},                     // 12
    {"DailyDurationAtLeast", NodeParams::kTwoBytes, 1},       // 13
    {"OtherDailyDurationAtLeast", NodeParams::kTwoBytes, 1},  // 14
    {"FirstDurationAtLeast", NodeParams::kTwoBytes, 8},       // 15
    {"FirstDailyDurationAtLeast", NodeParams::kTwoBytes, 8},  // 16
    {"PresenceBelow", NodeParams::kFirst, 1},                 // 17
    {"PairInTwoDiags", NodeParams::kTwoBytes, 1},             // 18
    {"Jump", NodeParams::kThreshold, -1},                     // 19
}};

// The test of an opcode, or nullptr when the opcode has none (20 to 255).
inline const NodeTestInfo* FindNodeTest(int opcode) {
  if (opcode < 0 || opcode >= kNodeTestCount) return nullptr;
  return &kNodeTests[opcode];
}

// The lowest opcode whose test has this name, or -1.
inline int OpcodeOfTestName(std::string_view name) {
  for (int op = 0; op < kNodeTestCount; ++op) {
    if (kNodeTests[op].name == name) return op;
  }
  return -1;
}

// True when the opcode is the lowest one carrying its name, so that the name
// alone selects it.
inline bool IsFirstOpcodeOfName(int opcode) {
  const NodeTestInfo* test = FindNodeTest(opcode);
  return test != nullptr && OpcodeOfTestName(test->name) == opcode;
}

}  // namespace grulo

#endif  // GRULO_TABLES_NODE_TEST_CATALOGUE_H_
