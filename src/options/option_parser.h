// The command line of every grulo command and tool (grulo, its subcommands,
// grulo-tables and its commands, grulo-gen), read by one parser with one set
// of rules; the usage line and the help of a command are made from the same
// definition (options/help_text.h).
//
// The rules, the same everywhere:
// - A long option is "--name value" or "--name=value", a short one "-n value"
//   or "-nvalue". A flag takes no value: "--json=yes" and "-hV" are refused
//   (short flags do not combine). Names are never abbreviated.
// - Options and operands come in any order. "--" ends the options: every
//   word after it is an operand. "-" alone is an operand (standard input).
// - An option given twice, under either of its names, is a usage error, as
//   is an empty value ("--config=").
// - A value that the option's check refuses is a usage error that says what
//   the option needs ("option '-j' needs a number of threads from 1 to 256,
//   not 'x2'").
// - Every command has "-h, --help"; a command that names a version has
//   "-V, --version".
// - A usage error in the words themselves (an unknown option, a missing or
//   refused value, an option twice, an operand too many) wins over --help;
//   a missing operand or required option does not, so that "grulo-tables
//   dump --help" shows the help.
//
// Adding a command is writing its CommandDefinition (options/help_text.h
// prints it), and, for a subcommand, a run function and its place in the
// program's `commands`.

#ifndef GRULO_OPTIONS_OPTION_PARSER_H_
#define GRULO_OPTIONS_OPTION_PARSER_H_

#include <cstdio>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace grulo {

struct OptionDefinition {
  // The long name, without "--".
  std::string_view name = {};
  // The short name; 0 for none.
  char short_name = 0;
  // The value in the usage line and the help ("FILE"); empty for a flag.
  std::string_view value_name = {};
  // One sentence for --help, wrapped there.
  std::string_view help = {};
  // For an option with a value: returns what the value must be ("a number
  // of threads from 1 to 256") when it is refused, an empty text when it is
  // accepted. nullptr: every value that is not empty.
  std::string_view (*check)(std::string_view value) = nullptr;
  // A usage error when missing (but not beside --help).
  bool required = false;
};

// Runs a subcommand: argv[0] is the program's path, argv[1] the command's
// name, the options start at argv[2]. Writes on `out` and `err`; returns the
// exit status.
using CommandFunction = int (*)(int argc, char** argv, std::FILE* out, std::FILE* err);

struct CommandDefinition {
  // As it is typed: "grulo explain", "grulo-tables build".
  std::string_view name = {};
  // The operands in the usage line ("[SUMMARY | -]"), empty for none, and
  // how many there may be (kAnyNumber: no limit).
  std::string_view operands = {};
  int min_operands = 0;
  int max_operands = 0;
  // One line: what the command does, in the list of a program's commands.
  std::string_view summary = {};
  // The help's text after the usage line, in lines of at most 79 columns.
  std::string_view description = {};
  // The options; --help (and --version) are added.
  std::span<const OptionDefinition> options = {};
  // The help's text after the options.
  std::string_view epilogue = {};
  // Not empty: "-V, --version" prints "<name> <version>".
  std::string_view version = {};
  // The subcommands of a program: a first word that is the last word of one
  // of their names ("explain" for "grulo explain") runs it.
  std::span<const CommandDefinition* const> commands = {};
  // The subcommand's run function.
  CommandFunction run = nullptr;
};

inline constexpr int kAnyNumber = -1;

// The options every command has (--version when it names a version).
inline constexpr OptionDefinition kHelpOption = {"help", 'h', "", "print this help and exit"};
inline constexpr OptionDefinition kVersionOption = {"version", 'V', "",
                                                    "print the version and exit"};

struct ParsedOptions {
  std::map<std::string, std::string, std::less<>> values;  // by long name; "" for a flag
  std::vector<std::string> operands;
  std::string error;  // one line for a usage error; empty when the line is good

  bool Has(std::string_view name) const { return values.find(name) != values.end(); }
  // The option's value, or `fallback` when it was not given.
  std::string Value(std::string_view name, std::string_view fallback = "") const;
};

// Reads `args`, the words after the command's name, by the rules above.
ParsedOptions ParseOptions(const CommandDefinition& command, std::span<const std::string> args);

// The same for argv[first...]: the words after "grulo" are argv[1...], those
// after "grulo explain" argv[2...].
ParsedOptions ParseOptions(const CommandDefinition& command, int argc, char** argv, int first);

// The subcommand of `program` that `word` names, or nullptr.
const CommandDefinition* FindCommand(const CommandDefinition& program, std::string_view word);

}  // namespace grulo

#endif  // GRULO_OPTIONS_OPTION_PARSER_H_
