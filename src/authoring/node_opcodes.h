// The twenty node tests of the decision tree as the table toolkit sees them:
// their names, the parameters each reads and the branch numbers each can
// return. The tree source format, the dump and the table check read this
// catalogue; the walk itself runs the tests of src/tree/.

#ifndef GRULO_AUTHORING_NODE_OPCODES_H_
#define GRULO_AUTHORING_NODE_OPCODES_H_

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

inline constexpr int kNodeTestCount = 20;
inline constexpr int kJumpOpcode = 19;
inline constexpr int kBranchZeroOpcode = 4;  // also 7 and 12

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

#endif  // GRULO_AUTHORING_NODE_OPCODES_H_
