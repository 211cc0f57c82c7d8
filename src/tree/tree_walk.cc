#include "tree/tree_walk.h"

#include "tables/big_endian.h"
#include "tables/table_layout.h"
#include "tree/node_tests.h"

namespace grulo {
namespace {

constexpr int16_t kNodeRead = 0;
constexpr int16_t kRootNode = 0;

// NodeAreaOffset + n x NodeSize with the wrap-around of signed 32-bit
// arithmetic.
int32_t NodeOffset(const TreeTable& table, int16_t n) {
  uint32_t product = static_cast<uint32_t>(int32_t{n} * int32_t{table.NodeSize});
  return static_cast<int32_t>(static_cast<uint32_t>(table.NodeAreaOffset) + product);
}

// The node that branch r of `node` leads to: (BaseNode + r) modulo 65536,
// read as a signed 16-bit number.
int16_t ChildNode(const TreeNode& node, int16_t r) {
  return static_cast<int16_t>(static_cast<uint16_t>(node.BaseNode + r));
}

void SetFailure(int16_t code, GroupResult* result) {
  result->GroupCategory = kWalkFailedCategory;
  result->GroupNumber = kWalkFailedNumber;
  result->GroupReturn = code;
}

}  // namespace

int16_t ReadNode(const TreeTable& table, int16_t n, TreeNode* current_node) {
  if (table.file == nullptr) return kWalkNodeOutside;
  int32_t offset = NodeOffset(table, n);
  if (offset > table.NodeBound || offset < 0) return kWalkNodeOutside;
  // A record shorter than its six fields is never read past.
  int record_size = table.NodeSize < kNodeFieldBytes ? kNodeFieldBytes : table.NodeSize;
  const uint8_t* record = table.file->Peek(offset, record_size);
  if (record == nullptr) return kWalkNodeOutside;  // cut short by the end of the file
  current_node->Opcode = record[kNodeOpcodeAt];
  current_node->Param1 = record[kNodeParam1At];
  current_node->Param2 = record[kNodeParam2At];
  current_node->BranchLimit = record[kNodeBranchLimitAt];
  current_node->BaseNode = ReadBigEndian16(record + kNodeBaseNodeAt);
  return kNodeRead;
}

namespace {

// The walk, compiled once per kind of observer: the batch's empty one leaves
// exactly the reads, the tests and the result.
template <typename Observer>
int16_t Walk(const TreeTable& table, const SummaryState& state, TreeNode* current_node,
          GroupResult* result, Observer& observer) {
  int16_t number = kRootNode;
  int16_t failure = ReadNode(table, number, current_node);
  if (failure == 0) observer.OnNodeRead(number, *current_node);
  int steps = 0;
  while (failure == 0 && current_node->BranchLimit != 0) {
    if (++steps > MaxWalkSteps) {
      failure = kWalkTooLong;
      break;
    }
    if (current_node->Opcode >= kNodeTestCount) {
      failure = kWalkBadBranch;  // no test behind this opcode
      break;
    }
    int16_t r = kNodeTestTable[current_node->Opcode](state, *current_node);
    observer.OnTest(*current_node, r);
    if (current_node->Opcode != kJumpOpcode &&
        r > static_cast<int16_t>(current_node->BranchLimit)) {
      failure = kWalkBadBranch;
      break;
    }
    number = ChildNode(*current_node, r);
    failure = ReadNode(table, number, current_node);
    if (failure == 0) observer.OnNodeRead(number, *current_node);
  }

  if (failure != 0) {
    observer.OnFailure(failure, number);
    SetFailure(failure, result);
    return failure;
  }
  result->GroupCategory = static_cast<int16_t>(current_node->Param2);
  result->GroupNumber = static_cast<int16_t>(current_node->BaseNode);
  result->GroupReturn = static_cast<int16_t>(current_node->Param1);
  return 0;
}

}  // namespace

int16_t WalkTree(const TreeTable& table, const SummaryState& state, TreeNode* current_node,
                 GroupResult* result) {
  NoWalkObserver none;
  return Walk(table, state, current_node, result, none);
}

int16_t WalkTree(const TreeTable& table, const SummaryState& state, TreeNode* current_node,
                 GroupResult* result, WalkObserver& observer) {
  return Walk(table, state, current_node, result, observer);
}

}  // namespace grulo
