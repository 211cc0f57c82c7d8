// The options of the subcommands explain, report and errors, read in the
// usual style: "--name value", "--name=value", "-n value", flags without a
// value, "--" to end the options; everything else is an operand ("-" alone
// is an operand: standard input).

#ifndef GRULO_CLI_SUBCOMMAND_OPTIONS_H_
#define GRULO_CLI_SUBCOMMAND_OPTIONS_H_

#include <map>
#include <span>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace grulo {

struct OptionDefinition {
  std::string_view name;  // long name, without "--"
  char short_name;        // 0: none
  bool takes_value;
};

struct ParsedOptions {
  std::map<std::string, std::string, std::less<>> values;  // by long name; "" for a flag
  std::vector<std::string> operands;
  std::string error;  // one line for a usage error; empty when the line is good

  bool Has(std::string_view name) const { return values.find(name) != values.end(); }
  // The option's value, or `fallback` when it was not given.
  std::string Value(std::string_view name, std::string_view fallback = "") const;
};

// Reads args (the words after the subcommand's name). An unknown option, a
// missing value, a value given to a flag or an option given twice is a usage
// error, named in `error` ("unknown option '--foo'").
ParsedOptions ParseSubcommandOptions(const std::vector<std::string>& args,
                                     std::span<const OptionDefinition> definitions);

// The same for the words of argv after "grulo <command>".
ParsedOptions ParseSubcommandOptions(int argc, char** argv,
                                     std::span<const OptionDefinition> definitions);

// Prints "grulo <command>: <message> (see 'grulo <command> --help')" on
// `err`; the usage exit status, 2.
int SubcommandUsage(std::FILE* err, const char* command, const std::string& message);

// Prints "grulo <command>: <message>" on `err`; the failure exit status, 1.
int SubcommandFailure(std::FILE* err, const char* command, const std::string& message);

}  // namespace grulo

#endif  // GRULO_CLI_SUBCOMMAND_OPTIONS_H_
