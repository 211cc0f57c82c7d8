#include "authoring/table_writer.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <numeric>
#include <unordered_map>

#include "authoring/code_text.h"
#include "tables/act_table.h"
#include "tables/big_endian.h"
#include "tables/diag_table.h"
#include "tables/open_tables.h"

namespace grulo {
namespace {

// A data area of a table and what its descriptor says about it.
struct Section {
  std::string_view name;
  int record_size = 0;
  int32_t extent = 0;
  std::vector<uint8_t> data;
};

void PutName(std::string_view name, uint8_t* out, size_t width) {
  std::memcpy(out, name.data(), std::min(name.size(), width));
}

// The version bytes of a header, NUL-padded.
void PutVersion(std::string_view version, uint8_t* header) {
  for (int i = 0; i < kHeaderVersionSize; ++i) {
    header[kHeaderVersionAt + i] =
        static_cast<size_t>(i) < version.size() ? static_cast<uint8_t>(version[i]) : 0;
  }
}

Status Invalid(std::string_view what) { return Status::InvalidArgument("", what); }

// Header, descriptors and sections, placed as the layout says; the size is
// checked against `max_bytes` before anything is allocated, and nothing is
// written when `out` is null.
Status Assemble(std::string_view file_name, std::string_view version, const TableLayout& layout,
                std::vector<Section>& sections, int64_t max_bytes, std::vector<uint8_t>* out) {
  if (version.size() > kHeaderVersionSize) {
    return Invalid("the version has more than 2 characters");
  }
  const int count = static_cast<int>(sections.size());
  const int64_t header_end = HeaderAndDescriptorsSize(count);

  std::array<uint8_t, kTableHeaderSize> header = DefaultHeader(file_name, version);
  if (!layout.header.empty()) {
    if (layout.header.size() != kTableHeaderSize) {
      return Invalid("the raw header is not " + std::to_string(kTableHeaderSize) + " bytes long");
    }
    std::copy(layout.header.begin(), layout.header.end(), header.begin());
    PutVersion(version, header.data());
  }

  std::vector<std::array<uint8_t, kSectionDescriptorSize>> descriptors(count);
  std::vector<int64_t> offsets(count);
  int64_t next = header_end;
  for (int i = 0; i < count; ++i) {
    const Section& s = sections[i];
    const std::vector<uint8_t>& raw = layout.descriptors[i];
    if (s.record_size < 0 || s.record_size > 255) {
      return Invalid("record size " + std::to_string(s.record_size) + " of the " +
                     std::string(s.name) + " is outside 0..255");
    }
    if (raw.empty()) {
      if (next > INT32_MAX) return Invalid("the table is too large");
      offsets[i] = next;
      descriptors[i] =
          DefaultDescriptor(s.name, s.record_size, s.extent, static_cast<int32_t>(next));
    } else {
      if (raw.size() != kSectionDescriptorSize) {
        return Invalid("raw descriptor " + std::to_string(i + 1) + " is not " +
                       std::to_string(kSectionDescriptorSize) + " bytes long");
      }
      std::copy(raw.begin(), raw.end(), descriptors[i].begin());
      descriptors[i][kDescriptorRecordSizeAt] = static_cast<uint8_t>(s.record_size);
      offsets[i] = static_cast<int32_t>(ReadBigEndian32(raw.data() + kDescriptorOffsetAt));
    }
    next = offsets[i] + static_cast<int64_t>(s.data.size());
  }

  // The sections must lie behind the descriptors and must not overlap.
  std::vector<int> order(count);
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(), [&](int a, int b) { return offsets[a] < offsets[b]; });
  int64_t end = header_end;
  for (int i : order) {
    if (sections[i].data.empty()) continue;
    if (offsets[i] < end) {
      return Invalid("the section '" + std::string(sections[i].name) + "' at offset " +
                     std::to_string(offsets[i]) +
                     " overlaps the header, the descriptors or another section");
    }
    end = offsets[i] + static_cast<int64_t>(sections[i].data.size());
  }
  if (end > INT32_MAX) return Invalid("the table is too large");
  const int64_t size = end + static_cast<int64_t>(layout.trailer.size());
  if (size > max_bytes) {
    return Invalid("the table would have " + std::to_string(size) + " bytes, more than " +
                   std::to_string(max_bytes));
  }
  if (out == nullptr) return Status();

