#include "authoring/table_check.h"

#include <memory>
#include <unordered_map>

#include "authoring/code_text.h"
#include "authoring/file_io.h"
#include "authoring/prefix_walk.h"
#include "authoring/tree_check.h"
#include "tables/act_table.h"
#include "tables/big_endian.h"
#include "tables/diag_table.h"
#include "tables/open_tables.h"

namespace grulo {
namespace {

std::string Num(int64_t n) { return std::to_string(n); }

// Keys seen within one prefix: the first entry of each.
class KeyFirsts {
 public:
  // The first entry with the key before `entry`, or -1 (then `entry` is
  // recorded as the first).
  int64_t Seen(uint32_t key, int64_t entry) {
    auto [it, added] = first_.emplace(key, entry);
    return added ? -1 : it->second;
  }
  void Reset() { first_.clear(); }

 private:
  std::unordered_map<uint32_t, int64_t> first_;
};

}  // namespace

void CheckDiagFile(const TableFile& file, std::string_view table, CheckReport* report) {
  FileFindings f(table, report);
  const uint8_t* header = CheckedHeader(file, kDiagDescriptorCount, &f);
  if (header == nullptr) return;
  const SectionDescriptor index = ReadSectionDescriptor(header + DescriptorAt(1));
  const SectionDescriptor records = ReadSectionDescriptor(header + DescriptorAt(2));
  const int rs = records.record_size;
  const bool records_usable = rs >= kMinDiagRecordSize && rs <= kMaxDiagRecordSize;
  if (!records_usable) {
    f.Error("record size " + Num(rs) + " (descriptor 2): the program refuses a record size " +
            "outside 1 to 12");
  }
  if (index.record_size < 2) {
    f.Warning("result size " + Num(index.record_size) +
              " (descriptor 1) is below 2, the width of a record number");
  }
  auto record_bytes = [&](int64_t r) { return file.Peek(int64_t{records.offset} + r * rs, rs); };
  if (records_usable) {
    const uint8_t* zero = record_bytes(0);
    if (zero == nullptr) {
      f.Error("record 0, the record of codes not found, at offset " + Num(records.offset) +
              " is not held in full by the file: unknown codes get all-0 results");
    } else if (rs > kDiagRecordAttributesAt && zero[kDiagRecordAttributesAt] != 0) {
      f.Error("record 0, the record of codes not found, has category " +
              Num(zero[kDiagRecordAttributesAt]) +
              " instead of 0: unknown codes do not read as unknown");
    }
  }

  KeyFirsts keys;
  const PrefixIndexPlace place{index.offset, kDiagIndexSize, kDiagPrefixCount, kDiagEntrySize};
  WalkPrefixIndex(
      file, place, DiagPrefixText,
      [&](int p, const PrefixRange& range) {
        keys.Reset();
        for (uint32_t i = 0; i < range.count(); ++i) {
          const uint8_t* e = range.entries + kDiagEntrySize * i;
          const int suffix = ReadBigEndian16(e + kDiagEntrySuffixAt);
          const int r = ReadBigEndian16(e + kDiagEntryRecordAt);
          const int64_t entry = int64_t{range.start} + i;
          const std::string code =
              "code " + DiagCodeText(p, suffix) + " (entry " + Num(entry) + ")";
          if (suffix >= kSuffixNumberCount) {
            f.Warning(code + ": suffix number " + Num(suffix) + " above 1583, no code has it");
          }
          const int64_t first = keys.Seen(static_cast<uint32_t>(suffix), entry);
          if (first >= 0) {
            f.Error(code + ": the same code as entry " + Num(first) +
                    ", which is found first; this entry is never used");
            continue;
          }
          if (!records_usable) continue;
          const uint8_t* record = record_bytes(r);
          if (record == nullptr) {
            f.Error(code + ": record " + Num(r) + " lies beyond the end of the file: the code " +
                    "reads as not found");
          } else if (rs > kDiagRecordAttributesAt && record[kDiagRecordAttributesAt] == 0 &&
                     r != 0) {
            f.Warning(code + ": record " + Num(r) + " has category 0: the code reads as not in " +
                      "the table");
          }
        }
      },
      [&](std::string problem) { f.Error(std::move(problem)); });
}

void CheckActFile(const TableFile& file, std::string_view table, CheckReport* report) {
  FileFindings f(table, report);
  const uint8_t* header = CheckedHeader(file, kActDescriptorCount, &f);
  if (header == nullptr) return;
  const SectionDescriptor index = ReadSectionDescriptor(header + DescriptorAt(1));
  KeyFirsts keys;
  const PrefixIndexPlace place{index.offset, kActIndexSize, kActPrefixCount, kActEntrySize};
  WalkPrefixIndex(
      file, place, ActPrefixText,
      [&](int p, const PrefixRange& range) {
        keys.Reset();
        for (uint32_t i = 0; i < range.count(); ++i) {
          const uint8_t* entry = range.entries + kActEntrySize * i;
          const uint8_t letter = entry[kActEntryKeyAt];
          const uint16_t number = ReadBigEndian16(entry + kActEntryKeyAt + 1);
          const int64_t at = int64_t{range.start} + i;
          const std::string code =
              "act " + ActCodeText(p, letter, number) + " (entry " + Num(at) + ")";
          const uint32_t key = (uint32_t{letter} << 16) | number;
          const int64_t first = keys.Seen(key, at);
          if (first >= 0) {
            f.Error(code + ": the same code as entry " + Num(first) +
                    ", which is found first; this entry is never used");
            continue;
          }
          if (letter >= 26) {
            f.Warning(code + ": key byte " + Num(letter) + " is no upper-case fourth letter");
          }
          if (number > 9999) {
            f.Warning(code + ": number " + Num(number) + " has more than four digits");
          }
          if (entry[kActEntryClassAt] == 0) {
            f.Warning(code + ": class 0, the act reads as not in the table");
          }
        }
      },
      [&](std::string problem) { f.Error(std::move(problem)); });
}

void CheckTableDirectory(const std::string& directory, CheckReport* report) {
  std::string dir = directory;
  if (!dir.empty() && dir.back() != '/') dir += '/';
  struct Entry {
    const char* name;
    void (*check)(const TableFile&, std::string_view, CheckReport*);
    std::unique_ptr<TableFile> file;
  };
  Entry entries[] = {{kTreeTableName, CheckTreeFile, nullptr},
                     {kActTableName, CheckActFile, nullptr},
                     {kDiagTableName, CheckDiagFile, nullptr}};
  for (Entry& e : entries) {
    const Status opened = OpenTableFile(dir + e.name, &e.file);
    if (!opened.ok()) {
      report->findings.push_back({Severity::kError, e.name, opened.message()});
      continue;
    }
    e.check(*e.file, e.name, report);
  }
  const TableFile* tree = entries[0].file.get();
  if (tree == nullptr) return;
  for (int i = 1; i < 3; ++i) {
    if (entries[i].file != nullptr) {
      CheckVersionAgainstTree(*tree, *entries[i].file, entries[i].name, report);
    }
  }
}

void CheckVersionAgainstTree(const TableFile& tree, const TableFile& file, std::string_view table,
                             CheckReport* report) {
  const uint8_t* tree_header = tree.Peek(0, kTableHeaderSize);
  const uint8_t* header = file.Peek(0, kTableHeaderSize);
  if (tree_header == nullptr || header == nullptr) return;  // reported as too short
  const VersionText tree_version = ReadHeaderVersion(tree_header);
  const VersionText version = ReadHeaderVersion(header);
  if (VersionsAgree(version, tree_version)) return;
  report->findings.push_back({Severity::kError, std::string(table),
                              "version '" + std::string(VersionView(version)) +
                                  "' differs from the version '" +
                                  std::string(VersionView(tree_version)) + "' of " +
                                  kTreeTableName + ": every summary ends with 9"});
}

}  // namespace grulo
