#include "authoring/table_source.h"

#include <cstdio>
#include <map>

#include "authoring/code_text.h"

namespace grulo {
namespace {

std::string Quote(std::string_view word) {
  std::string quoted(1, '\'');
  quoted.append(word);
  quoted.push_back('\'');
  return quoted;
}

// The position flags and attribute bytes of a record from `words[first]` on.
bool ParseRecordWords(const SourceLine& line, size_t first, DiagRecord* record,
                      SourceErrors* errors) {
  const std::vector<std::string_view>& w = line.words;
  if (w.size() < first + 2) {
    errors->Add(line.number, "expected the position flags and the category after " + Quote(w[0]));
    return false;
  }
  long value = 0;
  if (!ParseNumberWord(w[first], 0, 255, &value)) {
    errors->Add(line.number, "position flags " + Quote(w[first]) + " are not a number 0..255");
    return false;
  }
  record->position_bits = static_cast<uint8_t>(value);
  record->attributes.clear();
  for (size_t i = first + 1; i < w.size(); ++i) {
    if (!ParseNumberWord(w[i], 0, 255, &value)) {
      errors->Add(line.number, "attribute byte " + Quote(w[i]) + " is not a number 0..255");
      return false;
    }
    record->attributes.push_back(static_cast<uint8_t>(value));
  }
  return true;
}

std::string RecordText(const DiagRecord& record) {
  char position[8];
  std::snprintf(position, sizeof position, "0x%02X", record.position_bits);
  std::string text = position;
  size_t count = record.attributes.size();
  while (count > 1 && record.attributes[count - 1] == 0) --count;
  if (count == 0) text += "  0";
  for (size_t i = 0; i < count; ++i) {
    text += i == 0 ? "  " : " ";
    text += std::to_string(record.attributes[i]);
  }
  return text;
}

std::string PadRight(std::string text, size_t width) {
  if (text.size() < width) text.resize(width, ' ');
  return text;
}

}  // namespace

// ---------------------------------------------------------------------------
// Diagnosis source.

Status ParseSource(std::string_view text, std::string_view path, DiagTableModel* model) {
  *model = DiagTableModel();
  SourceErrors errors(path);
  bool version_seen = false;
  std::vector<int> entry_lines;
  std::map<int, int> record_lines;
  int record_size_line = 0;
  for (const SourceLine& line : SplitSource(text)) {
    const std::vector<std::string_view>& w = line.words;
    if (ParseCommonDirective(line, 2, &model->version, &version_seen, &model->layout, &errors)) {
      continue;
    }
    long value = 0;
    if (w[0] == "record-size" || w[0] == "result-size") {
      if (w.size() != 2 || !ParseNumberWord(w[1], 0, 255, &value)) {
        errors.Add(line.number, "expected " + Quote(w[0]) + " and a number 0..255");
      } else if (w[0] == "record-size") {
        model->record_size = static_cast<int>(value);
        record_size_line = line.number;
      } else {
        model->result_size = static_cast<int>(value);
      }
      continue;
    }
    if (w[0] == "record") {
      if (w.size() < 2 || !ParseNumberWord(w[1], 0, 65535, &value)) {
        errors.Add(line.number, "expected 'record', a record number 0..65535 and the record");
        continue;
      }
      DiagRecord record;
      if (!ParseRecordWords(line, 2, &record, &errors)) continue;
      const int number = static_cast<int>(value);
      if (!record_lines.emplace(number, line.number).second) {
        errors.Add(line.number, "record " + std::to_string(number) + " is already given on line " +
                                    std::to_string(record_lines[number]));
        continue;
      }
      model->records[number] = std::move(record);
      continue;
    }
    DiagEntry entry;
    if (!ParseDiagCode(w[0], &entry.prefix, &entry.suffix_number)) {
      errors.Add(line.number, Quote(w[0]) +
                                  " is neither a directive nor a diagnosis code (an upper-case "
                                  "letter, two digits, up to three of digit, '+', '_')");
      continue;
    }
    if (w.size() == 2 && w[1].size() > 1 && w[1][0] == '=') {
      if (!ParseNumberWord(w[1].substr(1), 0, 65535, &value)) {
        errors.Add(line.number, "record number " + Quote(w[1].substr(1)) + " is not 0..65535");
        continue;
      }
      entry.record_number = static_cast<int>(value);
    } else if (!ParseRecordWords(line, 1, &entry.record, &errors)) {
      continue;
    }
    model->entries.push_back(std::move(entry));
    entry_lines.push_back(line.number);
  }
  if (!version_seen) errors.Add(1, "no 'version' line");

  // Record sizes are known only now.
  const size_t room = model->record_size > 0 ? static_cast<size_t>(model->record_size - 1) : 0;
  auto too_long = [&](const DiagRecord& r) {
    return model->record_size == 0 || r.attributes.size() > room;
  };
  const std::string size_note =
      "more attribute bytes than the record size " + std::to_string(model->record_size) +
      (record_size_line > 0 ? "" : " (the default)") + " holds (" + std::to_string(room) + ")";
  for (size_t i = 0; i < model->entries.size(); ++i) {
    const DiagEntry& e = model->entries[i];
    if (e.record_number < 0 && too_long(e.record)) errors.Add(entry_lines[i], size_note);
  }
  for (const auto& [number, record] : model->records) {
    if (too_long(record)) errors.Add(record_lines[number], size_note);
  }
  return errors.ToStatus();
}

std::string PrintDiagSource(const DiagTableModel& model) {
  std::string text = "# Diagnosis table (diag10sr.tab).\n";
  text += PrintCommonDirectives(model.version, model.layout);
  text += "result-size " + std::to_string(model.result_size) + "\n";
  text += "record-size " + std::to_string(model.record_size) + "\n";
  if (!model.records.empty()) {
    text += "# record  number  position  category  attribute bytes\n";
    for (const auto& [number, record] : model.records) {
      text += "record " + PadRight(std::to_string(number), 6) + RecordText(record) + "\n";
    }
  }
  text += "# code    position  category  attribute bytes (or =record)\n";
  for (const DiagEntry& e : model.entries) {
    std::string line = PadRight(DiagCodeText(e.prefix, e.suffix_number), 10);
    if (e.record_number >= 0) {
      line += '=';
      line += std::to_string(e.record_number);
    } else {
      line += RecordText(e.record);
    }
    text += line + "\n";
  }
  return text;
}

// ---------------------------------------------------------------------------
// Act source.

Status ParseSource(std::string_view text, std::string_view path, ActTableModel* model) {
  *model = ActTableModel();
  SourceErrors errors(path);
  bool version_seen = false;
  for (const SourceLine& line : SplitSource(text)) {
    const std::vector<std::string_view>& w = line.words;
    if (ParseCommonDirective(line, 1, &model->version, &version_seen, &model->layout, &errors)) {
      continue;
    }
    long value = 0;
    if (w[0] == "entry-size") {
      if (w.size() != 2 || !ParseNumberWord(w[1], 0, 255, &value)) {
        errors.Add(line.number, "expected 'entry-size' and a number 0..255");
      } else {
        model->entry_size = static_cast<int>(value);
      }
      continue;
    }
    ActEntry entry;
    if (!ParseActCode(w[0], &entry.prefix, &entry.letter, &entry.number)) {
      errors.Add(line.number, Quote(w[0]) +
                                  " is neither a directive nor an act code (four upper-case "
                                  "letters and four digits)");
      continue;
    }
    if (w.size() != 2 || !ParseNumberWord(w[1], 0, 255, &value)) {
      errors.Add(line.number, "expected the act code and its class, a number 0..255");
      continue;
    }
    entry.act_class = static_cast<uint8_t>(value);
    model->entries.push_back(entry);
  }
  if (!version_seen) errors.Add(1, "no 'version' line");
  return errors.ToStatus();
}

std::string PrintActSource(const ActTableModel& model) {
  std::string text = "# Act table (ccamcssr.tab).\n";
  text += PrintCommonDirectives(model.version, model.layout);
  text += "entry-size " + std::to_string(model.entry_size) + "\n";
  text += "# code     class\n";
  for (const ActEntry& e : model.entries) {
    text += PadRight(ActCodeText(e.prefix, e.letter, e.number), 11) + std::to_string(e.act_class) +
            "\n";
  }
  return text;
}

// ---------------------------------------------------------------------------
// Forms with a bool and texts.

bool ParseDiagSource(std::string_view text, std::string_view file_name, DiagTableModel* model,
                     std::vector<std::string>* errors) {
  const Status status = ParseSource(text, file_name, model);
  *errors = MessageLines(status);
  return status.ok();
}

bool ParseActSource(std::string_view text, std::string_view file_name, ActTableModel* model,
                    std::vector<std::string>* errors) {
  const Status status = ParseSource(text, file_name, model);
  *errors = MessageLines(status);
  return status.ok();
}

}  // namespace grulo
