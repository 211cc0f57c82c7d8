// The rules that the three table sources share (see table_source.h and
// tree_source.h): line-based text, words separated by blanks or tabs, a '#'
// at the start of a word beginning a comment that runs to the end of the
// line, a line ending in '\' continuing on the next one, numbers in decimal
// or in hexadecimal with "0x"; and the directives common to the three:
//
//   version 11                  the two version characters (required; "\xHH"
//                               writes any byte, a missing one is NUL)
//   header HEX...               optional: the 32 raw header bytes
//   descriptor N HEX...         optional: the 32 raw bytes of descriptor N
//   trailer HEX...              optional: bytes after the last section
//
// Errors name the file, the line and what is wrong: "diag.txt:12: ...".

#ifndef GRULO_AUTHORING_SOURCE_SYNTAX_H_
#define GRULO_AUTHORING_SOURCE_SYNTAX_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "authoring/table_model.h"
#include "base/status.h"

namespace grulo {

struct SourceLine {
  int number = 0;  // 1-based line number in the file
  std::vector<std::string_view> words;
};

// Splits a source into its non-empty lines of words, comments removed; '['
// and ']' are words of their own.
std::vector<SourceLine> SplitSource(std::string_view text);

// Collects the errors of one source, each "path:line: what", into one
// status: at most kMaxSourceErrors of them, then a line saying that the rest
// are not shown.
inline constexpr int kMaxSourceErrors = 50;

class SourceErrors {
 public:
  explicit SourceErrors(std::string_view path) : path_(path) {}

  // Adds the error of line `line` (from 1).
  void Add(int line, std::string_view what);
  bool empty() const { return count_ == 0; }
  // Ok when no error was added; otherwise kInvalidArgument, its message one
  // line per error.
  Status ToStatus() const;

 private:
  std::string path_;
  std::string lines_;
  int count_ = 0;
};

// The lines of a status's message, one per error; none for an ok status.
std::vector<std::string> MessageLines(const Status& status);

// A number word (decimal, or hexadecimal with "0x") within [min, max].
bool ParseNumberWord(std::string_view word, long min, long max, long* value);

// Handles the directives common to all formats (version, header, descriptor,
// trailer). Returns false when the line is not one of them; true when it is,
// with errors reported. `descriptor_count` is the number of descriptors of
// the table.
bool ParseCommonDirective(const SourceLine& line, int descriptor_count, std::string* version,
                          bool* version_seen, TableLayout* layout, SourceErrors* errors);

// The common directives as text: the version line, then header, descriptor
// and trailer lines for the raw bytes the layout holds.
std::string PrintCommonDirectives(std::string_view version, const TableLayout& layout);

// Hex text of bytes, in groups of eight.
std::string HexWords(const std::vector<uint8_t>& bytes);

}  // namespace grulo

#endif  // GRULO_AUTHORING_SOURCE_SYNTAX_H_
