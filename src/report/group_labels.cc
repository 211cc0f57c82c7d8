#include "report/group_labels.h"

#include <charconv>
#include <vector>

namespace grulo {
namespace {

// The fields of one row; false on a quote that is not closed, or a closing
// quote followed by anything but a comma.
bool SplitRow(std::string_view row, std::vector<std::string>* fields) {
  fields->clear();
  size_t i = 0;
  while (true) {
    std::string field;
    if (i < row.size() && row[i] == '"') {
      ++i;
      while (true) {
        if (i >= row.size()) return false;
        if (row[i] == '"') {
          if (i + 1 < row.size() && row[i + 1] == '"') {
            field += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        field += row[i++];
      }
      if (i < row.size() && row[i] != ',') return false;
    } else {
      const size_t comma = row.find(',', i);
      const size_t end = comma == std::string_view::npos ? row.size() : comma;
      field = std::string(row.substr(i, end - i));
      i = end;
    }
    fields->push_back(std::move(field));
    if (i >= row.size()) return true;
    ++i;  // the comma
  }
}

bool ParseNumber(std::string_view text, int16_t* value) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  const char* end = text.data() + text.size();
  const auto [at, error] = std::from_chars(text.data(), end, *value);
  return !text.empty() && error == std::errc() && at == end;
}

}  // namespace

Status ParseGroupLabels(std::string_view path, std::string_view csv, GroupLabels* labels) {
  labels->clear();
  std::vector<std::string> fields;
  int row_number = 0;
  size_t start = 0;
  while (start < csv.size()) {
    size_t end = csv.find('\n', start);
    if (end == std::string_view::npos) end = csv.size();
    std::string_view row = csv.substr(start, end - start);
    start = end + 1;
    ++row_number;
    if (!row.empty() && row.back() == '\r') row.remove_suffix(1);
    if (row_number == 1 && row.starts_with("\xEF\xBB\xBF")) row.remove_prefix(3);
    if (row.find_first_not_of(" \t") == std::string_view::npos) continue;
    if (row_number == 1 && row == "category,number,label") continue;
    if (!SplitRow(row, &fields)) {
      return Status::AtLine(path, row_number, "a quote is not closed where the field ends");
    }
    if (fields.size() != 3) {
      return Status::AtLine(path, row_number,
                            std::to_string(fields.size()) +
                                " fields, where a row has three: category,number,label");
    }
    std::pair<int16_t, int16_t> group;
    if (!ParseNumber(fields[0], &group.first) || !ParseNumber(fields[1], &group.second)) {
      return Status::AtLine(path, row_number,
                            "the category and the number are integers from -32768 to 32767");
    }
    if (!labels->emplace(group, fields[2]).second) {
      return Status::AtLine(path, row_number, "this group has a label already");
    }
  }
  return Status();
}

}  // namespace grulo
