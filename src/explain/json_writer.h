// A small writer of one JSON document, compact or indented, for the
// explanation's machine-readable form. Keys and strings are given in UTF-8
// (or, for paths, as the files and the system give them: see JsonQuoted).

#ifndef GRULO_EXPLAIN_JSON_WRITER_H_
#define GRULO_EXPLAIN_JSON_WRITER_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace grulo {

class JsonWriter {
 public:
  // Objects and arrays: Begin/End in pairs; inside an object every value is
  // preceded by Key.
  void BeginObject();
  void EndObject();
  void BeginArray();
  void EndArray();
  void Key(std::string_view key);

  void String(std::string_view utf8);
  void Int(int64_t value);
  void Bool(bool value);
  void Null();

  // The document, indented by two spaces per level, ended by a line feed.
  std::string Take();

 private:
  void BeforeValue();
  void NewLine();

  std::string out_;
  std::vector<bool> first_;  // per open level: nothing written in it yet
  bool after_key_ = false;
};

// The text as a JSON string literal with its quotes: '"', '\' and the
// control characters escaped (\n, \t, \u00XX), and always valid UTF-8: the
// bytes of a path or of grulo.ini that are not UTF-8 are read as
// Windows-1252 (DisplayText, text/cp1252_text.h).
std::string JsonQuoted(std::string_view text);

}  // namespace grulo

#endif  // GRULO_EXPLAIN_JSON_WRITER_H_
