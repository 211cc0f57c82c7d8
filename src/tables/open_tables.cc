#include "tables/open_tables.h"

#include <string>

#include "tables/big_endian.h"

namespace grulo {
namespace {

std::unique_ptr<TableFile> OpenInDirectory(std::string_view rep_tab, const char* name) {
  std::string path(rep_tab);
  path += name;
  return TableFile::Open(path);
}

// The header and `count` descriptors, or nullptr when the file is too short.
const uint8_t* HeaderBytes(const TableFile& file, int count) {
  return file.Peek(0, HeaderAndDescriptorsSize(count));
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

int16_t AdoptTreeTable(std::unique_ptr<TableFile>& file, TreeTable* table) {
  if (file == nullptr) return kTableCannotOpen;
  const uint8_t* header = HeaderBytes(*file, kTreeDescriptorCount);
  if (header == nullptr) return kTableCannotOpen;
  SectionDescriptor nodes = ReadSectionDescriptor(Descriptor(header, 1));
  if (nodes.record_size < kMinNodeSize || nodes.record_size > kMaxNodeSize) {
    return kTableCannotOpen;
  }
  table->TableVersion = ReadHeaderVersion(header);
  table->NodeSize = nodes.record_size;
  table->NodeAreaOffset = nodes.offset;
  table->NodeBound = static_cast<int32_t>(static_cast<uint32_t>(nodes.offset) +
                                          static_cast<uint32_t>(nodes.extent));
  table->file = std::move(file);
  return kTableOpened;
}

int16_t AdoptActTable(std::unique_ptr<TableFile>& file, ActTable* table) {
  if (file == nullptr) return kTableCannotOpen;
  const uint8_t* header = HeaderBytes(*file, kActDescriptorCount);
  if (header == nullptr) return kTableCannotOpen;
  SectionDescriptor index = ReadSectionDescriptor(Descriptor(header, 1));
  table->TableVersion = ReadHeaderVersion(header);
  table->ActIndexOffset = index.offset;
  table->file = std::move(file);
  return kTableOpened;
}

int16_t AdoptDiagTable(std::unique_ptr<TableFile>& file, DiagTable* table) {
  if (file == nullptr) return kTableCannotOpen;
  const uint8_t* header = HeaderBytes(*file, kDiagDescriptorCount);
  if (header == nullptr) return kTableCannotOpen;
  SectionDescriptor index = ReadSectionDescriptor(Descriptor(header, 1));
  SectionDescriptor records = ReadSectionDescriptor(Descriptor(header, 2));
  if (records.record_size < kMinDiagRecordSize || records.record_size > kMaxDiagRecordSize) {
    return kTableCannotOpen;
  }
  table->TableVersion = ReadHeaderVersion(header);
  table->DiagResultSize = index.record_size;
  table->DiagIndexOffset = index.offset;
  table->DiagRecordSize = records.record_size;
  table->DiagRecordOffset = records.offset;
  table->DiagAttrLength = static_cast<int16_t>(records.record_size - 1);
  table->file = std::move(file);
  return kTableOpened;
}

int16_t OpenTreeTable(std::string_view rep_tab, TreeTable* table) {
  std::unique_ptr<TableFile> file = OpenInDirectory(rep_tab, kTreeTableName);
  return AdoptTreeTable(file, table);
}

int16_t OpenActTable(std::string_view rep_tab, ActTable* table) {
  std::unique_ptr<TableFile> file = OpenInDirectory(rep_tab, kActTableName);
  return AdoptActTable(file, table);
}

int16_t OpenDiagTable(std::string_view rep_tab, DiagTable* table) {
  std::unique_ptr<TableFile> file = OpenInDirectory(rep_tab, kDiagTableName);
  return AdoptDiagTable(file, table);
}

}  // namespace grulo
