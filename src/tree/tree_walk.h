// The decision tree: its node records and the walk from the root to a leaf.
//
// The tree table holds fixed-size node records from NodeAreaOffset on; node n
// begins at NodeAreaOffset + n x NodeSize. The first six bytes of a record are
// the opcode, two parameters, the branch limit and the base node (big-endian).
// An inner node (branch limit not 0) names one of the node tests
// (tables/node_test_catalogue.h) and
// the number of its first child; its children follow at consecutive numbers,
// so the branch that the test returns is added to the base node. A leaf
// (branch limit 0) carries the group result: category in Param2, number in
// BaseNode, return code in Param1.

#ifndef GRULO_TREE_TREE_WALK_H_
#define GRULO_TREE_TREE_WALK_H_

#include <cstdint>

#include "record/group_result.h"
#include "summary/summary_state.h"
#include "tables/node_test_catalogue.h"
#include "tables/open_tables.h"

namespace grulo {

// The five fields of a node record, each held as a 16-bit number: the four
// single bytes (0 to 255) and BaseNode = byte 4 x 256 + byte 5.
struct TreeNode {
  uint16_t Opcode = 0;
  uint16_t Param1 = 0;
  uint16_t Param2 = 0;
  uint16_t BranchLimit = 0;  // 0 marks a leaf
  uint16_t BaseNode = 0;
};

// Failure codes of a walk, given as GroupReturn with category 99 and
// number 904.
inline constexpr int16_t kWalkTooLong = 1;      // more than MaxWalkSteps tests
inline constexpr int16_t kWalkBadBranch = 2;    // branch above the limit, or no such test
inline constexpr int16_t kWalkNodeOutside = 3;  // node outside the node area or the file
inline constexpr int16_t kWalkFailedCategory = 99;
inline constexpr int16_t kWalkFailedNumber = 904;

// Loads node n (a signed 16-bit node number) into `current_node` and returns
// 0. Returns 3, leaving `current_node` unchanged, when the node's offset
// (NodeAreaOffset + n x NodeSize, in signed 32-bit arithmetic) is negative or
// above NodeBound, or when the file does not hold the node's record in full.
// A node that begins exactly at NodeBound is read.
int16_t ReadNode(const TreeTable& table, int16_t n, TreeNode* current_node);

// Walks the tree from node 0 for the summary and sets all three numbers of
// `result`: the leaf's numbers, or 99, 904 and the failure code (1: more than
// MaxWalkSteps tests; 2: a branch above the node's limit, the jump being
// exempt, or an opcode without a test; 3: a node that cannot be read), and
// returns the failure code, or 0 at a leaf. `current_node` is the caller's
// copy of the node last read; it ends as the leaf, or as the last node read
// after a failure. Reads one node per step and allocates nothing.
int16_t WalkTree(const TreeTable& table, const SummaryState& state, TreeNode* current_node,
                 GroupResult* result);

// What a walk tells whoever wants to follow it: an explanation of one summary
// listens, the batch does not. The walk is compiled once without an
// observer, whose calls vanish, and once for a WalkObserver.
class WalkObserver {
 public:
  virtual ~WalkObserver() = default;

  // Node `number` was read into `node` (the root first).
  virtual void OnNodeRead(int16_t number, const TreeNode& node) = 0;
  // The test of the inner node `node` answered `branch`.
  virtual void OnTest(const TreeNode& node, int16_t branch) = 0;
  // The walk failed with `code` (1 to 3). For code 3, `node_number` is the
  // node that could not be read; otherwise the node whose test was to run
  // or had run.
  virtual void OnFailure(int16_t code, int16_t node_number) = 0;
};

// The same walk, telling `observer` of every node read, every test's answer
// and a failure; a walk that reaches a leaf ends with the leaf's read.
int16_t WalkTree(const TreeTable& table, const SummaryState& state, TreeNode* current_node,
                 GroupResult* result, WalkObserver& observer);

// The observer of the batch: nothing to tell.
struct NoWalkObserver {
  void OnNodeRead(int16_t, const TreeNode&) {}
  void OnTest(const TreeNode&, int16_t) {}
  void OnFailure(int16_t, int16_t) {}
};

}  // namespace grulo

#endif  // GRULO_TREE_TREE_WALK_H_
