// The configuration file's reader and rewriter on arbitrary text: the four
// counters are written the way a run writes them, then they must read back,
// every other value of the file must read as before, no section may appear
// or vanish but the one written, and writing the same values again must
// change nothing.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/cp1252_names.h"
#include "config/ini_file.h"
#include "fuzz/fuzz_support.h"

namespace {

constexpr std::string_view kCounterKeys[] = {"NbLus", "NbErrBloq", "NbErrNonBloq", "NbErrForm"};

// Spellings of the results section that a run or an operator may use, and
// other sections.
std::string SectionSpelling(uint8_t choice) {
  switch (choice % 6) {
    case 0:
      return "R\xE9sultats";
    case 1:
      return grulo::Cp1252ToUtf8("R\xE9sultats");
    case 2:
      return "r\xC9SULTATS";
    case 3:
      return "G\xE9n\xE9ral";
    case 4:
      return "Compteurs";
  }
  return "x";
}

// The names before the first '=' of every line: the keys worth comparing.
std::vector<std::string> KeyCandidates(std::string_view text) {
  std::vector<std::string> keys;
  size_t pos = 0;
  while (pos < text.size() && keys.size() < 32) {
    size_t lf = text.find('\n', pos);
    std::string_view line = text.substr(pos, lf == std::string_view::npos ? text.npos : lf - pos);
    size_t eq = line.find('=');
    if (eq != std::string_view::npos) {
      std::string_view key = line.substr(0, eq);
      while (!key.empty() && (key.front() == ' ' || key.front() == '\t')) key.remove_prefix(1);
      while (!key.empty() && (key.back() == ' ' || key.back() == '\t')) key.remove_suffix(1);
      keys.emplace_back(key);
    }
    if (lf == std::string_view::npos) break;
    pos = lf + 1;
  }
  return keys;
}

bool IsCounterKey(std::string_view key) {
  for (std::string_view counter : kCounterKeys) {
    if (grulo::IniNamesEqual(key, counter)) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace grulo;
  if (size < 9 || size > 4096) return 0;
  const std::string section = SectionSpelling(data[0]);
  std::string values[4];
  for (int i = 0; i < 4; ++i) {
    values[i] = std::to_string(data[1 + 2 * i] * 256 + data[2 + 2 * i]);
  }
  const IniFile before(std::string(reinterpret_cast<const char*>(data) + 9, size - 9));

  IniFile after = before;
  for (int i = 0; i < 4; ++i) after.SetValue(section, kCounterKeys[i], values[i]);

  for (int i = 0; i < 4; ++i) {
    fuzz::Require(after.GetValue(section, kCounterKeys[i], "none") == values[i],
                  "a written counter reads back");
  }

  const std::vector<std::string> sections_before = before.SectionNames();
  const std::vector<std::string> sections_after = after.SectionNames();
  fuzz::Require(sections_after.size() == sections_before.size() ||
                    (sections_after.size() == sections_before.size() + 1 &&
                     !before.HasSection(section) && IniNamesEqual(sections_after.back(), section)),
                "only the written section may be added");
  for (size_t i = 0; i < sections_before.size(); ++i) {
    fuzz::Require(sections_after[i] == sections_before[i], "every section line is kept");
  }

  const std::vector<std::string> keys = KeyCandidates(before.text());
  size_t compared = 0;
  for (const std::string& s : sections_before) {
    if (++compared > 16) break;
    for (const std::string& key : keys) {
      if (IniNamesEqual(s, section) && IsCounterKey(key)) continue;
      fuzz::Require(before.FindValue(s, key) == after.FindValue(s, key),
                    "every other value is kept");
    }
  }

  IniFile again = after;
  for (int i = 0; i < 4; ++i) again.SetValue(section, kCounterKeys[i], values[i]);
  fuzz::Require(again.text() == after.text(), "writing the same values changes nothing");
  return 0;
}
