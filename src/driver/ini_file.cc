#include "driver/ini_file.h"

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace grulo {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool IsIniBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsIniBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsIniBlank(s.back())) s.remove_suffix(1);
  return s;
}

// The Windows-1252 byte of a Unicode code point, or -1 when it has none.
int Cp1252ByteOf(uint32_t code_point) {
  if (code_point < 0x80 || (code_point >= 0xA0 && code_point <= 0xFF)) {
    return static_cast<int>(code_point);
  }
  struct Special {
    uint16_t code_point;
    uint8_t byte;
  };
  static constexpr Special kSpecials[] = {
      {0x20AC, 0x80}, {0x201A, 0x82}, {0x0192, 0x83}, {0x201E, 0x84}, {0x2026, 0x85},
      {0x2020, 0x86}, {0x2021, 0x87}, {0x02C6, 0x88}, {0x2030, 0x89}, {0x0160, 0x8A},
      {0x2039, 0x8B}, {0x0152, 0x8C}, {0x017D, 0x8E}, {0x2018, 0x91}, {0x2019, 0x92},
      {0x201C, 0x93}, {0x201D, 0x94}, {0x2022, 0x95}, {0x2013, 0x96}, {0x2014, 0x97},
      {0x02DC, 0x98}, {0x2122, 0x99}, {0x0161, 0x9A}, {0x203A, 0x9B}, {0x0153, 0x9C},
      {0x017E, 0x9E}, {0x0178, 0x9F}};
  for (const Special& s : kSpecials) {
    if (s.code_point == code_point) return s.byte;
  }
  return -1;
}

// The Windows-1252 text that `name` spells in UTF-8; false when `name` is not
// valid UTF-8 or holds a character that Windows-1252 lacks.
bool Utf8ToCp1252(std::string_view name, std::string* out) {
  out->clear();
  size_t i = 0;
  while (i < name.size()) {
    unsigned char c = static_cast<unsigned char>(name[i]);
    uint32_t code_point;
    size_t extra;
    if (c < 0x80) {
      code_point = c;
      extra = 0;
    } else if (c >= 0xC2 && c <= 0xDF) {
      code_point = c & 0x1F;
      extra = 1;
    } else if (c >= 0xE0 && c <= 0xEF) {
      code_point = c & 0x0F;
      extra = 2;
    } else {
      return false;  // a continuation byte, an overlong lead or a 4-byte form
    }
    if (name.size() - i <= extra) return false;
    for (size_t k = 1; k <= extra; ++k) {
      unsigned char cc = static_cast<unsigned char>(name[i + k]);
      if ((cc & 0xC0) != 0x80) return false;
      code_point = (code_point << 6) | (cc & 0x3F);
    }
    if (extra == 2 && code_point < 0x800) return false;  // overlong
    int byte = Cp1252ByteOf(code_point);
    if (byte < 0) return false;
    out->push_back(static_cast<char>(byte));
    i += extra + 1;
  }
  return true;
}

// Upper case of a Windows-1252 letter; other bytes unchanged.
char FoldCp1252(char ch) {
  unsigned char c = static_cast<unsigned char>(ch);
  if (c >= 'a' && c <= 'z') return static_cast<char>(c - 0x20);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char>(c - 0x20);
  switch (c) {
    case 0x9A: return '\x8A';  // s with caron
    case 0x9C: return '\x8C';  // oe
    case 0x9E: return '\x8E';  // z with caron
    case 0xFF: return '\x9F';  // y with diaeresis
    default: return ch;
  }
}

std::string CanonicalName(std::string_view name) {
  std::string canonical;
  bool has_high = false;
  for (char c : name) has_high |= static_cast<unsigned char>(c) >= 0x80;
  if (!has_high || !Utf8ToCp1252(name, &canonical)) canonical.assign(name);
  for (char& c : canonical) c = FoldCp1252(c);
  return canonical;
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
  const std::string wanted_section = CanonicalName(section);
  const std::string wanted_key = CanonicalName(key);
  size_t pos = text.substr(0, kUtf8Bom.size()) == kUtf8Bom ? kUtf8Bom.size() : 0;
  bool in_section = false;
  while (pos < text.size()) {
    LineSpan span = LineAt(text, pos);
    pos = span.next;
    ParsedLine line = ParseLine(text.substr(span.begin, span.end - span.begin));
    if (line.kind == kSectionLine) {
      if (in_section) break;  // the first occurrence of the section has ended
      if (CanonicalName(line.name) == wanted_section) {
        where.section_found = true;
        where.last_section_line = span;
        in_section = true;
      }
      continue;
    }
    if (!in_section || line.kind == kBlankLine) continue;
    where.last_section_line = span;
    if (line.kind == kKeyLine && CanonicalName(line.name) == wanted_key) {
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

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

}  // namespace

bool IniNamesEqual(std::string_view a, std::string_view b) {
  return CanonicalName(a) == CanonicalName(b);
}

IniFile::LoadStatus IniFile::Load(const std::string& path) {
  text_.clear();
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return (errno == ENOENT || errno == ENOTDIR) ? kMissing : kUnreadable;
  char block[8192];
  for (;;) {
    ssize_t n = ::read(fd, block, sizeof block);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      text_.clear();
      return kUnreadable;
    }
    if (n == 0) break;
    text_.append(block, static_cast<size_t>(n));
  }
  ::close(fd);
  return kLoaded;
}

std::string IniFile::GetValue(std::string_view section, std::string_view key,
                              std::string_view default_value) const {
  KeyLocation where = Locate(text_, section, key);
  if (!where.key_found) return std::string(default_value);
  std::string_view value = where.value;
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value.substr(0, value.find('\0')));
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

bool ReplaceFileAtomically(const std::string& path, std::string_view text) {
  if (path.empty() || path.find('\0') != std::string::npos) return false;
  std::string target = path;
  struct stat st;
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved != nullptr) {
      target = resolved;
      ::free(resolved);
    }
  }
  bool existed = ::stat(target.c_str(), &st) == 0;
  if (existed && !S_ISREG(st.st_mode)) return false;
  if (!existed && errno != ENOENT) return false;

  size_t slash = target.rfind('/');
  std::string dir = slash == std::string::npos ? "." : target.substr(0, slash == 0 ? 1 : slash);
  std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = dir + "/." + base + "." + std::to_string(::getpid()) + "." +
           std::to_string(attempt) + ".tmp";
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;

  bool ok = true;
  if (existed) {
    if (st.st_uid != ::geteuid() || st.st_gid != ::getegid()) {
      (void)!::fchown(fd, st.st_uid, st.st_gid);  // allowed to fail: keep our own
    }
    ok = ::fchmod(fd, st.st_mode & 07777) == 0;
  }
  ok = ok && WriteAll(fd, text) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  int dir_fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir_fd >= 0) {
    ::fsync(dir_fd);  // makes the rename durable; a failure here loses nothing
    ::close(dir_fd);
  }
  return true;
}

bool WriteIniValues(const std::string& path, std::string_view section,
                    const std::vector<std::pair<std::string, std::string>>& values) {
  IniFile ini;
  if (ini.Load(path) == IniFile::kUnreadable) return false;
  for (const auto& [key, value] : values) ini.SetValue(section, key, value);
  return ReplaceFileAtomically(path, ini.text());
}

}  // namespace grulo