  out->reserve(static_cast<size_t>(size));
  out->assign(static_cast<size_t>(end), 0);
  std::copy(header.begin(), header.end(), out->begin());
  for (int i = 0; i < count; ++i) {
    std::copy(descriptors[i].begin(), descriptors[i].end(), out->begin() + DescriptorAt(i + 1));
    if (sections[i].data.empty()) continue;
    std::copy(sections[i].data.begin(), sections[i].data.end(), out->begin() + offsets[i]);
  }
  out->insert(out->end(), layout.trailer.begin(), layout.trailer.end());
  return Status();
}

// The prefix index: entry p holds the end of prefix p's range.
std::vector<uint8_t> PrefixIndex(const std::vector<int>& counts) {
  std::vector<uint8_t> index(counts.size() * kPrefixIndexEntrySize);
  uint32_t end = 0;
  for (size_t p = 0; p < counts.size(); ++p) {
    end += static_cast<uint32_t>(counts[p]);
    WriteBigEndian16(static_cast<uint16_t>(end), index.data() + kPrefixIndexEntrySize * p);
  }
  return index;
}

Status EncodeDiagRecord(const DiagRecord& record, int record_size, std::vector<uint8_t>* out) {
  if (record_size < 1 || static_cast<int>(record.attributes.size()) > record_size - 1) {
    return Invalid("a record of " + std::to_string(record.attributes.size()) +
                   " attribute bytes does not fit the record size " + std::to_string(record_size));
  }
  out->assign(static_cast<size_t>(record_size), 0);
  (*out)[kDiagRecordPositionAt] = record.position_bits;
  std::copy(record.attributes.begin(), record.attributes.end(),
            out->begin() + kDiagRecordAttributesAt);
  return Status();
}

// Indices of the entries, sorted by prefix, the given order kept within one.
template <typename Entry>
std::vector<size_t> SortedByPrefix(const std::vector<Entry>& entries) {
  std::vector<size_t> order(entries.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return entries[a].prefix < entries[b].prefix; });
  return order;
}

}  // namespace

std::array<uint8_t, kTableHeaderSize> DefaultHeader(std::string_view file_name,
                                                    std::string_view version) {
  std::array<uint8_t, kTableHeaderSize> header{};
  PutName(kHeaderMagic, header.data() + kHeaderMagicAt, kHeaderMagicSize);
  PutVersion(version, header.data());
  PutName(file_name, header.data() + kHeaderFileNameAt, kHeaderFileNameSize);
  return header;
}

std::array<uint8_t, kSectionDescriptorSize> DefaultDescriptor(std::string_view section_name,
                                                              int record_size, int32_t extent,
                                                              int32_t offset) {
  std::array<uint8_t, kSectionDescriptorSize> d{};
  PutName(section_name, d.data() + kDescriptorNameAt, kDescriptorNameSize);
  d[kDescriptorRecordSizeAt] = static_cast<uint8_t>(record_size);
  WriteBigEndian32(static_cast<uint32_t>(extent), d.data() + kDescriptorExtentAt);
  WriteBigEndian32(static_cast<uint32_t>(offset), d.data() + kDescriptorOffsetAt);
  return d;
}

