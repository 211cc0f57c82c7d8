#include "authoring/table_kind.h"

#include <cstring>

#include "tables/open_tables.h"

namespace grulo {

std::string_view TableKindName(TableKind kind) {
  switch (kind) {
    case TableKind::kTree:
      return "tree";
    case TableKind::kDiag:
      return "diag";
    case TableKind::kAct:
      return "acts";
  }
  return "";
}

bool TableKindFromWord(std::string_view word, TableKind* kind) {
  for (TableKind k : {TableKind::kTree, TableKind::kDiag, TableKind::kAct}) {
    if (word == TableKindName(k)) {
      *kind = k;
      return true;
    }
  }
  return false;
}

std::string_view TableFileName(TableKind kind) {
  switch (kind) {
    case TableKind::kTree:
      return kTreeTableName;
    case TableKind::kDiag:
      return kDiagTableName;
    case TableKind::kAct:
      return kActTableName;
  }
  return "";
}

bool GuessTableKind(std::string_view path, const TableFile& file, TableKind* kind) {
  const size_t slash = path.find_last_of('/');
  const std::string_view base = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const uint8_t* name = file.Peek(kHeaderFileNameAt, kHeaderFileNameSize);
  for (TableKind k : {TableKind::kTree, TableKind::kDiag, TableKind::kAct}) {
    const std::string_view file_name = TableFileName(k);
    if (base == file_name ||
        (name != nullptr && std::memcmp(name, file_name.data(), kHeaderFileNameSize) == 0)) {
      *kind = k;
      return true;
    }
  }
  return false;
}

int DescriptorCount(TableKind kind) {
  switch (kind) {
    case TableKind::kTree:
      return kTreeDescriptorCount;
    case TableKind::kDiag:
      return kDiagDescriptorCount;
    case TableKind::kAct:
      return kActDescriptorCount;
  }
  return 0;
}

}  // namespace grulo
