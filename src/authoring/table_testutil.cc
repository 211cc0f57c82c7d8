#include "authoring/table_testutil.h"

#include <gtest/gtest.h>

#include <memory>

#include "authoring/table_build.h"
#include "authoring/table_writer.h"
#include "tables/big_endian.h"

namespace grulo {
namespace testing {

namespace {

template <typename Model>
std::vector<uint8_t> BytesOf(const Model& model) {
  std::vector<uint8_t> bytes;
  const Status status = WriteTable(model, &bytes);
  EXPECT_TRUE(status.ok()) << status.message();
  return bytes;
}

}  // namespace

std::vector<uint8_t> DiagBytes(const DiagTableModel& model) { return BytesOf(model); }
std::vector<uint8_t> ActBytes(const ActTableModel& model) { return BytesOf(model); }
std::vector<uint8_t> TreeBytes(const TreeTableModel& model) { return BytesOf(model); }

std::vector<uint8_t> BuiltTable(TableKind kind, const std::string& source) {
  std::vector<uint8_t> bytes;
  const Status status = BuildTable(kind, source, "source", &bytes);
  EXPECT_TRUE(status.ok()) << status.message();
  return bytes;
}

DiagTable DiagTableOf(std::vector<uint8_t> bytes) {
  DiagTable table;
  std::unique_ptr<TableFile> file = TableFile::FromBytes(std::move(bytes));
  EXPECT_EQ(AdoptDiagTable(file, &table), kTableOpened);
  return table;
}

ActTable ActTableOf(std::vector<uint8_t> bytes) {
  ActTable table;
  std::unique_ptr<TableFile> file = TableFile::FromBytes(std::move(bytes));
  EXPECT_EQ(AdoptActTable(file, &table), kTableOpened);
  return table;
}

void Put16(std::vector<uint8_t>* bytes, size_t at, uint16_t value) {
  WriteBigEndian16(value, bytes->data() + at);
}

void Put32(std::vector<uint8_t>* bytes, size_t at, uint32_t value) {
  WriteBigEndian32(value, bytes->data() + at);
}

}  // namespace testing
}  // namespace grulo
