// The command line of grulo-gen, read by the parser of every grulo command
// (options/option_parser.h): its definition, and its options read into the
// generator's options and the files to use.

#ifndef GRULO_TOOLS_GRULO_GEN_GEN_OPTIONS_H_
#define GRULO_TOOLS_GRULO_GEN_GEN_OPTIONS_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "base/status.h"
#include "options/option_parser.h"
#include "summary_generator.h"

namespace grulo {
namespace gen {

struct CommandLine {
  uint64_t count = 1000;
  GeneratorOptions options;
  std::string diag_path;  // empty: the built-in codes
  std::string acts_path;
  std::string out_path;  // empty: standard output
};

// grulo-gen's options, usage line and help.
extern const CommandDefinition kGenCommand;

// The settings of a command line that ParseOptions(kGenCommand, ...) read
// without usage error (its checks refused every value that cannot be used).
CommandLine GenCommandLine(const ParsedOptions& parsed);

// Reads a share "0", "1", "0.25", ".5" (at most nine decimals) as parts per
// billion. Anything else, or a share above 1, gives an invalid-argument
// status located at `where` and leaves `ppb` unchanged.
Status ParseShare(std::string_view text, std::string_view where, uint32_t* ppb);

// Reads a week WWYYYY: week 1 to 52, or 53 in a year that has it, year 1992
// to 2089. Anything else gives an invalid-argument status located at `where`
// and leaves both numbers unchanged.
Status ParseWeek(std::string_view text, std::string_view where, int* week, int* year);

}  // namespace gen
}  // namespace grulo

#endif  // GRULO_TOOLS_GRULO_GEN_GEN_OPTIONS_H_
