// The error catalogue as a document for people: Markdown that reads as plain
// text on a terminal too. docs/errors.md holds this text; a unit test keeps
// the two the same.

#ifndef GRULO_CHECKS_ERROR_CATALOGUE_TEXT_H_
#define GRULO_CHECKS_ERROR_CATALOGUE_TEXT_H_

#include <string>
#include <string_view>

#include "checks/error_catalogue.h"

namespace grulo {

// Where a catalogue text is read: docs/errors.md (Markdown, examples as code
// spans between backticks) or a terminal (no Markdown: examples between
// double quotes).
enum class CatalogueStyle { kMarkdown, kTerminal };

// The whole catalogue: a short introduction (what blocking means, the numbers
// never produced, how columns are counted), then for each number 1 to 82 a
// section with its class (blocking, non-blocking or never produced), its
// field and columns, the one-line description and the note where there is
// one. Paragraphs are wrapped at 78 columns. Plain ASCII, lines ended by LF.
// In Markdown a header comment tells how docs/errors.md is made, the title
// and the sections are headings ("# ", "## "); on a terminal neither.
std::string ErrorCatalogueText(CatalogueStyle style = CatalogueStyle::kMarkdown);

// The section of one number, as the whole catalogue holds it: heading
// ("## Error 13: blocking", on a terminal "Error 13: blocking"), then its
// paragraphs, each followed by a blank line.
std::string ErrorSectionText(const ErrorInfo& info, CatalogueStyle style);

// A description or note for a terminal: every code span between backticks
// put between double quotes instead.
std::string TerminalText(std::string_view text);

// The field of an entry and its columns in the summary line, counted from 1:
// "birth date, columns 41-48"; for a run of fields "associated diagnoses,
// 20 fields: columns 124-129, 132-137 and so on to 276-281"; empty for a
// number that no check produces.
std::string FieldColumnsText(const ErrorField& field);

}  // namespace grulo

#endif  // GRULO_CHECKS_ERROR_CATALOGUE_TEXT_H_
