#include "authoring/table_decode.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "authoring/code_text.h"
#include "authoring/table_kind.h"
#include "tables/act_table.h"
#include "tables/big_endian.h"
#include "tables/diag_table.h"
#include "tables/open_tables.h"

namespace grulo {
namespace {

int64_t HeaderEnd(TableKind kind) {
  switch (kind) {
    case TableKind::kTree:
      return HeaderAndDescriptorsSize(kTreeDescriptorCount);
    case TableKind::kDiag:
      return HeaderAndDescriptorsSize(kDiagDescriptorCount);
    case TableKind::kAct:
      return HeaderAndDescriptorsSize(kActDescriptorCount);
  }
  return 0;
}

std::string VersionOf(const uint8_t* header) {
  std::string version(reinterpret_cast<const char*>(header) + kHeaderVersionAt, kHeaderVersionSize);
  while (!version.empty() && version.back() == '\0') version.pop_back();
  return version;
}

bool TooShort(const TableFile& file, TableKind kind, std::string* error) {
  if (file.size() >= HeaderEnd(kind)) return false;
  *error = "the file has " + std::to_string(file.size()) + " bytes, fewer than its header and " +
           "descriptors (" + std::to_string(HeaderEnd(kind)) + ")";
  return true;
}

// The entry ranges of a prefix index: calls `visit(p, start, count)` for
// each prefix whose range is consistent and held by the file, and notes the
// others. `code_text(p)` names a prefix.
void WalkPrefixRanges(const TableFile& file, int64_t index, int prefixes, int64_t entries_at,
                      const std::function<std::string(int)>& prefix_text,
                      const std::function<void(int, uint32_t, uint32_t)>& visit,
                      std::vector<std::string>* notes) {
  uint32_t start = 0;
  for (int p = 0; p < prefixes; ++p) {
    const uint8_t* e = file.Peek(index + 2 * int64_t{p}, 2);
    if (e == nullptr) {
      notes->push_back("the prefix index ends outside the file at prefix " + prefix_text(p));
      return;
    }
    const uint32_t end = ReadBigEndian16(e);
    if (end < start) {
      notes->push_back("prefix " + prefix_text(p) + ": range " + std::to_string(start) + ".." +
                       std::to_string(end) + " ends below its start, skipped");
    } else if (end > start) {
      if (file.Peek(entries_at + 4 * int64_t{start}, 4 * int64_t{end - start}) == nullptr) {
        notes->push_back("prefix " + prefix_text(p) + ": entries " + std::to_string(start) + ".." +
                         std::to_string(end) + " are not all inside the file, skipped");
      } else {
        visit(p, start, end - start);
      }
    }
    start = end;
  }
}

std::string DiagPrefixText(int p) { return DiagCodeText(p, 0); }
std::string ActPrefixText(int p) { return ActCodeText(p, 0, 0).substr(0, 3); }

}  // namespace

bool ReadDiagModel(const TableFile& file, DiagTableModel* model, std::vector<std::string>* notes,
                   std::string* error) {
  *model = DiagTableModel();
  if (TooShort(file, TableKind::kDiag, error)) return false;
  const uint8_t* header = file.Peek(0, HeaderEnd(TableKind::kDiag));
  const SectionDescriptor index = ReadSectionDescriptor(header + DescriptorAt(1));
  const SectionDescriptor records = ReadSectionDescriptor(header + DescriptorAt(2));
  model->version = VersionOf(header);
  model->result_size = index.record_size;
  model->record_size = records.record_size;

  // Every record the file holds from the record offset on.
  const int rs = records.record_size;
  int64_t record_count = 0;
  if (rs > 0 && records.offset >= 0 && records.offset <= file.size()) {
    record_count = std::min<int64_t>((file.size() - records.offset) / rs, kDiagRecordNumberCount);
  }
  for (int64_t r = 0; r < record_count; ++r) {
    const uint8_t* bytes = file.Peek(int64_t{records.offset} + r * rs, rs);
    DiagRecord record;
    record.position_bits = bytes[kDiagRecordPositionAt];
    record.attributes.assign(bytes + kDiagRecordAttributesAt, bytes + rs);
    model->records[static_cast<int>(r)] = std::move(record);
  }

  const int64_t entries_at = int64_t{index.offset} + kDiagIndexSize;
  WalkPrefixRanges(
      file, index.offset, kDiagPrefixCount, entries_at, DiagPrefixText,
      [&](int p, uint32_t start, uint32_t count) {
        const uint8_t* e = file.Peek(entries_at + 4 * int64_t{start}, 4 * int64_t{count});
        for (uint32_t i = 0; i < count; ++i) {
          DiagEntry entry;
          entry.prefix = p;
          entry.suffix_number = ReadBigEndian16(e + 4 * i);
          entry.record_number = ReadBigEndian16(e + 4 * i + 2);
          model->entries.push_back(entry);
        }
      },
      notes);
  return true;
}

bool ReadActModel(const TableFile& file, ActTableModel* model, std::vector<std::string>* notes,
                  std::string* error) {
  *model = ActTableModel();
  if (TooShort(file, TableKind::kAct, error)) return false;
  const uint8_t* header = file.Peek(0, HeaderEnd(TableKind::kAct));
  const SectionDescriptor index = ReadSectionDescriptor(header + DescriptorAt(1));
  model->version = VersionOf(header);
  model->entry_size = index.record_size;
  const int64_t entries_at = int64_t{index.offset} + kActIndexSize;
  WalkPrefixRanges(
      file, index.offset, kActPrefixCount, entries_at, ActPrefixText,
      [&](int p, uint32_t start, uint32_t count) {
        const uint8_t* e = file.Peek(entries_at + 4 * int64_t{start}, 4 * int64_t{count});
        for (uint32_t i = 0; i < count; ++i) {
          ActEntry entry;
          entry.prefix = p;
          entry.letter = e[4 * i];
          entry.number = ReadBigEndian16(e + 4 * i + 1);
          entry.act_class = e[4 * i + 3];
          model->entries.push_back(entry);
        }
      },
      notes);
  return true;
}

bool ReadTreeModel(const TableFile& file, TreeTableModel* model, std::vector<std::string>* notes,
                   std::string* error) {
  *model = TreeTableModel();
  if (TooShort(file, TableKind::kTree, error)) return false;
  const uint8_t* header = file.Peek(0, HeaderEnd(TableKind::kTree));
  const SectionDescriptor nodes = ReadSectionDescriptor(header + DescriptorAt(1));
  model->version = VersionOf(header);
  model->node_size = nodes.record_size;
  const int size = nodes.record_size;
  int64_t count = 0;
  if (size > 0 && nodes.offset >= 0 && nodes.offset <= file.size()) {
    count = std::min<int64_t>((file.size() - nodes.offset) / size, kNodeNumberCount);
  }
  if (count == 0) notes->push_back("the file holds no node record");
  for (int64_t n = 0; n < count; ++n) {
    const uint8_t* b = file.Peek(int64_t{nodes.offset} + n * size, size);
    uint8_t fields[kNodeFieldBytes] = {};
    std::memcpy(fields, b, static_cast<size_t>(std::min(size, kNodeFieldBytes)));
    TreeNodeRecord node = TreeNodeRecord::Inner(fields[kNodeOpcodeAt], fields[kNodeParam1At],
                                                fields[kNodeParam2At], fields[kNodeBranchLimitAt],
                                                ReadBigEndian16(fields + kNodeBaseNodeAt));
    if (size > kNodeFieldBytes) node.extra.assign(b + kNodeFieldBytes, b + size);
    while (!node.extra.empty() && node.extra.back() == 0) node.extra.pop_back();
    model->nodes.push_back(std::move(node));
  }
  return true;
}

}  // namespace grulo
