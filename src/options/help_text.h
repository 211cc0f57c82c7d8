// What a person reads about a command line, made from its definition
// (options/option_parser.h): the usage line, the one line of a usage error,
// the help. Texts are UTF-8 and end with a line feed.

#ifndef GRULO_OPTIONS_HELP_TEXT_H_
#define GRULO_OPTIONS_HELP_TEXT_H_

#include <cstdio>
#include <string>
#include <string_view>

#include "options/option_parser.h"

namespace grulo {

// The usage line without "Usage: ": the name, every option ("[--config
// FILE]", a required one without brackets) and the operands; "[OPTIONS]"
// instead of the options that may be left out when they would make the line
// longer than 72 columns. A program with subcommands adds them: "grulo [--config FILE]
// ... | grulo explain|report|errors ...".
std::string UsageLine(const CommandDefinition& command);

// "<name>: <error> (usage: <usage line>; see <name> --help)", one line.
std::string UsageErrorLine(const CommandDefinition& command, std::string_view error);

// The help: the usage line, the description, every option with its help
// (--help and --version last), the subcommands with their summaries, the
// epilogue; lines of at most 79 columns.
std::string HelpText(const CommandDefinition& command);

// "<name> <version>".
std::string VersionLine(const CommandDefinition& command);

// Prints a text on `stream` as UTF-8 (options/help_text.h texts, messages
// that hold paths: text/cp1252_text.h, DisplayText); false when it could
// not be written.
bool PrintText(std::FILE* stream, std::string_view text);

// The usage error of a command: its line on `err`; the usage exit status, 2.
int PrintUsageError(std::FILE* err, const CommandDefinition& command, std::string_view error);

// A failure of a command: "<name>: <message>" on `err`; the failure exit
// status, 1.
int PrintFailure(std::FILE* err, const CommandDefinition& command, std::string_view message);

// What to do for a command line that was read: a usage error is printed on
// `err` (status 2), --help and --version on `out` (status 0, or 1 when it
// cannot be written); -1 when the command is to run.
int HandleParsedOptions(const CommandDefinition& command, const ParsedOptions& parsed,
                        std::FILE* out, std::FILE* err);

inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

}  // namespace grulo

#endif  // GRULO_OPTIONS_HELP_TEXT_H_
