#include "driver/ini_file.h"

#include <optional>
#include <string>
#include <vector>

#include "driver/cp1252_names.h"
#include "platform/files.h"

namespace grulo {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool IsIniBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsIniBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsIniBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Where the first line starts: after a byte order mark, if any.
size_t StartOfLines(std::string_view text) {
  return text.substr(0, kUtf8Bom.size()) == kUtf8Bom ? kUtf8Bom.size() : 0;
}

// One line of the text: its content is [begin, end), without the line feed
// and without a carriage return right before it; the next line starts at
// `next` (end of text for the last line).
struct LineSpan {
  size_t begin;
  size_t end;
  size_t next;
};

// Returns the line starting at `pos`, which must be below text.size().
LineSpan LineAt(std::string_view text, size_t pos) {
  size_t lf = text.find('\n', pos);
  if (lf == std::string_view::npos) return {pos, text.size(), text.size()};
  size_t end = (lf > pos && text[lf - 1] == '\r') ? lf - 1 : lf;
  return {pos, end, lf + 1};
}

enum LineKind { kBlankLine, kCommentLine, kSectionLine, kKeyLine };

struct ParsedLine {
  LineKind kind;
  std::string_view name;   // section or key name, trimmed
  std::string_view value;  // key value, trimmed, quotes still on
};

ParsedLine ParseLine(std::string_view content) {
  std::string_view line = Trim(content);
  if (line.empty()) return {kBlankLine, {}, {}};
  if (line.front() == ';') return {kCommentLine, {}, {}};
  if (line.front() == '[') {
    size_t close = line.rfind(']');
    if (close != std::string_view::npos) {
      return {kSectionLine, Trim(line.substr(1, close - 1)), {}};
    }
  }
  size_t eq = line.find('=');
  if (eq == std::string_view::npos) return {kKeyLine, line, {}};
  return {kKeyLine, Trim(line.substr(0, eq)), Trim(line.substr(eq + 1))};
}

// Where a key stands, or where it would go.
struct KeyLocation {
  bool section_found = false;
  bool key_found = false;
  LineSpan key_line{};           // when key_found
  std::string_view key_name;     // the key's spelling in the file
  std::string_view value;        // when key_found
  LineSpan last_section_line{};  // last non-blank line of the section
};

KeyLocation Locate(std::string_view text, std::string_view section, std::string_view key) {
  KeyLocation where;
  const std::string wanted_section = FoldedName(section);
  const std::string wanted_key = FoldedName(key);
  size_t pos = StartOfLines(text);
  bool in_section = false;
  while (pos < text.size()) {
    LineSpan span = LineAt(text, pos);
    pos = span.next;
    ParsedLine line = ParseLine(text.substr(span.begin, span.end - span.begin));
    if (line.kind == kSectionLine) {
      if (in_section) break;  // the first occurrence of the section has ended
      if (FoldedName(line.name) == wanted_section) {
        where.section_found = true;
        where.last_section_line = span;
        in_section = true;
      }
      continue;
    }
    if (!in_section || line.kind == kBlankLine) continue;
    where.last_section_line = span;
    if (line.kind == kKeyLine && FoldedName(line.name) == wanted_key) {
      where.key_found = true;
      where.key_line = span;
      where.key_name = line.name;
      where.value = line.value;
      break;
    }
  }
  return where;
}

std::string_view LineEnding(std::string_view text) {
  size_t lf = text.find('\n');
  if (lf != std::string_view::npos && lf > 0 && text[lf - 1] == '\r') return "\r\n";
  if (lf != std::string_view::npos) return "\n";
  return "\r\n";
}

// True when the text's last line holds only blanks.
bool EndsWithBlankLine(std::string_view text) {
  if (text.empty() || text.back() != '\n') return false;
  text.remove_suffix(1);
  size_t lf = text.rfind('\n');
  std::string_view last = lf == std::string_view::npos ? text : text.substr(lf + 1);
  return Trim(last).empty();
}

}  // namespace

Status IniFile::Load(const std::string& path) { return ReadWholeFile(path, &text_); }

std::optional<std::string> IniFile::FindValue(std::string_view section,
                                              std::string_view key) const {
  KeyLocation where = Locate(text_, section, key);
  if (!where.key_found) return std::nullopt;
  std::string_view value = where.value;
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value.substr(0, value.find('\0')));
}

std::string IniFile::GetValue(std::string_view section, std::string_view key,
                              std::string_view default_value) const {
  std::optional<std::string> value = FindValue(section, key);
  return value ? *value : std::string(default_value);
}

bool IniFile::HasSection(std::string_view section) const {
  return Locate(text_, section, {}).section_found;
}

std::vector<std::string> IniFile::SectionNames() const {
  std::vector<std::string> names;
  size_t pos = StartOfLines(text_);
  while (pos < text_.size()) {
    LineSpan span = LineAt(text_, pos);
    pos = span.next;
    ParsedLine line = ParseLine(std::string_view(text_).substr(span.begin, span.end - span.begin));
    if (line.kind == kSectionLine) names.emplace_back(line.name);
  }
  return names;
}

void IniFile::SetValue(std::string_view section, std::string_view key, std::string_view value) {
  const std::string eol(LineEnding(text_));
  KeyLocation where = Locate(text_, section, key);
  if (where.key_found) {
    std::string line(where.key_name);
    line += '=';
    line += value;
    text_.replace(where.key_line.begin, where.key_line.end - where.key_line.begin, line);
    return;
  }
  std::string added;
  if (where.section_found) {
    const LineSpan& last = where.last_section_line;
    if (last.next == last.end) added += eol;  // the last line has no line feed
    added.append(key).append("=").append(value).append(eol);
    text_.insert(last.next, added);
    return;
  }
  if (!text_.empty() && text_.back() != '\n') added += eol;
  if (!text_.empty() && !EndsWithBlankLine(text_ + added)) added += eol;
  added.append("[").append(section).append("]").append(eol);
  added.append(key).append("=").append(value).append(eol);
  text_ += added;
}

}  // namespace grulo
