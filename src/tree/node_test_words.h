// The node tests in words, beside the table that runs them (kNodeTestTable):
// for each opcode the question its test asks with the node's parameters
// written out, and what it looked at in the summary; the test's name is the
// catalogue's (tables/node_test_catalogue.h). An explanation of a tree walk
// reads this table; the walk itself never does.

#ifndef GRULO_TREE_NODE_TEST_WORDS_H_
#define GRULO_TREE_NODE_TEST_WORDS_H_

#include <array>
#include <string>

#include "summary/summary_state.h"
#include "tree/node_tests.h"
#include "tree/tree_walk.h"

namespace grulo {

struct NodeTestWords {
  // The question with the node's parameters in words: "is the age in years
  // below 18?"; a test that chooses among several branches says what its
  // answer counts ("which of durations 1, 3 is the first at least 60?").
  std::string (*question)(const TreeNode& node);
  // What the test read of the summary, with the values it found: "age in
  // years 67"; empty for a test that reads nothing.
  std::string (*looked_at)(const SummaryState& state, const TreeNode& node);
};

// Indexed by opcode, in the order of the catalogue.
extern const std::array<NodeTestWords, kNodeTestCount> kNodeTestWords;

// The words of an opcode; nullptr for an opcode without a test.
const NodeTestWords* FindNodeTestWords(int opcode);

}  // namespace grulo

#endif  // GRULO_TREE_NODE_TEST_WORDS_H_
