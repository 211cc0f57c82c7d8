// The twenty node tests in words, beside the table that runs them
// (kNodeTestTable): for each opcode the test's name, the question it asks
// with the node's parameters written out, and what it looked at in the
// summary. An explanation of a tree walk reads this table; the walk itself
// never does.

#ifndef GRULO_TREE_NODE_TEST_WORDS_H_
#define GRULO_TREE_NODE_TEST_WORDS_H_

#include <array>
#include <string>
#include <string_view>

#include "summary/summary_state.h"
#include "tree/node_tests.h"
#include "tree/tree_walk.h"

namespace grulo {

struct NodeTestWords {
  // The test's name, as the function that runs it is called: "AgeBelow".
  std::string_view name;
  // The question with the node's parameters in words: "is the age in years
  // below 18?"; a test that chooses among several branches says what its
  // answer counts ("which of durations 1, 3 is the first at least 60?").
  std::string (*question)(const TreeNode& node);
  // What the test read of the summary, with the values it found: "age in
  // years 67"; empty for a test that reads nothing.
  std::string (*looked_at)(const SummaryState& state, const TreeNode& node);
};

// Indexed by opcode, 0 to 19, in the order of kNodeTestTable.
extern const std::array<NodeTestWords, kOpcodeCount> kNodeTestWords;

// The words of an opcode; nullptr for an opcode without a test (20 to 255).
const NodeTestWords* FindNodeTestWords(int opcode);

}  // namespace grulo

#endif  // GRULO_TREE_NODE_TEST_WORDS_H_
