#include "tables/prefix_index.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace grulo {
namespace {

// A file of 4 bytes of something else, then an index of three prefixes at
// offset 4 (6 bytes), then 3-byte entries from offset 10 on.
constexpr int64_t kIndexAt = 4;
constexpr int64_t kIndexSize = 6;
constexpr int kEntrySize = 3;

std::unique_ptr<TableFile> FileOf(uint16_t end0, uint16_t end1, uint16_t end2, int entries_held,
                                  int64_t cut = -1) {
  std::vector<uint8_t> bytes = {9, 9, 9, 9};
  for (uint16_t end : {end0, end1, end2}) {
    bytes.push_back(static_cast<uint8_t>(end >> 8));
    bytes.push_back(static_cast<uint8_t>(end));
  }
  for (int e = 0; e < entries_held * kEntrySize; ++e) bytes.push_back(static_cast<uint8_t>(e));
  if (cut >= 0) bytes.resize(static_cast<size_t>(cut));
  return TableFile::FromBytes(bytes);
}

TEST(FindPrefixRangeTest, SaysWhetherARangeIsUsableOrWhyNot) {
  const struct {
    const char* name;
    uint16_t ends[3];
    int entries_held;
    int64_t cut;  // the file's length, or -1
    int32_t p;
    RangeState state;
    uint32_t start, end;
  } kCases[] = {
      {"first prefix starts at 0", {2, 2, 5}, 5, -1, 0, RangeState::kUsable, 0, 2},
      {"empty range", {2, 2, 5}, 5, -1, 1, RangeState::kEmpty, 2, 2},
      {"last prefix", {2, 2, 5}, 5, -1, 2, RangeState::kUsable, 2, 5},
      {"index decreases", {4, 1, 5}, 5, -1, 1, RangeState::kEndBelowStart, 4, 1},
      {"16383 entries", {0, 16383, 16383}, 16383, -1, 1, RangeState::kUsable, 0, 16383},
      {"16384 entries", {0, 16384, 16384}, 16384, -1, 1, RangeState::kTooManyEntries, 0, 16384},
      {"last entry cut short", {2, 2, 5}, 5, 10 + 5 * 3 - 1, 2, RangeState::kEntriesOutsideFile,
       2, 5},
      {"entries behind the file", {2, 2, 5}, 1, -1, 0, RangeState::kEntriesOutsideFile, 0, 2},
      {"index entry behind the file", {2, 2, 5}, 0, 9, 2, RangeState::kIndexOutsideFile, 0, 0},
      {"previous index entry behind", {2, 2, 5}, 0, 5, 1, RangeState::kIndexOutsideFile, 0, 0},
      // An empty range needs no entry, held or not.
      {"empty range behind the file", {0, 0, 0}, 0, -1, 2, RangeState::kEmpty, 0, 0},
  };
  for (const auto& c : kCases) {
    std::unique_ptr<TableFile> file = FileOf(c.ends[0], c.ends[1], c.ends[2], c.entries_held, c.cut);
    const PrefixRange range = FindPrefixRange(*file, kIndexAt, kIndexSize, c.p, kEntrySize);
    EXPECT_EQ(range.state, c.state) << c.name;
    EXPECT_EQ(range.start, c.start) << c.name;
    EXPECT_EQ(range.end, c.end) << c.name;
    EXPECT_EQ(range.usable(), c.state == RangeState::kUsable) << c.name;
    EXPECT_EQ(range.entries != nullptr, range.usable()) << c.name;
    if (range.usable()) {
      EXPECT_EQ(range.count(), c.end - c.start) << c.name;
      // The first entry of the range: its first byte is its byte number.
      EXPECT_EQ(range.entries[0], static_cast<uint8_t>(c.start * kEntrySize)) << c.name;
    }
  }
}

TEST(FindPrefixRangeTest, IndexAtANegativeOffsetIsOutsideTheFile) {
  std::unique_ptr<TableFile> file = FileOf(1, 1, 1, 1);
  EXPECT_EQ(FindPrefixRange(*file, -2, kIndexSize, 0, kEntrySize).state,
            RangeState::kIndexOutsideFile);
  EXPECT_EQ(FindPrefixRange(*file, -2, kIndexSize, 1, kEntrySize).state,
            RangeState::kIndexOutsideFile);
  EXPECT_EQ(FindPrefixRange(*file, kIndexAt, -100, 0, kEntrySize).state,
            RangeState::kEntriesOutsideFile);
}

// The decoded index holds, for every prefix, what FindPrefixRange finds:
// the usable ranges with their entries as big-endian words, the others
// empty.
TEST(DecodePrefixIndexTest, HoldsTheUsableRangesOfTheFile) {
  constexpr int kWordEntry = 4;
  const struct {
    uint16_t ends[3];
    int entries_held;
    int64_t cut;
  } kFiles[] = {
      {{2, 2, 5}, 5, -1}, {{4, 1, 5}, 5, -1}, {{2, 2, 5}, 5, 10 + 5 * 4 - 1},
      {{2, 2, 5}, 1, -1}, {{2, 2, 5}, 0, 9},  {{0, 0, 0}, 0, -1},
      {{0, 16384, 16385}, 16385, -1},
  };
  for (const auto& f : kFiles) {
    std::vector<uint8_t> bytes = {9, 9, 9, 9};
    for (uint16_t end : f.ends) {
      bytes.push_back(static_cast<uint8_t>(end >> 8));
      bytes.push_back(static_cast<uint8_t>(end));
    }
    for (int e = 0; e < f.entries_held * kWordEntry; ++e) bytes.push_back(static_cast<uint8_t>(e));
    if (f.cut >= 0) bytes.resize(static_cast<size_t>(f.cut));
    std::unique_ptr<TableFile> file = TableFile::FromBytes(bytes);

    DecodedPrefixIndex decoded;
    ASSERT_TRUE(DecodePrefixIndex(*file, kIndexAt, kIndexSize, 3, &decoded));
    for (int32_t p = 0; p < 3; ++p) {
      const PrefixRange range = FindPrefixRange(*file, kIndexAt, kIndexSize, p, kWordEntry);
      const uint32_t count = range.usable() ? range.count() : 0;
      ASSERT_EQ(static_cast<uint32_t>(decoded.end(p) - decoded.begin(p)), count) << p;
      for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* e = range.entries + kWordEntry * i;
        const uint32_t word = uint32_t{e[0]} << 24 | uint32_t{e[1]} << 16 | e[2] << 8 | e[3];
        EXPECT_EQ(decoded.begin(p)[i], word) << p << " " << i;
      }
    }
  }
}

}  // namespace
}  // namespace grulo
