#include "authoring/prefix_walk.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace grulo {
namespace {

// An index of `ends.size()` prefixes at offset 0, followed by `held`
// one-byte entries.
std::unique_ptr<TableFile> IndexFile(const std::vector<uint16_t>& ends, int held) {
  std::vector<uint8_t> bytes;
  for (uint16_t end : ends) {
    bytes.push_back(static_cast<uint8_t>(end >> 8));
    bytes.push_back(static_cast<uint8_t>(end));
  }
  bytes.resize(bytes.size() + static_cast<size_t>(held), 0);
  return TableFile::FromBytes(bytes);
}

struct Walked {
  std::vector<int> visited;  // prefixes
  int64_t entries = 0;
  std::vector<std::string> problems;
};

Walked Walk(const TableFile& file, int prefix_count, int64_t offset = 0) {
  Walked w;
  const PrefixIndexPlace place{offset, 2 * int64_t{prefix_count}, prefix_count, 1};
  WalkPrefixIndex(
      file, place, [](int p) { return std::to_string(p).insert(0, 1, 'P'); },
      [&](int p, const PrefixRange& range) {
        w.visited.push_back(p);
        w.entries += range.count();
      },
      [&](std::string problem) { w.problems.push_back(std::move(problem)); });
  return w;
}

TEST(WalkPrefixIndexTest, VisitsUsableRangesAndSaysWhyTheOthersAreNot) {
  // P0: 0..2; P1 empty; P2 decreases; P3: 1..16385, too many; P4 beyond
  // the file.
  const std::vector<uint16_t> ends = {2, 2, 1, 16385, 16390};
  const Walked w = Walk(*IndexFile(ends, 16386), 5);
  EXPECT_EQ(w.visited, std::vector<int>({0}));
  EXPECT_EQ(w.entries, 2);
  const std::vector<std::string> expected = {
      "prefix P2: the index end 1 is below the end 2 of the prefix before: the index "
      "decreases, the prefix's codes are not found",
      "prefix P3: 16384 entries, more than 16383: the prefix's codes are not found",
      "prefix P4: entries 16385 to 16389 lie beyond the end of the file: the prefix's codes "
      "are not found",
  };
  EXPECT_EQ(w.problems, expected);
}

// Only the first three index entries are in the file: one problem, not one
// per prefix.
TEST(WalkPrefixIndexTest, IndexOutsideTheFileIsOneProblem) {
  const std::vector<std::string> expected = {
      "the prefix index (800 bytes at offset 0) is not inside the file (6 bytes)"};
  const Walked w = Walk(*IndexFile({0, 0, 0}, 0), 400);
  EXPECT_TRUE(w.visited.empty());
  EXPECT_EQ(w.problems, expected);
  EXPECT_EQ(Walk(*IndexFile({0, 0, 0}, 0), 3, -4).problems.size(), 1u);
}

// Ends that go up and down make every other range run over the same
// entries again: the walk reads no more than a 16-bit index addresses.
TEST(WalkPrefixIndexTest, OverlappingRangesAreReadUpToTheCap) {
  std::vector<uint16_t> ends;
  for (int p = 0; p < 2000; ++p) ends.push_back(p % 2 == 0 ? 10000 : 0);
  const Walked w = Walk(*IndexFile(ends, 10000), 2000);
  EXPECT_EQ(w.visited.size(), 6u);  // 6 x 10000 entries
  EXPECT_EQ(w.entries, 60000);
  ASSERT_EQ(w.problems.size(), 1000u + 1);  // each decrease, then the cap
  EXPECT_EQ(w.problems.back(),
            "the ranges hold more than 65535 entries in all (they overlap where the index "
            "decreases): the entries of 994 more prefixes are not read");
}

}  // namespace
}  // namespace grulo
