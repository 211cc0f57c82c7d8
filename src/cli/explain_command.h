// grulo explain: one summary explained for a person (or as JSON): its
// format, its fields, its errors, its lookups, its tree walk, its result
// and the lines the batch writes for it. docs/explain.md describes it.

#ifndef GRULO_CLI_EXPLAIN_COMMAND_H_
#define GRULO_CLI_EXPLAIN_COMMAND_H_

#include <cstdio>

#include "options/option_parser.h"

namespace grulo {

// Its command line; run: RunExplainCommand.
extern const CommandDefinition kExplainCommand;

// Runs "grulo explain ...": argv[0] is the program's path, argv[1]
// "explain", the options and the operand follow. Writes the explanation to
// `out`, messages to `err`. Returns 0 once the line is explained (whatever
// its outcome: a line that is not a summary is explained as a format
// problem), 1 when the line or the configuration cannot be read, 2 for a
// usage error (one line on `err`).
int RunExplainCommand(int argc, char** argv, std::FILE* out, std::FILE* err);

}  // namespace grulo

#endif  // GRULO_CLI_EXPLAIN_COMMAND_H_
