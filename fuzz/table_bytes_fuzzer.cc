// Arbitrary bytes as one of the three table files (the first byte chooses
// which), the two others being the demo tables; when the opening takes the
// bytes, the fixed lines are grouped with them. Nothing may crash or read
// outside the table, whatever it claims.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "checks/error_list.h"
#include "fuzz/fuzz_support.h"
#include "grouper/grouping_context.h"
#include "grouper/line_format.h"
#include "grouper/table_set.h"
#include "record/working_record.h"
#include "tables/act_table.h"
#include "tables/diag_table.h"
#include "tables/open_tables.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace grulo;
  if (size < 1 || size > (size_t{1} << 20)) return 0;
  const int which = data[0] % 3;
  std::unique_ptr<TableFile> file = TableFile::FromBytes(std::vector<uint8_t>(data + 1, data + size));

  TreeTable tree;
  ActTable acts;
  DiagTable diags;
  int16_t status = kTableCannotOpen;
  if (which == 0) {
    status = AdoptTreeTable(file, &tree);
    acts = fuzz::DemoActs();
    diags = fuzz::DemoDiags();
  } else if (which == 1) {
    status = AdoptActTable(file, &acts);
    tree = fuzz::DemoTree();
    diags = fuzz::DemoDiags();
  } else {
    status = AdoptDiagTable(file, &diags);
    tree = fuzz::DemoTree();
    acts = fuzz::DemoActs();
  }
  if (status != kTableOpened) {
    fuzz::Require(file != nullptr, "a refused file is not consumed");
    return 0;
  }
  fuzz::Require(file == nullptr, "an adopted file is consumed");

  if (which == 1) {
    // Through the native index, the acts give what the file gives.
    ActTable in_file;
    in_file.ActIndexOffset = acts.ActIndexOffset;
    std::vector<uint8_t> bytes(static_cast<size_t>(acts.file->size()));
    fuzz::Require(acts.file->ReadAt(0, acts.file->size(), bytes.data()), "the table reads whole");
    in_file.file = TableFile::FromBytes(std::move(bytes));
    for (const char* code : {"AAAA0001", "ZZZZ9999", "HRCA0010", "abcD0010", "BBBA12  ", "        ",
                             "0AAA0001", "A\xC9" "AA0001", "AAAA-5  ", "ZZB+0001"}) {
      SummaryState native;
      SummaryState file;
      LookupAct(acts, code, 0, &native);
      LookupAct(in_file, code, 0, &file);
      fuzz::Require(native.ActClass[0] == file.ActClass[0], "the act index agrees with the file");
    }
  }
  if (which == 2) {
    // All 23 slots at once (through the native index) find what one lookup
    // per slot finds in the file.
    for (const std::string& line : fuzz::FixedLines()) {
      if (RecognizeFormat(line, line.size()) != LineFormat::kWellFormed) continue;
      WorkingRecord record;
      BuildWorkingRecord(line, &record);
      SummaryState one_by_one;
      SummaryState all_at_once;
      for (int i = 0; i < kDiagSlotCount; ++i) LookupDiag(diags, record.Diag(i), i, &one_by_one);
      LookupDiags(diags, record, &all_at_once);
      fuzz::Require(all_at_once.DiagPositionBits == one_by_one.DiagPositionBits &&
                        all_at_once.DiagAttr == one_by_one.DiagAttr,
                    "the diagnoses looked up at once and one by one agree");
    }
  }

  const TableSet set(std::move(tree), std::move(acts), std::move(diags));
  GroupingContext context;
  for (const std::string& line : fuzz::FixedLines()) {
    if (RecognizeFormat(line, line.size()) != LineFormat::kWellFormed) continue;
    GroupResult result;
    ErrorList errors;
    context.GroupSummary(set, line, fuzz::FixedToday(), &result, &errors);
    fuzz::Require(errors.ErrorCount >= 0 && errors.ErrorCount <= kErrorListSize, "error count");
  }
  return 0;
}
