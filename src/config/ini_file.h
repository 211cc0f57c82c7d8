// The configuration file: an INI text of "[section]" lines, each followed by
// its "key=value" lines, read and written the way the private-profile
// functions of the original platform do.
//
// Reading rules:
// - Lines end at a line feed, a CR LF pair or a carriage return alone;
//   blanks (space, tab, CR, VT, FF, and the DOS end-of-file byte 0x1A) around
//   section names, keys and values are ignored. A line whose first non-blank
//   character is ';' is a comment. Lines before the first section belong to
//   no section.
// - A section line starts with '[' and ends its name at the last ']' of the
//   line; a line starting with '[' without any ']' is no section line.
// - A key line is split at its first '='; a line without '=' is a key with an
//   empty value.
// - A value loses one pair of surrounding quotes (both '"' or both '\''), and
//   ends at its first NUL byte. Values have no length limit.
// - Section and key names compare as driver/cp1252_names.h says: without
//   regard to case, and a UTF-8 spelling equals its Windows-1252 one.
// - When a section occurs twice, only its first occurrence is searched; when
//   a key occurs twice in it, its first occurrence wins. Writing follows the
//   same rule, so what is written is what is read back.
// - A UTF-8 byte order mark at the start of the file is skipped.
// - A file that starts with the UTF-16 byte order mark FF FE (little-endian,
//   Notepad's "Unicode") or FE FF (big-endian) is read as UTF-16 and its
//   characters taken as Windows-1252 bytes ('?' for those it lacks); it is
//   written back in the same encoding, mark included.
// - Values are never written after a closing DOS end-of-file byte (0x1A
//   followed by nothing but blanks and line ends): the mark stays last.

#ifndef GRULO_CONFIG_INI_FILE_H_
#define GRULO_CONFIG_INI_FILE_H_

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/status.h"

namespace grulo {

class IniFile {
 public:
  IniFile() = default;
  // The file of these bytes, decoded as Load does.
  explicit IniFile(std::string bytes);

  // Reads the whole file. A file that is missing (a kNotFound status) or
  // cannot be read leaves the text empty.
  Status Load(const std::string& path);

  // The value of `key` in `section`, or nothing when the section or the key
  // is missing.
  std::optional<std::string> FindValue(std::string_view section, std::string_view key) const;

  // The value of `key` in `section`, or `default_value` when the section or
  // the key is missing.
  std::string GetValue(std::string_view section, std::string_view key,
                       std::string_view default_value) const;

  // True when the text has a line of `section`.
  bool HasSection(std::string_view section) const;

  // The names of all section lines, in text order, as spelled.
  std::vector<std::string> SectionNames() const;

  // Sets `key` of `section` to `value` ("key=value"): an existing key line is
  // replaced (keeping the key's spelling), a missing key is added after the
  // last line of its section, a missing section is added at the end of the
  // text. Every other line stays as it was. New lines take the text's line
  // ending (that of its first line; CR LF when it has none). The value must
  // not hold a line feed.
  void SetValue(std::string_view section, std::string_view key, std::string_view value);

  // The text as Windows-1252 bytes (a UTF-16 file's decoded).
  const std::string& text() const { return text_; }

  // The bytes of the file to write: the text in the file's encoding.
  std::string FileBytes() const;

 private:
  enum Encoding { kSingleByte, kUtf16LittleEndian, kUtf16BigEndian };

  void Decode(std::string bytes);
  void SetValueBeforeMark(std::string_view section, std::string_view key,
                          std::string_view value);

  std::string text_;
  Encoding encoding_ = kSingleByte;
};

}  // namespace grulo

#endif  // GRULO_CONFIG_INI_FILE_H_
