#include "tables/act_table.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "authoring/table_model.h"
#include "authoring/table_testutil.h"

namespace grulo {
namespace {

using testing::ActBytes;
using testing::ActTableOf;

TEST(ActSearchKeyTest, FourthLetterAndTheNumberOfTheDigits) {
  const struct {
    const char* code;
    std::array<uint8_t, 3> key;
  } kCases[] = {
      {"AAAA0001", {0, 0, 1}},   {"AAAA1234", {0, 4, 210}}, {"AAAZ9999", {25, 39, 15}},
      {"AAAA12  ", {0, 0, 12}},  {"AAAA  12", {0, 0, 12}},  {"AAAAX123", {0, 0, 0}},
      {"AAAa0001", {32, 0, 1}},   // the fourth letter is not upper-cased
      {"AAAA-5  ", {0, 0, 251}},  // -5 / 256 is 0, -5 % 256 is -5
      {"AAA 0001", {223, 0, 1}},
      // A short code reads as if blanks followed it.
      {"AAAA12", {0, 0, 12}},    {"AAAA -", {0, 0, 0}},     {"AAA", {223, 0, 0}},
  };
  for (const auto& c : kCases) EXPECT_EQ(ActSearchKey(c.code), c.key) << c.code;
}

ActTableModel LookupModel() {
  ActTableModel m;
  m.version = "11";
  AddActCode(&m, "AAAA0001", 5);
  AddActCode(&m, "ZZZZ9999", 6);
  AddActCode(&m, "ABCD0010", 7);
  AddActCode(&m, "ACAB0002", 8);
  AddActCode(&m, "BBBB0001", 9);
  AddActCode(&m, "BBBB0001", 10);  // the same code again: never found
  AddActCode(&m, "BBBA0012", 11);
  AddActCode(&m, "FGAA0001", 12);
  return m;
}

struct ActCase {
  const char* code;
  uint8_t act_class;  // 77: left unchanged
};

const ActCase kLookupCases[] = {
    {"AAAA0001", 5},  {"ZZZZ9999", 6}, {"ABCD0010", 7}, {"abcD0010", 7},
    {"aaaA0001", 5},   // the first three letters are upper-cased
    {"AAAa0001", 77},  // the fourth is not
    {"AB[B0002", 8},   // '[' shifts to the prefix ACA
    {"A\311AA0001", 12},  // a byte of 0xC9 counts unsigned: the prefix of FGA
    {"BBBB0001", 9},   // first match wins
    {"BBBA12  ", 11}, {"BBBA0013", 77}, {"AAAA0002", 77}, {" AAA0001", 77},
    {"0AAA0001", 77}, {"[AAA0001", 77}, {"        ", 77},
};

TEST(LookupActTest, SetsTheClassOfFoundCodesOnly) {
  ActTable table = ActTableOf(ActBytes(LookupModel()));
  for (const ActCase& c : kLookupCases) {
    SummaryState state;
    state.ActClass[4] = 77;
    LookupAct(table, c.code, 4, &state);
    EXPECT_EQ(state.ActClass[4], c.act_class) << c.code;
    EXPECT_EQ(state.ActClass[3], 0);
    EXPECT_EQ(state.ActClass[5], 0);
  }
}

TEST(LookupActTest, SlotOutsideTheClassTableIsIgnored) {
  ActTable table = ActTableOf(ActBytes(LookupModel()));
  SummaryState state;
  LookupAct(table, "AAAA0001", 256, &state);
  LookupAct(table, "AAAA0001", -1, &state);
  for (uint8_t c : state.ActClass) EXPECT_EQ(c, 0);
}

// Offsets in the lookup table's bytes: index at 64, then 8 entries.
constexpr size_t kIndex = 64;
constexpr size_t kEntries = kIndex + 35152;

struct ActBreakage {
  const char* name;
  std::function<void(std::vector<uint8_t>*)> patch;
  std::vector<ActCase> cases;
};

std::vector<ActBreakage> ActBreakages() {
  const int kBBB = 1 * 676 + 1 * 26 + 1;
  const int kZZZ = 17575;
  return {
      {"index end below its start",
       [=](std::vector<uint8_t>* b) { testing::Put16(b, kIndex + 2 * kBBB, 0); },
       {{"BBBB0001", 77}, {"ZZZZ9999", 6}, {"AAAA0001", 5}}},
      {"range beyond the file",
       [=](std::vector<uint8_t>* b) { testing::Put16(b, kIndex + 2 * kZZZ, 50000); },
       {{"ZZZZ9999", 77}, {"BBBB0001", 9}}},
      {"more than 16383 entries",
       [=](std::vector<uint8_t>* b) {
         testing::Put16(b, kIndex + 2 * kZZZ, 7 + 16384);
         b->resize(kEntries + 4 * (7 + 16384), 0);
       },
       {{"ZZZZ9999", 77}}},
      {"entries cut short",
       [](std::vector<uint8_t>* b) { b->pop_back(); },
       {{"ZZZZ9999", 77}, {"AAAA0001", 5}}},
      {"index beyond the file",
       [](std::vector<uint8_t>* b) {
         testing::Put32(b, 32 + 25, static_cast<uint32_t>(b->size()));
       },
       {{"AAAA0001", 77}, {"ZZZZ9999", 77}}},
      {"negative index offset",
       [](std::vector<uint8_t>* b) { testing::Put32(b, 32 + 25, 0xFFFFFFFEu); },
       {{"AAAA0001", 77}, {"ABCD0010", 77}}},
  };
}

TEST(LookupActTest, BrokenFilesLeaveTheClass) {
  const std::vector<uint8_t> good = ActBytes(LookupModel());
  ASSERT_EQ(good.size(), kEntries + 8 * 4);
  for (const ActBreakage& breakage : ActBreakages()) {
    std::vector<uint8_t> bytes = good;
    breakage.patch(&bytes);
    ActTable table = ActTableOf(bytes);
    for (const ActCase& c : breakage.cases) {
      SummaryState state;
      state.ActClass[0] = 77;
      LookupAct(table, c.code, 0, &state);
      EXPECT_EQ(state.ActClass[0], c.act_class) << breakage.name << ": " << c.code;
    }
  }
}

// The lookup through the native index finds what the lookup in the file
// finds, on sound and broken tables, and a table whose index offset changed
// after the opening is looked up in the file.
TEST(LookupActTest, NativeIndexFindsWhatTheFileGives) {
  const std::vector<uint8_t> good = ActBytes(LookupModel());
  std::vector<std::pair<std::string, ActTable>> tables;
  tables.emplace_back("sound", ActTableOf(good));
  ASSERT_NE(tables.back().second.code_index, nullptr);
  for (const ActBreakage& breakage : ActBreakages()) {
    std::vector<uint8_t> bytes = good;
    breakage.patch(&bytes);
    tables.emplace_back(breakage.name, ActTableOf(bytes));
  }
  tables.emplace_back("index moved one entry on", ActTableOf(good));
  tables.back().second.ActIndexOffset += 2;
  // Ranges that overlap could claim the file's entries thousands of times
  // over: such a table gets no native index, whose size would follow.
  for (const auto& [name, table] : tables) {
    if (name == "index end below its start") {
      EXPECT_EQ(table.code_index, nullptr);
    }
  }
  for (auto& [name, table] : tables) {
    ActTable in_file;  // the same file, without the native index
    in_file.ActIndexOffset = table.ActIndexOffset;
    std::vector<uint8_t> bytes(table.file->size());
    ASSERT_TRUE(table.file->ReadAt(0, table.file->size(), bytes.data()));
    in_file.file = TableFile::FromBytes(std::move(bytes));
    for (const ActCase& c : kLookupCases) {
      SummaryState native;
      SummaryState file;
      native.ActClass[1] = file.ActClass[1] = 77;
      LookupAct(table, c.code, 1, &native);
      LookupAct(in_file, c.code, 1, &file);
      EXPECT_EQ(native.ActClass, file.ActClass) << name << ": " << c.code;
    }
  }
}

}  // namespace
}  // namespace grulo
