// What an error means for the summary that has it. The catalogue states each
// rule whole; where a rule has several cases (error 27: a provenance given
// while the entry mode is blank, or one outside 1 to 7 after another entry
// mode), or where its numbers decide (error 14: how many days), the reason
// names the case that applies to this summary with the values that decide it.

#ifndef GRULO_EXPLAIN_ERROR_REASONS_H_
#define GRULO_EXPLAIN_ERROR_REASONS_H_

#include <cstdint>
#include <string>

#include "summary/summary_state.h"

namespace grulo {

// The reason of error `number` found in the summary of `state` (as the
// checks left it), `index` being the field's place in its run (the
// associated diagnosis, duration or act). One or more sentences in UTF-8,
// field texts between double quotes with their blanks as middle dots; empty
// when the catalogue's one-line description is already the whole rule.
std::string ErrorReason(const SummaryState& state, int16_t number, int index);

}  // namespace grulo

#endif  // GRULO_EXPLAIN_ERROR_REASONS_H_
