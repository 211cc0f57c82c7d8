#include "authoring/table_build.h"

#include "authoring/table_source.h"
#include "authoring/table_writer.h"
#include "authoring/tree_source.h"

namespace grulo {

bool BuildTableFromSource(TableKind kind, std::string_view text, std::string_view file_name,
                          std::vector<uint8_t>* bytes, std::vector<std::string>* errors) {
  std::string error;
  bool ok = false;
  switch (kind) {
    case TableKind::kDiag: {
      DiagTableModel model;
      if (!ParseDiagSource(text, file_name, &model, errors)) return false;
      ok = WriteDiagTable(model, bytes, &error);
      break;
    }
    case TableKind::kAct: {
      ActTableModel model;
      if (!ParseActSource(text, file_name, &model, errors)) return false;
      ok = WriteActTable(model, bytes, &error);
      break;
    }
    case TableKind::kTree: {
      TreeTableModel model;
      if (!ParseTreeSource(text, file_name, &model, errors)) return false;
      ok = WriteTreeTable(model, bytes, &error);
      break;
    }
  }
  if (!ok) errors->assign(1, std::string(file_name) + ": " + error);
  return ok;
}

}  // namespace grulo
