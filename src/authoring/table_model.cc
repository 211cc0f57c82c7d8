#include "authoring/table_model.h"

#include <utility>

#include "authoring/code_text.h"

namespace grulo {

bool AddDiagCode(DiagTableModel* model, std::string_view code, uint8_t position_bits,
                 std::vector<uint8_t> attributes) {
  DiagEntry entry;
  if (!ParseDiagCode(code, &entry.prefix, &entry.suffix_number)) return false;
  entry.record.position_bits = position_bits;
  entry.record.attributes = std::move(attributes);
  model->entries.push_back(std::move(entry));
  return true;
}

bool AddActCode(ActTableModel* model, std::string_view code, uint8_t act_class) {
  ActEntry entry;
  if (!ParseActCode(code, &entry.prefix, &entry.letter, &entry.number)) return false;
  entry.act_class = act_class;
  model->entries.push_back(entry);
  return true;
}

}  // namespace grulo
