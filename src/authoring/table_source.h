// The human-readable text sources of the three table files: reading them into
// the models of table_writer.h and printing models back as text.
//
// All three formats are line based: words separated by blanks or tabs, a '#'
// at the start of a word begins a comment that runs to the end of the line, a
// line ending in '\' continues on the next one. Numbers are decimal or
// hexadecimal with "0x". Every format starts with its directives:
//
//   version 11                  the two version characters (required; "\xHH"
//                               writes any byte, a missing one is NUL)
//   header HEX...               optional: the 32 raw header bytes
//   descriptor N HEX...         optional: the 32 raw bytes of descriptor N
//   trailer HEX...              optional: bytes after the last section
//
// Diagnosis source (diag10sr.tab):
//   record-size 12              position byte + attribute bytes (default 12)
//   result-size 2               descriptor 1's record size (default 2)
//   A000  0xFF 11 38 210        code, position flags, category, attributes
//   A001  =3                    code with record number 3
//   record 3  0xC0 20           record 3 given explicitly (record 0: codes
//                               not found; all 0 unless given)
//
// Act source (ccamcssr.tab):
//   entry-size 4                descriptor 1's record size (default 4)
//   AAFA0010  3                 code and class
//
// The tree source is described in tree_source.h.
//
// Errors name the file, the line and what is wrong: "diag.txt:12: ...".

#ifndef GRULO_AUTHORING_TABLE_SOURCE_H_
#define GRULO_AUTHORING_TABLE_SOURCE_H_

#include <string>
#include <string_view>
#include <vector>

#include "authoring/table_writer.h"

namespace grulo {

// Reads a source; false with one message per error (at most 50) when it has
// errors. The model is filled from scratch.
bool ParseDiagSource(std::string_view text, std::string_view file_name, DiagTableModel* model,
                     std::vector<std::string>* errors);
bool ParseActSource(std::string_view text, std::string_view file_name, ActTableModel* model,
                    std::vector<std::string>* errors);

// Prints a model as source text that reads back to the same model (entries
// in the model's order, inline records as inline, numbered ones as "=N").
std::string PrintDiagSource(const DiagTableModel& model);
std::string PrintActSource(const ActTableModel& model);

// ---------------------------------------------------------------------------
// Pieces shared by the three formats (also used by tree_source.cc).

struct SourceLine {
  int number = 0;  // 1-based line number in the file
  std::vector<std::string_view> words;
};

// Splits a source into its non-empty lines of words, comments removed; '['
// and ']' are words of their own.
std::vector<SourceLine> SplitSource(std::string_view text);

// Collects "file:line: message" texts.
class SourceErrors {
 public:
  explicit SourceErrors(std::string_view file_name) : file_name_(file_name) {}
  void Add(int line, const std::string& message);
  bool empty() const { return messages_.empty(); }
  std::vector<std::string> Take() { return std::move(messages_); }

 private:
  std::string file_name_;
  std::vector<std::string> messages_;
};

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

#endif  // GRULO_AUTHORING_TABLE_SOURCE_H_
