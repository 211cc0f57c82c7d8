// The guards of the table readers: tables that are not open, slots outside
// the state's tables, codes shorter than their fields, table values that no
// opening gives (set by hand), and the refusals with and without a reason
// asked for.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "authoring/table_model.h"
#include "authoring/table_testutil.h"
#include "tables/act_table.h"
#include "tables/diag_table.h"
#include "tables/open_tables.h"
#include "tables/prefix_index.h"
#include "tables/table_file.h"

namespace grulo {
namespace {

using testing::ActBytes;
using testing::ActTableOf;
using testing::DiagBytes;
using testing::DiagTableOf;

constexpr uint8_t kUntouched = 77;

ActTable SmallActTable() {
  ActTableModel m;
  m.version = "11";
  AddActCode(&m, "AAAA0001", 5);
  AddActCode(&m, "ABAA0001", 6);
  return ActTableOf(ActBytes(m));
}

TEST(ActReaderGuardsTest, LookupsThatLeaveTheClassAlone) {
  const ActTable open = SmallActTable();
  const ActTable closed;
  const struct {
    const char* name;
    const ActTable* table;
    std::string code;
    int slot;
    uint8_t want;
  } kCases[] = {
      {"found", &open, "AAAA0001", 4, 5},
      {"table not open", &closed, "AAAA0001", 4, kUntouched},
      {"negative slot", &open, "AAAA0001", -1, kUntouched},
      {"slot past the table", &open, "AAAA0001", kActClassTableSize, kUntouched},
      {"same letter, number 256 above", &open, "AAAA0257", 4, kUntouched},
      {"same letter and high byte, other low byte", &open, "AAAA0002", 4, kUntouched},
      {"code of two characters: the third reads blank", &open, "AA", 4, kUntouched},
      {"prefix past ZZZ", &open, "\xFF\xFF\xFF" "A0001", 4, kUntouched},
  };
  for (const auto& c : kCases) {
    SummaryState state;
    const int k = c.slot >= 0 && c.slot < kActClassTableSize ? c.slot : 4;
    state.ActClass[static_cast<size_t>(k)] = kUntouched;
    LookupAct(*c.table, c.code, c.slot, &state);
    EXPECT_EQ(state.ActClass[static_cast<size_t>(k)], c.want) << c.name;
  }
  // A missing third character counts as a blank, below 'A'.
  EXPECT_EQ(ActPrefixIndex("AB"), 26 + (' ' - 'A'));
}

DiagTable SmallDiagTable() {
  DiagTableModel m;
  m.version = "11";
  AddDiagCode(&m, "A00", 0x81, {11, 1, 2});
  AddDiagCode(&m, "A001", 0x82, {12, 3, 4});
  return DiagTableOf(DiagBytes(m));
}

TEST(DiagReaderGuardsTest, RecordNumbersOfShortCodesAndClosedTables) {
  const DiagTable open = SmallDiagTable();
  EXPECT_EQ(DiagPrefixIndex("A"), 0);  // the missing digits read blank: A00
  EXPECT_NE(DiagRecordNumber(open, "A00"), 0);  // three characters: the blank suffix
  EXPECT_EQ(DiagRecordNumber(open, "A00"), DiagRecordNumber(open, "A00   "));
  EXPECT_EQ(DiagRecordNumber(open, "A"), DiagRecordNumber(open, "A00   "));
  EXPECT_EQ(DiagRecordNumber(DiagTable(), "A00   "), 0);
}

// A table whose values are changed by hand after the opening, to values no
// opening gives.
struct DiagPatch {
  const char* name;
  void (*patch)(DiagTable*);
  int slot;
  uint8_t want_position;  // kUntouched: the slot is not written at all
};

TEST(DiagReaderGuardsTest, LookupsWithValuesNoOpeningGives) {
  const DiagPatch kPatches[] = {
      {"as opened", [](DiagTable*) {}, 3, 0x82},
      {"table not open", [](DiagTable* t) { *t = DiagTable(); }, 3, 0},
      {"negative slot", [](DiagTable*) {}, -1, kUntouched},
      {"slot past the diagnoses", [](DiagTable*) {}, kDiagSlotCount, kUntouched},
      {"record size 0", [](DiagTable* t) { t->DiagRecordSize = 0; }, 3, 0},
      {"attribute length not the record size less one",
       [](DiagTable* t) { t->DiagAttrLength = 2; }, 3, 0},
      {"negative attribute length",
       [](DiagTable* t) {
         t->DiagRecordSize = 0;
         t->DiagAttrLength = -1;
       },
       3, 0},
      {"blocks too long for the last slot",
       [](DiagTable* t) {
         t->DiagRecordSize = 13;
         t->DiagAttrLength = 12;
       },
       22, 0},
  };
  for (const DiagPatch& p : kPatches) {
    DiagTable table = SmallDiagTable();
    p.patch(&table);
    SummaryState state;
    state.DiagPositionBits.fill(kUntouched);
    state.DiagAttr.fill(0xEE);
    LookupDiag(table, "A001  ", p.slot, &state);
    if (p.slot < 0 || p.slot >= kDiagSlotCount) {
      for (uint8_t bits : state.DiagPositionBits) EXPECT_EQ(bits, kUntouched) << p.name;
      for (uint8_t byte : state.DiagAttr) EXPECT_EQ(byte, 0xEE) << p.name;
      continue;
    }
    EXPECT_EQ(state.DiagPositionBits[static_cast<size_t>(p.slot)], p.want_position) << p.name;
    const int length = table.DiagAttrLength;
    if (length > 0 && (p.slot + 1) * length <= kDiagAttrTableSize) {
      // The block is cleared or filled, never left as it was.
      EXPECT_NE(state.DiagAttr[static_cast<size_t>(p.slot * length)], 0xEE) << p.name;
    } else {
      // A block that does not fit is not written at all.
      for (uint8_t byte : state.DiagAttr) EXPECT_EQ(byte, 0xEE) << p.name;
    }
  }
}

TEST(DiagReaderGuardsTest, RecordZeroMissingAndEmptyAttributeBlocks) {
  // Records of one byte: the position flags and no attribute block.
  DiagTableModel m;
  m.version = "11";
  m.record_size = 1;
  AddDiagCode(&m, "A000", 0xC0, {});
  std::vector<uint8_t> bytes = DiagBytes(m);
  DiagTable table = DiagTableOf(bytes);
  SummaryState state;
  state.DiagAttr.fill(0xEE);
  LookupDiag(table, "A000  ", 0, &state);
  EXPECT_EQ(state.DiagPositionBits[0], 0xC0);
  LookupDiag(table, "Q00   ", 0, &state);  // not found: record 0, all zero
  EXPECT_EQ(state.DiagPositionBits[0], 0);

  // The records placed at the end of the file: neither the code's record
  // nor record 0 is held, and a code not found (record 0) is not either.
  table.DiagRecordOffset = static_cast<int32_t>(bytes.size());
  for (const char* code : {"A000  ", "Q00   "}) {
    state.DiagPositionBits[0] = kUntouched;
    LookupDiag(table, code, 0, &state);
    EXPECT_EQ(state.DiagPositionBits[0], 0) << code;
    EXPECT_EQ(state.DiagAttr[0], 0xEE) << code;  // no bytes to clear
  }
}

TEST(PrefixRangeTest, CountIsZeroWhenTheEndIsBelowTheStart) {
  PrefixRange range;
  range.start = 7;
  range.end = 3;
  EXPECT_EQ(range.count(), 0u);
  range.end = 7;
  EXPECT_EQ(range.count(), 0u);
  range.end = 9;
  EXPECT_EQ(range.count(), 2u);
}

TEST(TableOpeningGuardsTest, RefusalsWithAndWithoutAReason) {
  // A tree with a node size of 5: refused, whether a reason is asked or not.
  TreeTableModel tree;
  tree.version = "11";
  tree.nodes = {TreeNodeRecord::Leaf(1, 1, 0)};
  std::vector<uint8_t> bytes = testing::TreeBytes(tree);
  bytes[DescriptorAt(1) + kDescriptorRecordSizeAt] = 5;
  for (bool ask : {false, true}) {
    std::unique_ptr<TableFile> file = TableFile::FromBytes(bytes);
    TreeTable table;
    Status why;
    EXPECT_EQ(AdoptTreeTable(file, &table, ask ? &why : nullptr), kTableCannotOpen);
    EXPECT_NE(file, nullptr);
    EXPECT_FALSE(table.is_open());
    EXPECT_EQ(why.ok(), !ask);
    if (ask) {
      EXPECT_NE(why.message().find("node size of 5"), std::string::npos) << why.ToString();
    }
  }

  // A null file: refused with "no file" unless a reason is already given.
  for (bool ask : {false, true}) {
    std::unique_ptr<TableFile> none;
    Status why;
    ActTable acts;
    DiagTable diags;
    EXPECT_EQ(AdoptActTable(none, &acts, ask ? &why : nullptr), kTableCannotOpen);
    EXPECT_EQ(AdoptDiagTable(none, &diags, ask ? &why : nullptr), kTableCannotOpen);
    EXPECT_EQ(why.ok(), !ask);
    Status earlier = Status::IoError("earlier.tab", "cannot be read");
    EXPECT_EQ(AdoptActTable(none, &acts, &earlier), kTableCannotOpen);
    EXPECT_EQ(earlier.message(), Status::IoError("earlier.tab", "cannot be read").message());
  }

  // Files that are missing: with and without a reason.
  const std::string nowhere = "/nonexistent-grulo-directory/";
  for (bool ask : {false, true}) {
    Status why;
    ActTable acts;
    DiagTable diags;
    TreeTable tree_table;
    EXPECT_EQ(OpenActTable(nowhere, &acts, ask ? &why : nullptr), kTableCannotOpen);
    EXPECT_EQ(OpenDiagTable(nowhere, &diags, ask ? &why : nullptr), kTableCannotOpen);
    EXPECT_EQ(OpenTreeTable(nowhere, &tree_table, ask ? &why : nullptr), kTableCannotOpen);
    EXPECT_EQ(why.ok(), !ask);
    EXPECT_EQ(TableFile::Open(nowhere + "x.tab", ask ? &why : nullptr), nullptr);
  }
}

}  // namespace
}  // namespace grulo
