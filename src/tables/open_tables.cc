#include "tables/open_tables.h"

#include <string>

#include "tables/big_endian.h"
#include "tables/act_table.h"
#include "tables/diag_table.h"

namespace grulo {
namespace {

std::unique_ptr<TableFile> OpenInDirectory(std::string_view rep_tab, const char* name,
                                           Status* why) {
  std::string path(rep_tab);
  path += name;
  return TableFile::Open(path, why);
}

// Sets the reason of a refused table, when the caller asked for it.
// Every caller passes the file it refuses, so `file` is never null below:
// that side of the test is never taken (kept so that a later caller may pass
// none).
int16_t Refuse(const TableFile* file, const char* name, const std::string& what, Status* why) {
  if (why != nullptr) {
    *why = Status::Corruption(file != nullptr && !file->path().empty() ? file->path() : name, what);
  }
  return kTableCannotOpen;
}

// The header and `count` descriptors; nullptr, with the reason, when the
// file is too short.
const uint8_t* HeaderBytes(const TableFile& file, int count, const char* name, Status* why) {
  const int64_t size = HeaderAndDescriptorsSize(count);
  const uint8_t* header = file.Peek(0, size);
  if (header == nullptr) {
    Refuse(&file, name,
           "is too short for a table (" + std::to_string(file.size()) + " bytes; its header and " +
               (count == 1 ? "descriptor" : "descriptors") + " take " + std::to_string(size) + ")",
           why);
  }
  return header;
}

// A null file is refused without a reason of its own: the opening that
// failed has already given one.
int16_t RefuseNull(const char* name, Status* why) {
  if (why != nullptr && why->ok()) *why = Status::NotFound(name, "no file");
  return kTableCannotOpen;
}

const uint8_t* Descriptor(const uint8_t* header, int number) {
  return header + DescriptorAt(number);
}

}  // namespace

SectionDescriptor ReadSectionDescriptor(const uint8_t* bytes) {
  SectionDescriptor d;
  d.record_size = bytes[kDescriptorRecordSizeAt];
  d.extent = static_cast<int32_t>(ReadBigEndian32(bytes + kDescriptorExtentAt));
  d.offset = static_cast<int32_t>(ReadBigEndian32(bytes + kDescriptorOffsetAt));
  return d;
}

VersionText ReadHeaderVersion(const uint8_t* header) {
  VersionText v{static_cast<char>(header[kHeaderVersionAt]),
                static_cast<char>(header[kHeaderVersionAt + 1]), '\0'};
  if (v[0] == '\0') v[1] = '\0';
  return v;
}

int16_t AdoptTreeTable(std::unique_ptr<TableFile>& file, TreeTable* table, Status* why) {
  if (file == nullptr) return RefuseNull(kTreeTableName, why);
  const uint8_t* header = HeaderBytes(*file, kTreeDescriptorCount, kTreeTableName, why);
  if (header == nullptr) return kTableCannotOpen;
  SectionDescriptor nodes = ReadSectionDescriptor(Descriptor(header, 1));
  if (nodes.record_size < kMinNodeSize || nodes.record_size > kMaxNodeSize) {
    return Refuse(file.get(), kTreeTableName,
                  "has a node size of " + std::to_string(nodes.record_size) +
                      " bytes (" + std::to_string(kMinNodeSize) + " to " + std::to_string(kMaxNodeSize) + " are accepted)",
                  why);
  }
  table->TableVersion = ReadHeaderVersion(header);
  table->NodeSize = nodes.record_size;
  table->NodeAreaOffset = nodes.offset;
  table->NodeBound = static_cast<int32_t>(static_cast<uint32_t>(nodes.offset) +
                                          static_cast<uint32_t>(nodes.extent));
  table->file = std::move(file);
  return kTableOpened;
}

int16_t AdoptActTable(std::unique_ptr<TableFile>& file, ActTable* table, Status* why) {
  if (file == nullptr) return RefuseNull(kActTableName, why);
  const uint8_t* header = HeaderBytes(*file, kActDescriptorCount, kActTableName, why);
  if (header == nullptr) return kTableCannotOpen;
  SectionDescriptor index = ReadSectionDescriptor(Descriptor(header, 1));
  table->TableVersion = ReadHeaderVersion(header);
  table->ActIndexOffset = index.offset;
  table->file = std::move(file);
  table->code_index = BuildActCodeIndex(*table);
  return kTableOpened;
}

int16_t AdoptDiagTable(std::unique_ptr<TableFile>& file, DiagTable* table, Status* why) {
  if (file == nullptr) return RefuseNull(kDiagTableName, why);
  const uint8_t* header = HeaderBytes(*file, kDiagDescriptorCount, kDiagTableName, why);
  if (header == nullptr) return kTableCannotOpen;
  SectionDescriptor index = ReadSectionDescriptor(Descriptor(header, 1));
  SectionDescriptor records = ReadSectionDescriptor(Descriptor(header, 2));
  if (records.record_size < kMinDiagRecordSize || records.record_size > kMaxDiagRecordSize) {
    return Refuse(file.get(), kDiagTableName,
                  "has a diagnosis record size of " + std::to_string(records.record_size) +
                      " bytes (" + std::to_string(kMinDiagRecordSize) + " to " + std::to_string(kMaxDiagRecordSize) + " are accepted)",
                  why);
  }
  table->TableVersion = ReadHeaderVersion(header);
  table->DiagResultSize = index.record_size;
  table->DiagIndexOffset = index.offset;
  table->DiagRecordSize = records.record_size;
  table->DiagRecordOffset = records.offset;
  table->DiagAttrLength = static_cast<int16_t>(records.record_size - 1);
  table->file = std::move(file);
  table->code_index = BuildDiagCodeIndex(*table);
  return kTableOpened;
}

int16_t OpenTreeTable(std::string_view rep_tab, TreeTable* table, Status* why) {
  std::unique_ptr<TableFile> file = OpenInDirectory(rep_tab, kTreeTableName, why);
  return AdoptTreeTable(file, table, why);
}

int16_t OpenActTable(std::string_view rep_tab, ActTable* table, Status* why) {
  std::unique_ptr<TableFile> file = OpenInDirectory(rep_tab, kActTableName, why);
  return AdoptActTable(file, table, why);
}

int16_t OpenDiagTable(std::string_view rep_tab, DiagTable* table, Status* why) {
  std::unique_ptr<TableFile> file = OpenInDirectory(rep_tab, kDiagTableName, why);
  return AdoptDiagTable(file, table, why);
}

}  // namespace grulo
