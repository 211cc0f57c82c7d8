// grulo compare: what the yearly change of tables does to an input. Groups
// the input with the old and the new table set (each as the batch does) and
// tells which summaries change: a CSV row per changed summary, an HTML page
// with the transitions between groups, the summaries newly blocked or no
// longer blocked and the errors that appear or disappear, and a short
// summary on standard output. See docs/group.md.

#ifndef GRULO_CLI_COMPARE_COMMAND_H_
#define GRULO_CLI_COMPARE_COMMAND_H_

#include <cstdio>

#include "options/option_parser.h"

namespace grulo {

extern const CommandDefinition kCompareCommand;

int RunCompareCommand(int argc, char** argv, std::FILE* out, std::FILE* err);

}  // namespace grulo

#endif  // GRULO_CLI_COMPARE_COMMAND_H_
