#include "tables/diag_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "authoring/table_model.h"
#include "authoring/table_testutil.h"

namespace grulo {
namespace {

using testing::DiagBytes;
using testing::DiagTableOf;

TEST(SuffixNumberTest, EverySuffixHasItsNumber) {
  const struct {
    const char* suffix;
    int number;
  } kCases[] = {
      {"   ", 0},    {"0  ", 132},  {"00 ", 143},  {"000", 144},     {"+  ", 1452},
      {"99 ", 1430}, {"+9 ", 1562}, {"++9", 1583}, {"+++", 1573},    {" 0 ", 11},
      {"GU ", 0},    {"1G5", 264},  {"12+", 297},  {"9\3510", 1320},  // a byte of 0xE9 ends the
                                                                      // suffix
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(SuffixNumber(c.suffix), c.number) << "'" << c.suffix << "'";
  }
}

// The suffix number by its definition, character by character.
int PlainSuffixNumber(std::string_view suffix) {
  const int weight[3] = {132, 11, 1};
  int number = 0;
  for (size_t i = 0; i < 3; ++i) {
    const char c = i < suffix.size() ? suffix[i] : ' ';
    int v = -1;
    if (c == ' ') v = 0;
    if (c >= '0' && c <= '9') v = c - '0' + 1;
    if (c == '+' && i < 2) v = 11;
    if (v < 0) break;
    number += v * weight[i];
  }
  return number;
}

TEST(SuffixNumberTest, AgreesWithTheDefinitionOnEveryMixOfCharacters) {
  const std::string chars = std::string(" 09+-AZaz.\xE9\xFF", 12) + std::string(1, '\0');
  for (char a : chars) {
    for (char b : chars) {
      for (char c : chars) {
        const char suffix[3] = {a, b, c};
        for (size_t size = 0; size <= 3; ++size) {  // missing characters count as blanks
          const std::string_view text(suffix, size);
          EXPECT_EQ(SuffixNumber(text), PlainSuffixNumber(text))
              << "'" << std::string(text) << "'";
        }
      }
    }
  }
}

// The table of the lookup tests. Every record has its own position flags, so
// that a lookup shows which record it found; record 0 (not found) has 0x5A.
DiagTableModel LookupModel() {
  DiagTableModel m;
  m.version = "11";
  m.record_size = 12;
  m.records[0] = DiagRecord{0x5A, {0, 7, 7}};
  AddDiagCode(&m, "A00", 0x01, {11});
  AddDiagCode(&m, "A000", 0x02, {12});
  AddDiagCode(&m, "A03", 0x0A, {19});
  AddDiagCode(&m, "A95", 0x03, {13});
  AddDiagCode(&m, "B000", 0x09, {18});
  AddDiagCode(&m, "C10", 0x06, {15});
  AddDiagCode(&m, "C10", 0x07, {16});  // the same code again: never found
  AddDiagCode(&m, "M12+5", 0x08, {17});
  AddDiagCode(&m, "Z00", 0x04, {99, 38, 212});
  AddDiagCode(&m, "Z991", 0x05, {14});
  return m;
}

const struct LookupCase {
  const char* code;
  uint8_t position_bits;
} kLookupCases[] = {
    {"A00   ", 0x01},  // prefix 0: start 0, end the first index entry
    {"A0    ", 0x01},  // "0 " reads 0: the prefix of A00
    {"A000  ", 0x02},    {"a000  ", 0x02},
    {"A001  ", 0x5A},  // suffix not in the prefix
    {"B-5   ", 0x03},  // B, minus 5: prefix 95, that of A95
    {"A-5   ", 0x5A},  // prefix -5
    {"A+3   ", 0x0A},  // A, plus 3: prefix 3, that of A03
    {"ZAIGU ", 0x04},  // Z00 with the blank suffix (the G ends it)
    {"z00   ", 0x04},    {"Z991  ", 0x05},
    {"[991  ", 0x5A},  // after Z: prefix 2699
    {"@00   ", 0x5A},    {"      ", 0x5A},
    {" A000 ", 0x5A},                       // a blank first character is never looked up
    {"C10   ", 0x06},                       // the first of two equal codes wins
    {"M12+5 ", 0x08},    {"M12+5+", 0x08},  // '+' in the third position ends the suffix
    {"B0 0  ", 0x09},                       // prefix "B0 " is B00
    {"B00\xE9  ", 0x5A},
};

TEST(LookupDiagTest, FindsTheRecordOfEachCode) {
  DiagTable table = DiagTableOf(DiagBytes(LookupModel()));
  for (const LookupCase& c : kLookupCases) {
    SummaryState state;
    LookupDiag(table, c.code, 3, &state);
    EXPECT_EQ(state.DiagPositionBits[3], c.position_bits) << c.code;
  }
}

TEST(LookupDiagTest, StoresTheAttributeBlockAtItsSlot) {
  DiagTable table = DiagTableOf(DiagBytes(LookupModel()));
  SummaryState state;
  state.DiagAttr.fill(0xEE);
  LookupDiag(table, "ZAIGU ", 5, &state);
  EXPECT_EQ(state.DiagAttrLength, 11);
  EXPECT_EQ(state.DiagCategory(5), 99);
  const uint8_t kBlock[11] = {99, 38, 212, 0, 0, 0, 0, 0, 0, 0, 0};
  for (int i = 0; i < 11; ++i) EXPECT_EQ(state.DiagAttr[5 * 11 + i], kBlock[i]) << i;
  EXPECT_EQ(state.DiagAttr[5 * 11 - 1], 0xEE);  // the neighbours stay
  EXPECT_EQ(state.DiagAttr[6 * 11], 0xEE);

  LookupDiag(table, "Q00   ", 5, &state);  // not found: record 0
  EXPECT_EQ(state.DiagPositionBits[5], 0x5A);
  EXPECT_EQ(state.DiagCategory(5), 0);
  EXPECT_EQ(state.DiagAttr[5 * 11 + 1], 7);
}

TEST(DiagRecordNumberTest, RangeOfMoreThan16383EntriesIsNotFound) {
  for (int count : {16383, 16384}) {
    DiagTableModel m;
    m.version = "11";
    for (int n = 0; n < count; ++n) {
      ASSERT_TRUE(AddDiagCode(&m, "A00#" + std::to_string(n), 1, {10}));
    }
    DiagTable table = DiagTableOf(DiagBytes(m));
    EXPECT_EQ(DiagRecordNumber(table, "A00   "), count == 16383 ? 1 : 0) << count;
  }
}

// Broken files: each patch of the lookup table, then codes with the result
// they must get.
struct Breakage {
  const char* name;
  std::function<void(std::vector<uint8_t>*)> patch;
  std::vector<LookupCase> cases;
};

// Offsets in the lookup table's bytes (index at 96, 10 entries, 12-byte
// records right behind).
constexpr size_t kIndex = 96;
constexpr size_t kEntries = kIndex + 5200;
constexpr size_t kRecords = kEntries + 10 * 4;

std::vector<Breakage> Breakages() {
  return {
      {"index end below its start",
       [](std::vector<uint8_t>* b) { testing::Put16(b, kIndex + 2 * 95, 1); },
       {{"B-5   ", 0x5A}, {"B000  ", 0x09}, {"A000  ", 0x02}}},
      {"range beyond the end of the file",
       [](std::vector<uint8_t>* b) { testing::Put16(b, kIndex + 2 * 2599, 60000); },
       {{"Z991  ", 0x5A}, {"ZAIGU ", 0x04}}},
      {"record number beyond the file",
       [](std::vector<uint8_t>* b) { testing::Put16(b, kEntries + 4 * 8 + 2, 60000); },
       {{"ZAIGU ", 0x5A}, {"Z991  ", 0x05}}},
      {"last record cut short",
       [](std::vector<uint8_t>* b) { b->resize(b->size() - 5); },
       {{"Z991  ", 0x5A}, {"ZAIGU ", 0x04}}},
      {"record 0 not held either",
       [](std::vector<uint8_t>* b) {
         testing::Put32(b, 64 + 25, static_cast<uint32_t>(b->size()));
       },
       {{"A000  ", 0x00}, {"Q00   ", 0x00}}},
      {"index beyond the file",
       [](std::vector<uint8_t>* b) {
         testing::Put32(b, 32 + 25, static_cast<uint32_t>(b->size() - 3));
       },
       {{"A00   ", 0x5A}, {"A000  ", 0x5A}, {"Z991  ", 0x5A}}},
      {"negative index offset",
       [](std::vector<uint8_t>* b) { testing::Put32(b, 32 + 25, 0xFFFFFF00u); },
       {{"A00   ", 0x5A}, {"Z991  ", 0x5A}}},
      {"negative record offset",
       [](std::vector<uint8_t>* b) { testing::Put32(b, 64 + 25, 0x80000000u); },
       {{"A00   ", 0x00}}},
      {"result size 0 still clears the record number",
       [](std::vector<uint8_t>* b) { (*b)[32 + 20] = 0; },
       {{"A001  ", 0x5A}, {"A000  ", 0x02}}},
  };
}

TEST(LookupDiagTest, BrokenFilesGiveTheDecidedResults) {
  const std::vector<Breakage> kBreakages = Breakages();
  const std::vector<uint8_t> good = DiagBytes(LookupModel());
  ASSERT_EQ(good.size(), kRecords + 11 * 12);
  for (const Breakage& breakage : kBreakages) {
    std::vector<uint8_t> bytes = good;
    breakage.patch(&bytes);
    DiagTable table = DiagTableOf(bytes);
    for (const LookupCase& c : breakage.cases) {
      SummaryState state;
      state.DiagAttr.fill(0xEE);
      LookupDiag(table, c.code, 22, &state);
      EXPECT_EQ(state.DiagPositionBits[22], c.position_bits) << breakage.name << ": " << c.code;
      if (c.position_bits == 0) {
        for (int i = 0; i < 11; ++i) EXPECT_EQ(state.DiagAttr[22 * 11 + i], 0) << breakage.name;
      }
    }
  }
}

TEST(LookupDiagTest, AttributeBlocksAreOneByteShorterThanTheRecords) {
  for (int record_size : {1, 12}) {
    DiagTableModel m;
    m.version = "11";
    m.record_size = record_size;
    std::vector<uint8_t> attributes = {12, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    attributes.resize(record_size - 1);
    ASSERT_TRUE(AddDiagCode(&m, "A000", 0xC0, attributes));
    DiagTable table = DiagTableOf(DiagBytes(m));
    SummaryState state;
    state.DiagAttr.fill(0xEE);
    for (int slot = 0; slot < kDiagSlotCount; ++slot) LookupDiag(table, "A000  ", slot, &state);
    EXPECT_EQ(state.DiagAttrLength, record_size - 1);
    EXPECT_EQ(state.DiagPositionBits[22], 0xC0);
    // 23 blocks of 11 fill 253 bytes and no more.
    if (record_size == 12) {
      EXPECT_EQ(state.DiagAttr[252], 10);
      EXPECT_EQ(state.DiagAttr[253], 0xEE);
    }
  }
}

// The lookup of all 23 slots at once writes what 23 single lookups write, on
// sound and broken tables and on values no opening gives.
TEST(LookupDiagsTest, SameBytesAsOneLookupPerSlot) {
  std::vector<std::pair<std::string, DiagTable>> tables;
  const std::vector<uint8_t> good = DiagBytes(LookupModel());
  tables.emplace_back("sound", DiagTableOf(good));
  ASSERT_NE(tables.back().second.code_index, nullptr);  // the native lookups are compared too
  for (const Breakage& breakage : Breakages()) {
    std::vector<uint8_t> bytes = good;
    breakage.patch(&bytes);
    tables.emplace_back(breakage.name, DiagTableOf(bytes));
  }
  tables.emplace_back("not open", DiagTable());
  const std::pair<const char*, void (*)(DiagTable*)> kPatches[] = {
      {"record size 0", [](DiagTable* t) { t->DiagRecordSize = 0; }},
      {"attribute length not the record size less one", [](DiagTable* t) { t->DiagAttrLength = 2; }},
      {"blocks too long for the last slot",
       [](DiagTable* t) {
         t->DiagRecordSize = 13;
         t->DiagAttrLength = 12;
       }},
      // Values an opening could give, but not the ones the native index was
      // built from: the lookups must follow the values.
      {"records moved one record on", [](DiagTable* t) { t->DiagRecordOffset += 12; }},
      {"index moved one entry on", [](DiagTable* t) { t->DiagIndexOffset += 4; }},
      {"no native index", [](DiagTable* t) { t->code_index.reset(); }},
  };
  for (const auto& [name, patch] : kPatches) {
    tables.emplace_back(name, DiagTableOf(good));
    patch(&tables.back().second);
  }

  const char* const kCodes[] = {"A00   ", "A000  ", "a001  ", "A001  ", "B-5   ", "B000  ",
                                "Z991  ", "ZAIGU ", "Q00   ", "      ", " A00  ", "A 1   ",
                                "A0+   ", "\xFF\xFF\xFF   ", "A1\0   "};
  const int code_count = static_cast<int>(std::size(kCodes));
  for (const auto& [name, table] : tables) {
    for (int shift = 0; shift < code_count; ++shift) {
      WorkingRecord record;
      record.bytes.fill(' ');
      for (int i = 0; i < kDiagSlotCount; ++i) {
        const std::string_view code(kCodes[(i + shift) % code_count], kDiagCodeLength);
        std::copy(code.begin(), code.end(), record.bytes.begin() + wr_field::kDiagOffset +
                                                kDiagCodeLength * i);
      }
      SummaryState one_by_one;
      one_by_one.DiagPositionBits.fill(77);
      one_by_one.DiagAttr.fill(0xEE);
      SummaryState all_at_once = one_by_one;
      for (int i = 0; i < kDiagSlotCount; ++i) LookupDiag(table, record.Diag(i), i, &one_by_one);
      LookupDiags(table, record, &all_at_once);
      EXPECT_EQ(all_at_once.DiagPositionBits, one_by_one.DiagPositionBits) << name << " " << shift;
      EXPECT_EQ(all_at_once.DiagAttr, one_by_one.DiagAttr) << name << " " << shift;
      EXPECT_EQ(all_at_once.DiagAttrLength, one_by_one.DiagAttrLength) << name;
    }
  }
}

// A table of thousands of codes, many sharing prefixes and suffix numbers,
// so that the native index's hash table fills up and probes past other keys:
// every code, and codes close to them, reads as the file's lookup reads it.
TEST(LookupDiagsTest, LargeTableReadsAsTheFile) {
  std::mt19937 random(20261207);
  DiagTableModel model;
  model.version = "11";
  model.record_size = 12;
  model.records[0] = DiagRecord{0x5A, {0, 7, 7}};
  std::vector<std::string> codes;
  const char kSuffixChars[] = " 0123456789+";
  for (int i = 0; i < 4000; ++i) {
    std::string code(1, static_cast<char>('A' + random() % 26));
    code += static_cast<char>('0' + random() % 10);
    code += static_cast<char>('0' + random() % (i % 2 == 0 ? 10 : 2));  // crowded prefixes
    for (int k = 0; k < 3; ++k) code += kSuffixChars[random() % 12];
    codes.push_back(code);
    // Duplicates and codes the adder refuses are part of the test.
    (void)AddDiagCode(&model, code, static_cast<uint8_t>(random()), {static_cast<uint8_t>(i)});
  }
  DiagTable table = DiagTableOf(DiagBytes(model));
  ASSERT_NE(table.code_index, nullptr);
  ASSERT_GT(table.code_index->codes.slot_count(), 4096u);
  std::vector<std::string> probes = codes;
  for (const std::string& code : codes) {  // near misses: one character changed
    std::string near = code;
    near[3 + random() % 3] = "+X 5"[random() % 4];
    probes.push_back(near);
  }
  for (size_t first = 0; first < probes.size(); first += kDiagSlotCount) {
    WorkingRecord record;
    record.bytes.fill(' ');
    for (int i = 0; i < kDiagSlotCount; ++i) {
      std::string code = probes[(first + i) % probes.size()];
      code.resize(kDiagCodeLength, ' ');
      std::copy(code.begin(), code.end(),
                record.bytes.begin() + wr_field::kDiagOffset + kDiagCodeLength * i);
    }
    SummaryState one_by_one;
    SummaryState all_at_once;
    for (int i = 0; i < kDiagSlotCount; ++i) LookupDiag(table, record.Diag(i), i, &one_by_one);
    LookupDiags(table, record, &all_at_once);
    ASSERT_EQ(all_at_once.DiagPositionBits, one_by_one.DiagPositionBits) << probes[first];
    ASSERT_EQ(all_at_once.DiagAttr, one_by_one.DiagAttr) << probes[first];
  }
}

}  // namespace
}  // namespace grulo
