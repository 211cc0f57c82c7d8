#include "tables/code_hash.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <vector>

namespace grulo {
namespace {

// Against a plain map, on tables filled to their room with keys that crowd
// together (consecutive, equal low bits, the largest allowed) and random
// ones, looked up with the keys and their neighbours.
TEST(CodeHashTest, FindsWhatAMapFinds) {
  std::mt19937_64 random(7);
  for (size_t count : {0, 1, 7, 8, 9, 100, 5000}) {
    for (int pattern = 0; pattern < 4; ++pattern) {
      CodeHash hash(count);
      std::map<uint64_t, uint16_t> expected;
      for (size_t i = 0; i < count; ++i) {
        uint64_t key = i;                                              // consecutive
        if (pattern == 1) key = i << 24;                               // equal low bits
        if (pattern == 2) key = CodeHash::kKeyLimit - 1 - i;           // the largest
        if (pattern == 3) key = random() % (4 * count + 1);           // repeats too
        const uint16_t value = static_cast<uint16_t>(random());
        const bool added = expected.emplace(key, value).second;  // the first value wins
        EXPECT_EQ(hash.Insert(key, value), added) << count << " " << pattern << " " << key;
      }
      EXPECT_EQ(hash.size(), expected.size());
      EXPECT_GE(hash.slot_count(), 2 * count);
      for (const auto& [key, value] : expected) {
        EXPECT_EQ(hash.Find(key), value) << count << " " << pattern << " " << key;
        for (uint64_t near : {key - 1, key + 1, key ^ (uint64_t{1} << 24)}) {
          if (near >= CodeHash::kKeyLimit) continue;
          auto it = expected.find(near);
          EXPECT_EQ(hash.Find(near), it == expected.end() ? CodeHash::kNotFound : it->second);
        }
      }
    }
  }
}

// Small tables filled to their room, again and again: among them are keys
// that find the last slot taken and go round to the first ones.
TEST(CodeHashTest, ProbesGoRoundPastTheLastSlot) {
  std::mt19937_64 random(11);
  for (int round = 0; round < 2000; ++round) {
    CodeHash hash(8);
    std::vector<uint64_t> keys;
    while (keys.size() < 8) {
      const uint64_t key = random() % CodeHash::kKeyLimit;
      if (hash.Insert(key, static_cast<uint16_t>(keys.size()))) keys.push_back(key);
    }
    for (size_t i = 0; i < keys.size(); ++i) {
      ASSERT_EQ(hash.Find(keys[i]), static_cast<int32_t>(i)) << "round " << round;
    }
  }
}

TEST(CodeHashTest, RefusesKeysBeyondItsRoomOrLimit) {
  CodeHash hash(2);
  EXPECT_FALSE(hash.Insert(CodeHash::kKeyLimit, 1));
  EXPECT_TRUE(hash.Insert(0, 0));  // value 0 is a value like the others
  EXPECT_TRUE(hash.Insert(5, 9));
  EXPECT_FALSE(hash.Insert(6, 9));  // room for two keys only: every probe still ends
  EXPECT_EQ(hash.Find(0), 0);
  EXPECT_EQ(hash.Find(5), 9);
  EXPECT_EQ(hash.Find(6), CodeHash::kNotFound);
}

}  // namespace
}  // namespace grulo
