// What the fuzz targets share: the demo tables built once in memory from
// their text sources, a handful of fixed summary lines, and a check that
// stops the run loudly when a property does not hold.

#ifndef GRULO_FUZZ_FUZZ_SUPPORT_H_
#define GRULO_FUZZ_FUZZ_SUPPORT_H_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "authoring/table_kind.h"
#include "calendar/calendar.h"
#include "grouper/table_set.h"
#include "tables/open_tables.h"

namespace grulo {
namespace fuzz {

// The bytes of the demo table of a kind, built from data/demo/ the first
// time they are asked for (the process ends with a message when the sources
// cannot be read or built).
const std::vector<uint8_t>& DemoTableBytes(TableKind kind);

// The demo tables opened from those bytes.
TreeTable DemoTree();
ActTable DemoActs();
DiagTable DemoDiags();

// The three demo tables, opened once and shared by every call.
const TableSet& DemoTableSet();

// A handful of fixed lines: demo summaries (some grouped, some with
// errors) and lines with format problems.
const std::vector<std::string>& FixedLines();

// The date the fixed lines are grouped on: 07122026.
const DateText& FixedToday();

// Prints `what` on standard error and aborts when `condition` is false.
void Require(bool condition, const char* what);

}  // namespace fuzz
}  // namespace grulo

#endif  // GRULO_FUZZ_FUZZ_SUPPORT_H_
