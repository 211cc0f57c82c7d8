// grulo group: the batch's grouping as a filter for pipelines. Reads
// summaries from a file or standard input and writes, in input order, the
// .grp lines (the batch's bytes) or one JSON object or CSV row per line to
// standard output; the .err text to --err FILE. See docs/group.md.

#ifndef GRULO_CLI_GROUP_COMMAND_H_
#define GRULO_CLI_GROUP_COMMAND_H_

#include <cstdio>

#include "options/option_parser.h"

namespace grulo {

extern const CommandDefinition kGroupCommand;

// The exit status when the reader of standard output went away before the
// end (a closed pipe: `grulo group ... | head`), as for a process that
// SIGPIPE ended: 128 + 13. Nothing is said on standard error.
inline constexpr int kExitOutputClosed = 141;

int RunGroupCommand(int argc, char** argv, std::FILE* out, std::FILE* err);

}  // namespace grulo

#endif  // GRULO_CLI_GROUP_COMMAND_H_
