#include "authoring/source_syntax.h"

#include <cstdio>

#include "text/number_text.h"

namespace grulo {
namespace {

bool IsBlankChar(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// The line without its comment: a '#' at the start of a word begins it.
std::string_view StripComment(std::string_view line) {
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '#' && (i == 0 || IsBlankChar(line[i - 1]))) return line.substr(0, i);
  }
  return line;
}

void AppendWords(std::string_view line, std::vector<std::string_view>* words) {
  size_t i = 0;
  while (i < line.size()) {
    if (IsBlankChar(line[i])) {
      ++i;
      continue;
    }
    if (line[i] == '[' || line[i] == ']') {
      words->push_back(line.substr(i, 1));
      ++i;
      continue;
    }
    size_t j = i;
    while (j < line.size() && !IsBlankChar(line[j]) && line[j] != '[' && line[j] != ']') ++j;
    words->push_back(line.substr(i, j - i));
    i = j;
  }
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Hex words (pairs of hex digits) into bytes.
bool ParseHexWords(const std::vector<std::string_view>& words, size_t first,
                   std::vector<uint8_t>* bytes) {
  bytes->clear();
  for (size_t w = first; w < words.size(); ++w) {
    std::string_view word = words[w];
    if (word.size() % 2 != 0) return false;
    for (size_t i = 0; i < word.size(); i += 2) {
      int hi = HexValue(word[i]);
      int lo = HexValue(word[i + 1]);
      if (hi < 0 || lo < 0) return false;
      bytes->push_back(static_cast<uint8_t>(hi * 16 + lo));
    }
  }
  return true;
}

// A version word: its characters, "\xHH" for any byte and "\\" for a
// backslash.
bool ParseVersionWord(std::string_view word, std::string* version) {
  version->clear();
  for (size_t i = 0; i < word.size(); ++i) {
    if (word[i] != '\\') {
      version->push_back(word[i]);
      continue;
    }
    if (i + 1 < word.size() && word[i + 1] == '\\') {
      version->push_back('\\');
      ++i;
    } else if (i + 3 < word.size() && word[i + 1] == 'x' && HexValue(word[i + 2]) >= 0 &&
               HexValue(word[i + 3]) >= 0) {
      version->push_back(static_cast<char>(HexValue(word[i + 2]) * 16 + HexValue(word[i + 3])));
      i += 3;
    } else {
      return false;
    }
  }
  return version->size() <= 2;
}

std::string VersionWord(std::string_view version) {
  std::string v(version);
  while (!v.empty() && v.back() == '\0') v.pop_back();
  if (v.empty()) return "\\x00";
  std::string word;
  for (char c : v) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u <= ' ' || u >= 0x7F || c == '#' || c == '\\' || c == '[' || c == ']') {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", u);
      word += hex;
    } else {
      word.push_back(c);
    }
  }
  return word;
}

std::string Quote(std::string_view word) {
  std::string quoted(1, '\'');
  quoted.append(word);
  quoted.push_back('\'');
  return quoted;
}

}  // namespace

std::vector<SourceLine> SplitSource(std::string_view text) {
  std::vector<SourceLine> lines;
  int number = 0;
  bool continued = false;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view raw = text.substr(at, end - at);
    at = end + 1;
    ++number;
    std::string_view line = StripComment(raw);
    while (!line.empty() && IsBlankChar(line.back())) line.remove_suffix(1);
    const bool continues = !line.empty() && line.back() == '\\';
    if (continues) line.remove_suffix(1);
    if (!continued) lines.push_back(SourceLine{number, {}});
    AppendWords(line, &lines.back().words);
    continued = continues;
  }
  std::vector<SourceLine> kept;
  for (SourceLine& l : lines) {
    if (!l.words.empty()) kept.push_back(std::move(l));
  }
  return kept;
}

void SourceErrors::Add(int line, std::string_view what) {
  ++count_;
  if (count_ > kMaxSourceErrors + 1) return;
  if (!lines_.empty()) lines_ += '\n';
  if (count_ == kMaxSourceErrors + 1) {
    lines_ += Status::InvalidArgument(path_, "too many errors, the rest are not shown").message();
  } else {
    lines_ += Status::AtLine(path_, line, what).message();
  }
}

