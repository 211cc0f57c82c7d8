// grulo errors: the catalogue of the error numbers for a person, the same
// text as docs/errors.md.

#ifndef GRULO_CLI_ERRORS_COMMAND_H_
#define GRULO_CLI_ERRORS_COMMAND_H_

#include <cstdio>

#include "options/option_parser.h"

namespace grulo {

// Its command line; run: RunErrorsCommand.
extern const CommandDefinition kErrorsCommand;

// Runs "grulo errors ...": argv[0] is the program's path, argv[1] "errors".
// Without operands prints the whole catalogue (docs/errors.md); with error
// numbers prints their sections; with --list one line per number (number,
// class, field and columns, description). Returns 0, 1 when the output
// cannot be written, 2 for a usage error (an unknown option, a number
// outside 1 to 82).
int RunErrorsCommand(int argc, char** argv, std::FILE* out, std::FILE* err);

}  // namespace grulo

#endif  // GRULO_CLI_ERRORS_COMMAND_H_
