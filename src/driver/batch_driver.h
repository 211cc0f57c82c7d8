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

namespace grulo {

inline constexpr char kGeneralSection[] = "G\xE9n\xE9ral";
inline constexpr char kResultsSection[] = "R\xE9sultats";

// From this length on, a malformed line gets the identification line.
inline constexpr uint64_t kIdentificationLength = 88;

// The error numbers of one summary sorted into a blocking and a non-blocking
// list text, each number followed by a comma, in list order (zeros skipped,
// repeated numbers kept). Fixed storage: nothing is allocated.
class ErrorListTexts {
 public:
  void Sort(const ErrorList& list);
  std::string_view blocking() const { return {blocking_.data(), blocking_size_}; }
  std::string_view non_blocking() const { return {non_blocking_.data(), non_blocking_size_}; }

 private:
  static constexpr size_t kCapacity = kErrorListSize * 7;  // "-32768," per entry
  std::array<char, kCapacity> blocking_{};
  std::array<char, kCapacity> non_blocking_{};
  size_t blocking_size_ = 0;
  size_t non_blocking_size_ = 0;
};

// Runs the whole batch with the configuration file at `config_path`, every
// well-formed line going to `grouper`. Returns the exit status: 0 after a
// complete run whose counters were written; 1 when the input, the .err or
// the .grp file cannot be opened, when reading the input or writing an
// output fails, or when the counters cannot be written. The counters are
// written only after a complete run.
int RunBatch(const std::string& config_path, SummaryGrouper& grouper);

}  // namespace grulo

#endif  // GRULO_DRIVER_BATCH_DRIVER_H_
