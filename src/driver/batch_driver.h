// The batch run: configuration, input and output files, the line loop with
// its format recognition, the .err entries and .grp lines, and the counters.

#ifndef GRULO_DRIVER_BATCH_DRIVER_H_
#define GRULO_DRIVER_BATCH_DRIVER_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "checks/error_list.h"
#include "driver/group_summary.h"
#include "grouper/line_format.h"
#include "grouper/result_lines.h"

namespace grulo {

inline constexpr char kGeneralSection[] = "G\xE9n\xE9ral";
inline constexpr char kResultsSection[] = "R\xE9sultats";

// Runs the whole batch with the configuration file at `config_path`, every
// well-formed line going to `grouper`. Returns the exit status: 0 after a
// complete run whose counters were written; 1 when the input, the .err or
// the .grp file cannot be opened, when reading the input or writing an
// output fails, or when the counters cannot be written. The counters are
// written only after a complete run.
int RunBatch(const std::string& config_path, SummaryGrouper& grouper);

}  // namespace grulo

#endif  // GRULO_DRIVER_BATCH_DRIVER_H_
