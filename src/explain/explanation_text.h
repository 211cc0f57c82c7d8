// The renderings of an explanation: plain text for a person and one JSON
// document for tools. Both are UTF-8; the line's own Windows-1252 bytes are
// converted character by character. docs/explain.md describes both.

#ifndef GRULO_EXPLAIN_EXPLANATION_TEXT_H_
#define GRULO_EXPLAIN_EXPLANATION_TEXT_H_

#include <string>
#include <string_view>

#include "explain/explanation.h"

namespace grulo {

// The explanation for a terminal: sections Line, Fields, Errors, Lookups,
// Derived values, Tree walk and Result, each field text between quotes with
// every blank shown as a middle dot. A walk of more than 40 tests shows its
// first 30 and its last 10.
std::string ExplanationText(const Explanation& explanation);

// Where the fault of the line lies: "summary" (a format problem or errors),
// "tables" (a table problem or a failed walk: nothing in the summary needs
// correcting) or "none" (grouped without error).
std::string_view FaultName(const Explanation& explanation);

// For a fault in the tables, what it means and whom to tell; empty otherwise.
std::string FaultAdvice(const Explanation& explanation);

// The JSON document (version 1 of its shape, see docs/explain.md).
std::string ExplanationJson(const Explanation& explanation);

// The Windows-1252 text in UTF-8 with every blank as a middle dot (U+00B7).
std::string VisibleBlanks(std::string_view text);

// "41-48", or "49" for one column: the columns of a field, counted from 1.
std::string ColumnsText(FieldRef field);

}  // namespace grulo

#endif  // GRULO_EXPLAIN_EXPLANATION_TEXT_H_
