#include "checks/error_catalogue_text.h"

#include <cctype>
#include <string_view>
#include <vector>

namespace grulo {
namespace {

constexpr size_t kWidth = 78;

constexpr std::string_view kHeader =
    "<!-- Generated from the error catalogue (src/checks/error_catalogue.h) by\n"
    "     ErrorCatalogueText(); do not edit by hand. After a change of the\n"
    "     catalogue, write it anew from the build directory with\n"
    "       GRULO_WRITE_ERRORS_DOC=1 src/checks/checks_test "
    "--gtest_filter='ErrorsDocTest.*'\n"
    "     The unit test fails while this file differs from the catalogue. -->\n";

constexpr std::string_view kIntroduction[] = {
    "grulo checks every field of a weekly summary and lists, for each summary, "
    "the numbers of the errors it finds, in the order the checks run (not in "
    "the order of the numbers). This document gives for every number the field "
    "it concerns, where that field lies in the summary line, and what is wrong "
    "with it.",
    "A blocking error stops the summary: it is not classified and gets no line "
    "in the `.grp` file; the `.err` file lists its blocking errors, then its "
    "non-blocking ones. A non-blocking error is listed in the `.err` file too, "
    "but the summary is classified all the same.",
    "The numbers 4 to 7, 18, 28, 62 and 69 are never produced: no check gives "
    "them. They are kept so that every other number keeps its place.",
    "Columns are counted from 1 in the summary line as it stands in the input "
    "file. A diagnosis takes 8 columns of the line, of which its code is the "
    "first 6; the other 2 are never read.",
};

// Splits a text into words; a code span between backticks is one word, so
// that a line is never broken inside it. (No text of today's catalogue ends
// with a blank, so the break at the end of trailing blanks is never taken;
// it is kept for the texts to come.)
std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == ' ') ++i;
    if (i == text.size()) break;
    size_t start = i;
    bool in_code = false;
    while (i < text.size() && (in_code || text[i] != ' ')) {
      if (text[i] == '`') in_code = !in_code;
      ++i;
    }
    words.push_back(text.substr(start, i - start));
  }
  return words;
}

// A word that Markdown would read as the start of a list or a heading when
// it began a line. No word of today's catalogue is one ("+", "-", "*", "#...",
// ">...", "12." or "3)") where a line is full, so the refusal is never taken
// with the catalogue as it is; it keeps a later text from turning into a list.
bool MustNotStartLine(std::string_view word) {
  if (word == "+" || word == "-" || word == "*" || word.front() == '#' || word.front() == '>') {
    return true;
  }
  size_t digits = 0;
  while (digits < word.size() && std::isdigit(static_cast<unsigned char>(word[digits]))) {
    ++digits;
  }
  return digits > 0 && digits < word.size() && (word[digits] == '.' || word[digits] == ')');
}

// Appends the text as one paragraph wrapped at kWidth, and a blank line.
void AppendParagraph(std::string_view text, std::string* out) {
  size_t line_length = 0;
  for (std::string_view word : Words(text)) {
    if (line_length > 0 && line_length + 1 + word.size() > kWidth && !MustNotStartLine(word)) {
      *out += '\n';
      line_length = 0;
    }
    if (line_length > 0) {
      *out += ' ';
      ++line_length;
    }
    *out += word;
    line_length += word.size();
  }
  *out += "\n\n";
}

// "41-48", or "49" for one column.
std::string Columns(FieldRef field) {
  std::string text = std::to_string(field.offset + 1);
  if (field.length > 1) {
    text += '-';
    text += std::to_string(field.offset + field.length);
  }
  return text;
}

std::string_view ClassOf(const ErrorInfo& info) {
  if (!info.produced) return "never produced";
  return info.blocking ? "blocking" : "non-blocking";
}

}  // namespace

std::string FieldColumnsText(const ErrorField& field) {
  if (field.count <= 0) return "";
  std::string text(field.name);
  if (field.count == 1) {
    return text + (field.first.length > 1 ? ", columns " : ", column ") + Columns(field.first);
  }
  text += ", " + std::to_string(field.count) + " fields: columns ";
  text += Columns(field.At(0)) + ", " + Columns(field.At(1)) + " and so on to " +
          Columns(field.At(field.count - 1));
  return text;
}

std::string TerminalText(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c == '`') c = '"';
  }
  return out;
}

std::string ErrorSectionText(const ErrorInfo& info, CatalogueStyle style) {
  const bool markdown = style == CatalogueStyle::kMarkdown;
  std::string out = markdown ? "## Error " : "Error ";
  out += std::to_string(ToNumber(info.number)) + ": ";
  out += ClassOf(info);
  out += "\n\n";
  if (info.produced) {
    std::string field = FieldColumnsText(info.field);
    field[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(field[0])));
    AppendParagraph(field + ".", &out);
  }
  AppendParagraph(info.description, &out);
  if (!info.note.empty()) AppendParagraph(info.note, &out);
  // Wrapped first, so that the blanks of an example stay as they are.
  return markdown ? out : TerminalText(out);
}

std::string ErrorCatalogueText(CatalogueStyle style) {
  const bool markdown = style == CatalogueStyle::kMarkdown;
  std::string out = markdown ? std::string(kHeader) + "\n# " : std::string();
  out += "grulo error numbers\n\n";
  std::string introduction;
  for (std::string_view paragraph : kIntroduction) AppendParagraph(paragraph, &introduction);
  out += markdown ? introduction : TerminalText(introduction);
  for (const ErrorInfo& info : kErrorCatalogue) out += ErrorSectionText(info, style);
  out.pop_back();  // one LF at the end
  return out;
}

}  // namespace grulo
