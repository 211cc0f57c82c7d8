#include "config/ini_file.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "text/cp1252_names.h"
#include "platform/file_read.h"
#include "text/cp1252_utf16.h"

namespace grulo {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";
constexpr char kDosEndOfFile = '\x1A';

// The DOS end-of-file byte counts as a blank, as the Windows calls take it.
bool IsIniBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f' || c == kDosEndOfFile;
}

bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }

// Where the text's closing DOS end-of-file mark starts: the first 0x1A from
// which on the text holds only blanks and line ends; npos when there is none.
size_t EndOfFileMark(std::string_view text) {
  size_t mark = std::string_view::npos;
  for (size_t i = text.size(); i > 0; --i) {
    const char c = text[i - 1];
    if (c == kDosEndOfFile) {
      mark = i - 1;
    } else if (!IsIniBlank(c) && !IsLineEnd(c)) {
      break;
    }
  }
  return mark;
}

// The characters of a UTF-16 text after its byte order mark, in the given
// byte order; an odd last byte is dropped.
std::u16string Utf16Units(std::string_view bytes, bool big_endian) {
  std::u16string units;
  units.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto first = static_cast<uint8_t>(bytes[i]);
    const auto second = static_cast<uint8_t>(bytes[i + 1]);
    units += static_cast<char16_t>(big_endian ? (first << 8) | second : (second << 8) | first);
  }
  return units;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsIniBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsIniBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Where the first line starts: after a byte order mark, if any.
size_t StartOfLines(std::string_view text) {
  return text.substr(0, kUtf8Bom.size()) == kUtf8Bom ? kUtf8Bom.size() : 0;
}

// One line of the text: its content is [begin, end), without its line end
// (a line feed, a carriage return and a line feed, or a carriage return
// alone); the next line starts at `next` (end of text for the last line).
struct LineSpan {
  size_t begin;
  size_t end;
  size_t next;
};

// Returns the line starting at `pos`, which must be below text.size().
LineSpan LineAt(std::string_view text, size_t pos) {
  size_t end = text.find_first_of("\r\n", pos);
  if (end == std::string_view::npos) return {pos, text.size(), text.size()};
  if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') {
    return {pos, end, end + 2};
  }
  return {pos, end, end + 1};
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
  LineSpan first = LineAt(text, 0);
  if (first.end == text.size()) return "\r\n";
  return text.substr(first.end, first.next - first.end);
}

// True when the text's last line holds only blanks.
bool EndsWithBlankLine(std::string_view text) {
  if (text.empty() || !IsLineEnd(text.back())) return false;
  text.remove_suffix(text.ends_with("\r\n") ? 2 : 1);
  size_t end = text.find_last_of("\r\n");
  std::string_view last = end == std::string_view::npos ? text : text.substr(end + 1);
  return Trim(last).empty();
}

}  // namespace

IniFile::IniFile(std::string bytes) { Decode(std::move(bytes)); }

Status IniFile::Load(const std::string& path) {
  std::string bytes;
  Status status = ReadWholeFile(path, ReadRules{.regular_only = false}, &bytes);
  Decode(std::move(bytes));
  return status;
}

void IniFile::Decode(std::string bytes) {
  const std::string_view view = bytes;
  encoding_ = view.starts_with(kUtf16LeBom)   ? kUtf16LittleEndian
              : view.starts_with(kUtf16BeBom) ? kUtf16BigEndian
                                              : kSingleByte;
  if (encoding_ == kSingleByte) {
    text_ = std::move(bytes);
    return;
  }
  text_ = Utf16ToCp1252(Utf16Units(view.substr(2), encoding_ == kUtf16BigEndian));
}

std::string IniFile::FileBytes() const {
  if (encoding_ == kSingleByte) return text_;
  const bool big_endian = encoding_ == kUtf16BigEndian;
  std::string bytes(big_endian ? kUtf16BeBom : kUtf16LeBom);
  for (char16_t unit : Cp1252ToUtf16(text_)) {
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    bytes += big_endian ? high : low;
    bytes += big_endian ? low : high;
  }
  return bytes;
}

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
  // Nothing goes after a closing DOS end-of-file mark, where a reader that
  // stops at it would never see it: the mark is set aside and put back last.
  const size_t mark = EndOfFileMark(text_);
  std::string closing;
  if (mark != std::string::npos) {
    closing = text_.substr(mark);
    text_.resize(mark);
  }
  SetValueBeforeMark(section, key, value);
  text_ += closing;
}

void IniFile::SetValueBeforeMark(std::string_view section, std::string_view key,
                                 std::string_view value) {
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
  if (!text_.empty() && !IsLineEnd(text_.back())) added += eol;
  if (!text_.empty() && !EndsWithBlankLine(text_ + added)) added += eol;
  added.append("[").append(section).append("]").append(eol);
  added.append(key).append("=").append(value).append(eol);
  text_ += added;
}

}  // namespace grulo
