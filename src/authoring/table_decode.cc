#include "authoring/table_decode.h"

#include <algorithm>
#include <cstring>

#include "authoring/code_text.h"
#include "authoring/prefix_walk.h"
#include "authoring/table_kind.h"
#include "tables/act_table.h"
#include "tables/big_endian.h"
#include "tables/diag_table.h"
#include "tables/open_tables.h"
#include "tables/table_layout.h"

namespace grulo {
namespace {

std::string VersionOf(const uint8_t* header) {
  std::string version(reinterpret_cast<const char*>(header) + kHeaderVersionAt, kHeaderVersionSize);
  while (!version.empty() && version.back() == '\0') version.pop_back();
  return version;
}

// The header and descriptors of a kind, or a status saying the file is too
// short for them.
Status HeaderOf(const TableFile& file, std::string_view path, TableKind kind,
                const uint8_t** header) {
  const int64_t size = HeaderAndDescriptorsSize(DescriptorCount(kind));
  *header = file.Peek(0, size);
  if (*header != nullptr) return Status();
  return Status::Corruption(path, "the file has " + std::to_string(file.size()) +
                                      " bytes, fewer than its header and descriptors (" +
                                      std::to_string(size) + ")");
}

}  // namespace

void DecodeNotes::Add(std::string note) {
  if (static_cast<int>(kept_.size()) < kMaxDecodeNotes) {
    kept_.push_back(std::move(note));
  } else {
    ++dropped_;
  }
}

Status DecodeTable(const TableFile& file, std::string_view path, DiagTableModel* model,
                   DecodeNotes* notes) {
  *model = DiagTableModel();
  const uint8_t* header = nullptr;
  if (Status s = HeaderOf(file, path, TableKind::kDiag, &header); !s.ok()) return s;
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

  const PrefixIndexPlace place{index.offset, kDiagIndexSize, kDiagPrefixCount, kDiagEntrySize};
  WalkPrefixIndex(
      file, place, DiagPrefixText,
      [&](int p, const PrefixRange& range) {
        for (uint32_t i = 0; i < range.count(); ++i) {
          const uint8_t* e = range.entries + kDiagEntrySize * i;
          DiagEntry entry;
          entry.prefix = p;
          entry.suffix_number = ReadBigEndian16(e + kDiagEntrySuffixAt);
          entry.record_number = ReadBigEndian16(e + kDiagEntryRecordAt);
          model->entries.push_back(entry);
        }
      },
      [&](std::string problem) { notes->Add(std::move(problem)); });
  return Status();
}

Status DecodeTable(const TableFile& file, std::string_view path, ActTableModel* model,
                   DecodeNotes* notes) {
  *model = ActTableModel();
  const uint8_t* header = nullptr;
  if (Status s = HeaderOf(file, path, TableKind::kAct, &header); !s.ok()) return s;
  const SectionDescriptor index = ReadSectionDescriptor(header + DescriptorAt(1));
  model->version = VersionOf(header);
  model->entry_size = index.record_size;
  const PrefixIndexPlace place{index.offset, kActIndexSize, kActPrefixCount, kActEntrySize};
  WalkPrefixIndex(
      file, place, ActPrefixText,
      [&](int p, const PrefixRange& range) {
        for (uint32_t i = 0; i < range.count(); ++i) {
          const uint8_t* e = range.entries + kActEntrySize * i;
          ActEntry entry;
          entry.prefix = p;
          entry.letter = e[kActEntryKeyAt];
          entry.number = ReadBigEndian16(e + kActEntryKeyAt + 1);
          entry.act_class = e[kActEntryClassAt];
          model->entries.push_back(entry);
        }
      },
      [&](std::string problem) { notes->Add(std::move(problem)); });
  return Status();
}

Status DecodeTable(const TableFile& file, std::string_view path, TreeTableModel* model,
                   DecodeNotes* notes) {
  *model = TreeTableModel();
  const uint8_t* header = nullptr;
  if (Status s = HeaderOf(file, path, TableKind::kTree, &header); !s.ok()) return s;
  const SectionDescriptor nodes = ReadSectionDescriptor(header + DescriptorAt(1));
  model->version = VersionOf(header);
  model->node_size = nodes.record_size;
  const int size = nodes.record_size;
  int64_t count = 0;
  if (size > 0 && nodes.offset >= 0 && nodes.offset <= file.size()) {
    count = std::min<int64_t>((file.size() - nodes.offset) / size, kNodeNumberCount);
  }
  if (count == 0) notes->Add("the file holds no node record");
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
  return Status();
}

}  // namespace grulo
