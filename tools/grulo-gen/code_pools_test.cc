#include "code_pools.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tables/table_writer.h"

namespace grulo {
namespace gen {
namespace {

// The pools a code of the model landed in, as "F" (first slot), "S", "T",
// "A" for valid codes, "1" first pair, "2" second pair, "P" bad position,
// each followed by the slot kind's digit.
std::string PoolsOf(const CodePools& pools, std::string_view field) {
  std::string where;
  for (uint32_t i = 0; i < pools.diags().size(); ++i) {
    if (std::string_view(pools.diags()[i].field.data(), 6) != field) continue;
    for (int k = 0; k < kSlotKindCount; ++k) {
      const SlotKind kind = static_cast<SlotKind>(k);
      auto in = [i](const std::vector<uint32_t>& pool) {
        return std::find(pool.begin(), pool.end(), i) != pool.end();
      };
      const char digit = static_cast<char>('0' + k);
      if (in(pools.Valid(kind))) where.append({'V', digit});
      if (in(pools.WithFirstPair(kind))) where.append({'1', digit});
      if (in(pools.WithSecondPair(kind))) where.append({'2', digit});
      if (in(pools.BadPosition(kind))) where.append({'P', digit});
    }
  }
  return where;
}

struct PoolCase {
  const char* code;
  uint8_t bits;
  std::vector<uint8_t> attributes;
  const char* field;
  const char* pools;
};

TEST(CodePoolsTest, CodesGoWhereTheirLetterFlagsAndPairsSendThem) {
  const std::vector<PoolCase> cases = {
      {"Z501", 0xFF, {99, 5, 31}, "Z501  ", "V0V1V3"},
      {"Z502", 0xC0, {17}, "Z502  ", "V0P1P3"},
      {"Z740", 0x03, {99}, "Z740  ", "P0P1V3"},
      // Category 99 with the pairs: the first pair wins when both are there.
      {"Z751", 0xFF, {99, 38, 210}, "Z751  ", "101113"},
      {"Z752", 0xFF, {99, 38, 212}, "Z752  ", "202123"},
      {"Z753", 0xFF, {99, 38, 212, 38, 210}, "Z753  ", "101113"},
      // A pair in another category, or out of step, is no pair.
      {"R262", 0xFF, {14, 38, 210}, "R262  ", "V1V3"},
      {"R263", 0xFF, {99, 0, 38, 210}, "R263  ", "V1V3"},
      {"I639", 0xF3, {11}, "I639  ", "V1P2V3"},
      {"I10", 0xFF, {14, 12, 2}, "I10   ", "V1V2V3"},
      {"S72+0", 0xFF, {13}, "S72+0 ", "V1V2V3"},
      {"V01", 0x03, {25}, "V01   ", "V3"},
      {"M179", 0xFC, {12}, "M179  ", "V1V2P3"},
      // Category 0 reads as not in the table.
      {"K703", 0xFF, {0}, "K703  ", ""},
  };
  DiagTableModel model;
  model.version = "T1";
  for (const PoolCase& c : cases) ASSERT_TRUE(AddDiagCode(&model, c.code, c.bits, c.attributes));
  const CodePools pools(&model, nullptr);
  for (const PoolCase& c : cases) EXPECT_EQ(PoolsOf(pools, c.field), c.pools) << c.code;
  EXPECT_EQ(pools.ValidSecondAndThird().size(), 3u);  // I10, S72+0, M179
}

TEST(CodePoolsTest, OnlyTheFirstEntryOfACodeCounts) {
  DiagTableModel model;
  model.version = "T1";
  ASSERT_TRUE(AddDiagCode(&model, "A41", 0xFF, {0}));   // found first: unknown
  ASSERT_TRUE(AddDiagCode(&model, "A41", 0xFF, {50}));  // never found
  ASSERT_TRUE(AddDiagCode(&model, "B20", 0x03, {50}));
  ASSERT_TRUE(AddDiagCode(&model, "B20", 0xFF, {50}));
  const CodePools pools(&model, nullptr);
  EXPECT_FALSE(pools.KnownDiag("A41   "));
  EXPECT_EQ(PoolsOf(pools, "A41   "), "");
  EXPECT_EQ(PoolsOf(pools, "B20   "), "P1P2V3");
}

TEST(CodePoolsTest, NumberedRecordsAreResolved) {
  DiagTableModel model;
  model.version = "T1";
  model.records[4] = DiagRecord{0xFF, {99, 38, 212}};
  DiagEntry entry;
  ASSERT_TRUE(ParseDiagCode("Z600", &entry.prefix, &entry.suffix_number));
  entry.record_number = 4;
  model.entries.push_back(entry);
  ASSERT_TRUE(ParseDiagCode("Z601", &entry.prefix, &entry.suffix_number));
  entry.record_number = 7;  // a record the model does not give: all 0
  model.entries.push_back(entry);
  const CodePools pools(&model, nullptr);
  EXPECT_EQ(PoolsOf(pools, "Z600  "), "202123");
  EXPECT_FALSE(pools.KnownDiag("Z601  "));
}

TEST(CodePoolsTest, KnownDiagReadsFieldsLikeTheLookup) {
  DiagTableModel model;
  model.version = "T1";
  ASSERT_TRUE(AddDiagCode(&model, "Z00", 0xFF, {99}));
  ASSERT_TRUE(AddDiagCode(&model, "A09+", 0xFF, {50}));
  const CodePools pools(&model, nullptr);
  EXPECT_TRUE(pools.KnownDiag("Z00   "));
  EXPECT_TRUE(pools.KnownDiag("z00   "));  // the letter is read in upper case
  EXPECT_TRUE(pools.KnownDiag("ZAIGU "));  // read as Z00 with a blank suffix
  EXPECT_TRUE(pools.KnownDiag("A09+  "));
  EXPECT_FALSE(pools.KnownDiag("A09   "));
  EXPECT_FALSE(pools.KnownDiag("      "));
  EXPECT_FALSE(pools.KnownDiag("Z01   "));
}

TEST(CodePoolsTest, ActsWithClassZeroOrALaterDuplicateAreUnknown) {
  ActTableModel model;
  model.version = "T1";
  ASSERT_TRUE(AddActCode(&model, "AAFA0010", 3));
  ASSERT_TRUE(AddActCode(&model, "AAFA0020", 0));
  ASSERT_TRUE(AddActCode(&model, "AAFA0020", 5));  // never found
  ASSERT_TRUE(AddActCode(&model, "ZZQK0020", 200));
  const CodePools pools(nullptr, &model);
  ASSERT_EQ(pools.acts().size(), 2u);
  EXPECT_TRUE(pools.KnownAct("AAFA0010"));
  EXPECT_TRUE(pools.KnownAct("ZZQK0020"));
  EXPECT_FALSE(pools.KnownAct("AAFA0020"));
  EXPECT_FALSE(pools.KnownAct("AAFa0010"));  // the fourth letter is compared as it stands
  EXPECT_FALSE(pools.KnownAct("AAFA001 "));
  EXPECT_EQ(ActKey("AAF10010"), ~uint64_t{0});
}

}  // namespace
}  // namespace gen
}  // namespace grulo
