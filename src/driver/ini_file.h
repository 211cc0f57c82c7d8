// The configuration file: an INI text of "[section]" lines, each followed by
// its "key=value" lines, read and written the way the private-profile
// functions of the original platform do.
//
// Reading rules:
// - Lines end at a line feed; blanks (space, tab, CR, VT, FF) around section
//   names, keys and values are ignored. A line whose first non-blank
//   character is ';' is a comment. Lines before the first section belong to
//   no section.
// - A section line starts with '[' and ends its name at the last ']' of the
//   line; a line starting with '[' without any ']' is no section line.
// - A key line is split at its first '='; a line without '=' is a key with an
//   empty value.
// - A value loses one pair of surrounding quotes (both '"' or both '\''), and
//   ends at its first NUL byte. Values have no length limit.
// - Section and key names compare without regard to case, Windows-1252
//   letters included, and a name spelled in UTF-8 equals its Windows-1252
//   spelling ("G\xC3\xA9n\xC3\xA9ral" is "G\xE9n\xE9ral").
// - When a section occurs twice, only its first occurrence is searched; when
//   a key occurs twice in it, its first occurrence wins. Writing follows the
//   same rule, so what is written is what is read back.
// - A UTF-8 byte order mark at the start of the file is skipped.

#ifndef GRULO_DRIVER_INI_FILE_H_
#define GRULO_DRIVER_INI_FILE_H_

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace grulo {

// True when two section or key names are the same name: equal after case
// folding (ASCII and Windows-1252 letters), a valid UTF-8 spelling being read
// as the Windows-1252 text it stands for.
bool IniNamesEqual(std::string_view a, std::string_view b);

class IniFile {
 public:
  enum LoadStatus { kLoaded, kMissing, kUnreadable };

  IniFile() = default;
  explicit IniFile(std::string text) : text_(std::move(text)) {}

  // Reads the whole file. A missing file (kMissing) or one that cannot be
  // read (kUnreadable) leaves the text empty.
  LoadStatus Load(const std::string& path);

  // The value of `key` in `section`, or `default_value` when the section or
  // the key is missing.
  std::string GetValue(std::string_view section, std::string_view key,
                       std::string_view default_value) const;

  // Sets `key` of `section` to `value` ("key=value"): an existing key line is
  // replaced (keeping the key's spelling), a missing key is added after the
  // last line of its section, a missing section is added at the end of the
  // text. Every other line stays as it was. New lines take the text's line
  // ending (that of its first line; CR LF when it has none). The value must
  // not hold a line feed.
  void SetValue(std::string_view section, std::string_view key, std::string_view value);

  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

// Replaces the file at `path` by `text` so that a crash leaves either the old
// or the new file: the text is written to a temporary file in the same
// directory, synced, and renamed over the file. An existing file keeps its
// permission bits (and, where allowed, its owner); a symbolic link is
// followed and its target replaced. False on any failure, the old file then
// being left as it was.
bool ReplaceFileAtomically(const std::string& path, std::string_view text);

// Writes the keys of one section into the configuration file: loads it (a
// missing file starts empty), sets every key in order, and replaces the file
// atomically. False when the file exists but cannot be read, or cannot be
// replaced.
bool WriteIniValues(const std::string& path, std::string_view section,
                    const std::vector<std::pair<std::string, std::string>>& values);

}  // namespace grulo

#endif  // GRULO_DRIVER_INI_FILE_H_