Status SourceErrors::ToStatus() const {
  return count_ == 0 ? Status() : Status::InvalidArgument("", lines_);
}

std::vector<std::string> MessageLines(const Status& status) {
  std::vector<std::string> lines;
  const std::string& message = status.message();
  size_t at = 0;
  while (at < message.size()) {
    size_t end = message.find('\n', at);
    if (end == std::string::npos) end = message.size();
    lines.push_back(message.substr(at, end - at));
    at = end + 1;
  }
  return lines;
}

bool ParseNumberWord(std::string_view word, long min, long max, long* value) {
  bool negative = false;
  if (!word.empty() && word[0] == '-') {
    negative = true;
    word.remove_prefix(1);
  }
  int base = 10;
  if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) {
    base = 16;
    word.remove_prefix(2);
  }
  if (word.empty() || word.size() > 12) return false;
  long v = 0;
  for (char c : word) {
    int d = base == 16 ? HexValue(c) : (IsDigit(c) ? c - '0' : -1);
    if (d < 0) return false;
    v = v * base + d;
  }
  if (negative) v = -v;
  if (v < min || v > max) return false;
  *value = v;
  return true;
}

bool ParseCommonDirective(const SourceLine& line, int descriptor_count, std::string* version,
                          bool* version_seen, TableLayout* layout, SourceErrors* errors) {
  const std::vector<std::string_view>& w = line.words;
  const std::string_view key = w[0];
  if (key == "version") {
    if (*version_seen) errors->Add(line.number, "a second version line");
    *version_seen = true;
    if (w.size() != 2 || !ParseVersionWord(w[1], version)) {
      errors->Add(line.number, "expected 'version' and up to two characters (\\xHH for any byte)");
    }
    return true;
  }
  if (key == "header" || key == "trailer") {
    std::vector<uint8_t>& bytes = key == "header" ? layout->header : layout->trailer;
    if (!ParseHexWords(w, 1, &bytes)) {
      errors->Add(line.number, "expected hexadecimal bytes after " + Quote(key));
    } else if (key == "header" && bytes.size() != 32) {
      errors->Add(line.number, "the header has 32 bytes, not " + std::to_string(bytes.size()));
    }
    return true;
  }
  if (key == "descriptor") {
    long n = 0;
    if (w.size() < 2 || !ParseNumberWord(w[1], 1, descriptor_count, &n)) {
      errors->Add(line.number, "expected the descriptor number (1 to " +
                                   std::to_string(descriptor_count) + ") after 'descriptor'");
      return true;
    }
    std::vector<uint8_t>& bytes = layout->descriptors[n - 1];
    if (!ParseHexWords(w, 2, &bytes)) {
      errors->Add(line.number,
                  "expected hexadecimal bytes after 'descriptor " + std::to_string(n) + "'");
    } else if (bytes.size() != 32) {
      errors->Add(line.number, "a descriptor has 32 bytes, not " + std::to_string(bytes.size()));
    }
    return true;
  }
  return false;
}

std::string HexWords(const std::vector<uint8_t>& bytes) {
  std::string text;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (i > 0 && i % 8 == 0) text += ' ';
    char hex[4];
    std::snprintf(hex, sizeof hex, "%02x", bytes[i]);
    text += hex;
  }
  return text;
}

std::string PrintCommonDirectives(std::string_view version, const TableLayout& layout) {
  std::string text = "version " + VersionWord(version) + "\n";
  if (!layout.header.empty()) text += "header " + HexWords(layout.header) + "\n";
  for (size_t i = 0; i < layout.descriptors.size(); ++i) {
    if (layout.descriptors[i].empty()) continue;
    text += "descriptor " + std::to_string(i + 1) + " " + HexWords(layout.descriptors[i]) + "\n";
  }
  if (!layout.trailer.empty()) text += "trailer " + HexWords(layout.trailer) + "\n";
  return text;
}

}  // namespace grulo
