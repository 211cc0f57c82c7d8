#include "authoring/table_build.h"

#include "authoring/source_syntax.h"
#include "authoring/table_source.h"
#include "authoring/tree_source.h"

namespace grulo {
namespace {

template <typename Model>
Status ParseAndWrite(std::string_view text, std::string_view path, std::vector<uint8_t>* bytes,
                     int64_t max_bytes) {
  Model model;
  if (Status s = ParseSource(text, path, &model); !s.ok()) return s;
  if (Status s = WriteTable(model, bytes, max_bytes); !s.ok()) {
    return Status::InvalidArgument(path, s.message());
  }
  return Status();
}

}  // namespace

Status BuildTable(TableKind kind, std::string_view text, std::string_view path,
                  std::vector<uint8_t>* bytes, int64_t max_bytes) {
  switch (kind) {
    case TableKind::kDiag:
      return ParseAndWrite<DiagTableModel>(text, path, bytes, max_bytes);
    case TableKind::kAct:
      return ParseAndWrite<ActTableModel>(text, path, bytes, max_bytes);
    case TableKind::kTree:
      return ParseAndWrite<TreeTableModel>(text, path, bytes, max_bytes);
  }
  return Status::InvalidArgument(path, "unknown table kind");
}

bool BuildTableFromSource(TableKind kind, std::string_view text, std::string_view file_name,
                          std::vector<uint8_t>* bytes, std::vector<std::string>* errors) {
  const Status status = BuildTable(kind, text, file_name, bytes);
  *errors = MessageLines(status);
  return status.ok();
}

}  // namespace grulo