Status WriteTable(const DiagTableModel& model, std::vector<uint8_t>* bytes, int64_t max_bytes) {
  if (model.result_size < 0 || model.result_size > 255) {
    return Invalid("result size " + std::to_string(model.result_size) + " is outside 0..255");
  }
  if (model.record_size < 0 || model.record_size > 255) {
    return Invalid("record size " + std::to_string(model.record_size) + " is outside 0..255");
  }
  if (model.entries.size() > kMaxIndexEnd) {
    return Invalid(std::to_string(model.entries.size()) +
                   " codes: the 16-bit index holds at most " + std::to_string(kMaxIndexEnd));
  }

  // Records given by number, then the records of the entries in entry-list
  // order, equal bytes sharing one number.
  const int rs = model.record_size;
  int given = 1;
  if (!model.records.empty()) given = std::max(given, model.records.rbegin()->first + 1);
  if (!model.records.empty() &&
      (model.records.begin()->first < 0 || given > kDiagRecordNumberCount)) {
    return Invalid("record numbers go from 0 to 65535");
  }
  std::vector<std::vector<uint8_t>> records(static_cast<size_t>(given),
                                            std::vector<uint8_t>(static_cast<size_t>(rs), 0));
  for (const auto& [number, record] : model.records) {
    if (Status s = EncodeDiagRecord(record, rs, &records[number]); !s.ok()) {
      return Invalid("record " + std::to_string(number) + ": " + s.message());
    }
  }
  std::unordered_map<std::string, int> numbers;  // record bytes -> first number
  for (size_t r = 0; r < records.size(); ++r)
    numbers.emplace(std::string(records[r].begin(), records[r].end()), static_cast<int>(r));

  const std::vector<size_t> order = SortedByPrefix(model.entries);
  std::vector<int> counts(kDiagPrefixCount, 0);
  std::vector<uint8_t> entry_bytes(model.entries.size() * kDiagEntrySize);
  std::vector<uint8_t> encoded;
  for (size_t i = 0; i < order.size(); ++i) {
    const DiagEntry& e = model.entries[order[i]];
    if (e.prefix < 0 || e.prefix >= kDiagPrefixCount) {
      return Invalid("prefix number " + std::to_string(e.prefix) + " is outside 0..2599");
    }
    const std::string code = DiagCodeText(e.prefix, e.suffix_number);
    if (e.suffix_number < 0 || e.suffix_number > 65535) {
      return Invalid("code " + code + ": suffix number outside 0..65535");
    }
    int number = e.record_number;
    if (number < -1 || number > 65535) {
      return Invalid("code " + code + ": record number outside 0..65535");
    }
    if (number < 0) {
      if (Status s = EncodeDiagRecord(e.record, rs, &encoded); !s.ok()) {
        return Invalid("code " + code + ": " + s.message());
      }
      auto [it, added] = numbers.emplace(std::string(encoded.begin(), encoded.end()),
                                         static_cast<int>(records.size()));
      if (added) {
        if (records.size() >= kDiagRecordNumberCount) {
          return Invalid("more than 65536 different records");
        }
        records.push_back(encoded);
      }
      number = it->second;
    }
    ++counts[e.prefix];
    uint8_t* out = &entry_bytes[kDiagEntrySize * i];
    WriteBigEndian16(static_cast<uint16_t>(e.suffix_number), out + kDiagEntrySuffixAt);
    WriteBigEndian16(static_cast<uint16_t>(number), out + kDiagEntryRecordAt);
  }

  std::vector<Section> sections(2);
  sections[0].name = "diagnosis index";
  sections[0].record_size = model.result_size;
  sections[0].data = PrefixIndex(counts);
  sections[0].data.insert(sections[0].data.end(), entry_bytes.begin(), entry_bytes.end());
  sections[0].extent = static_cast<int32_t>(sections[0].data.size());
  sections[1].name = "diagnosis records";
  sections[1].record_size = rs;
  for (const std::vector<uint8_t>& r : records) {
    sections[1].data.insert(sections[1].data.end(), r.begin(), r.end());
  }
  sections[1].extent = static_cast<int32_t>(sections[1].data.size());
  return Assemble(kDiagTableName, model.version, model.layout, sections, max_bytes, bytes);
}

Status WriteTable(const ActTableModel& model, std::vector<uint8_t>* bytes, int64_t max_bytes) {
  if (model.entries.size() > kMaxIndexEnd) {
    return Invalid(std::to_string(model.entries.size()) + " acts: the 16-bit index holds at most " +
                   std::to_string(kMaxIndexEnd));
  }
  const std::vector<size_t> order = SortedByPrefix(model.entries);
  std::vector<int> counts(kActPrefixCount, 0);
  std::vector<uint8_t> entry_bytes(model.entries.size() * kActEntrySize);
  for (size_t i = 0; i < order.size(); ++i) {
    const ActEntry& e = model.entries[order[i]];
    if (e.prefix < 0 || e.prefix >= kActPrefixCount) {
      return Invalid("act prefix number " + std::to_string(e.prefix) + " is outside 0..17575");
    }
    ++counts[e.prefix];
    uint8_t* out = &entry_bytes[kActEntrySize * i];
    out[kActEntryKeyAt] = e.letter;
    WriteBigEndian16(e.number, out + kActEntryKeyAt + 1);
    out[kActEntryClassAt] = e.act_class;
  }
  std::vector<Section> sections(1);
  sections[0].name = "act index";
  sections[0].record_size = model.entry_size;
  sections[0].data = PrefixIndex(counts);
  sections[0].data.insert(sections[0].data.end(), entry_bytes.begin(), entry_bytes.end());
  sections[0].extent = static_cast<int32_t>(sections[0].data.size());
  return Assemble(kActTableName, model.version, model.layout, sections, max_bytes, bytes);
}

Status WriteTable(const TreeTableModel& model, std::vector<uint8_t>* bytes, int64_t max_bytes) {
  const int size = model.node_size;
  if (size < 1 || size > 255) {
    return Invalid("node size " + std::to_string(size) + " is outside 1..255");
  }
  if (model.nodes.size() > kNodeNumberCount) return Invalid("more than 65536 nodes");
  std::vector<Section> sections(1);
  sections[0].name = "nodes";
  sections[0].record_size = size;
  std::vector<uint8_t>& data = sections[0].data;
  data.assign(model.nodes.size() * static_cast<size_t>(size), 0);
  for (size_t n = 0; n < model.nodes.size(); ++n) {
    const TreeNodeRecord& node = model.nodes[n];
    if (node.extra.size() + kNodeFieldBytes >
        static_cast<size_t>(std::max(size, kNodeFieldBytes))) {
      return Invalid("node " + std::to_string(n) + " has more bytes than the node size " +
                     std::to_string(size));
    }
    uint8_t record[256] = {};
    record[kNodeOpcodeAt] = node.opcode;
    record[kNodeParam1At] = node.param1;
    record[kNodeParam2At] = node.param2;
    record[kNodeBranchLimitAt] = node.branch_limit;
    WriteBigEndian16(node.base_node, record + kNodeBaseNodeAt);
    std::copy(node.extra.begin(), node.extra.end(), record + kNodeFieldBytes);
    std::memcpy(&data[n * static_cast<size_t>(size)], record, static_cast<size_t>(size));
  }
  // NodeBound is the offset of the last node: every node can be read, none
  // behind it.
  sections[0].extent =
      model.nodes.empty() ? 0 : static_cast<int32_t>((model.nodes.size() - 1) * size);
  return Assemble(kTreeTableName, model.version, model.layout, sections, max_bytes, bytes);
}

// ---------------------------------------------------------------------------
// Forms with a bool and a text.

namespace {

template <typename Model>
bool WriteWithText(const Model& model, std::vector<uint8_t>* bytes, std::string* error) {
  const Status status = WriteTable(model, bytes);
  if (!status.ok()) *error = status.message();
  return status.ok();
}

}  // namespace

bool WriteDiagTable(const DiagTableModel& model, std::vector<uint8_t>* bytes, std::string* error) {
  return WriteWithText(model, bytes, error);
}

bool WriteActTable(const ActTableModel& model, std::vector<uint8_t>* bytes, std::string* error) {
  return WriteWithText(model, bytes, error);
}

bool WriteTreeTable(const TreeTableModel& model, std::vector<uint8_t>* bytes, std::string* error) {
  return WriteWithText(model, bytes, error);
}

}  // namespace grulo
