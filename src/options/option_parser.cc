#include "options/option_parser.h"

namespace grulo {
namespace {

// The option of a command by its long or short name: the command's own,
// then --help and --version.
class OptionTable {
 public:
  explicit OptionTable(const CommandDefinition& command) : command_(command) {}

  const OptionDefinition* Long(std::string_view name) const {
    for (const OptionDefinition& o : command_.options) {
      if (o.name == name) return &o;
    }
    if (name == kHelpOption.name) return &kHelpOption;
    if (name == kVersionOption.name && !command_.version.empty()) return &kVersionOption;
    return nullptr;
  }

  const OptionDefinition* Short(char name) const {
    for (const OptionDefinition& o : command_.options) {
      if (o.short_name != 0 && o.short_name == name) return &o;
    }
    if (name == kHelpOption.short_name) return &kHelpOption;
    if (name == kVersionOption.short_name && !command_.version.empty()) return &kVersionOption;
    return nullptr;
  }

 private:
  const CommandDefinition& command_;
};

std::string Quote(std::string_view word) {
  std::string quoted = "'";
  quoted.append(word).append("'");
  return quoted;
}

// Reads one option word (and its value, which may be the next word): the
// error, empty when it was read.
std::string ReadOption(const OptionTable& table, std::span<const std::string> args, size_t* i,
                       ParsedOptions* parsed) {
  const std::string& arg = args[*i];
  const OptionDefinition* option = nullptr;
  std::string shown;  // the option as it was written
  std::string value;
  bool attached = false;  // the value came with the option
  if (arg[1] == '-') {
    const size_t equals = arg.find('=');
    shown = arg.substr(0, equals);
    option = table.Long(std::string_view(shown).substr(2));
    if (equals != std::string::npos) {
      value = arg.substr(equals + 1);
      attached = true;
    }
  } else {
    shown = arg.substr(0, 2);
    option = table.Short(arg[1]);
    if (arg.size() > 2) {
      value = arg.substr(2);
      attached = true;
    }
  }
  if (option == nullptr) return "unknown option " + Quote(attached && arg[1] != '-' ? arg : shown);
  if (option->value_name.empty()) {
    if (attached) return "option " + Quote(shown) + " takes no value";
  } else if (!attached) {
    if (*i + 1 >= args.size()) return "option " + Quote(shown) + " needs a value";
    value = args[++*i];
  }
  const std::string name(option->name);
  if (parsed->Has(name)) return "option " + Quote(shown) + " given twice";
  if (!option->value_name.empty()) {
    if (value.empty()) return "option " + Quote(shown) + " needs a value, not an empty text";
    if (option->check != nullptr) {
      const std::string_view needed = option->check(value);
      if (!needed.empty()) {
        return "option " + Quote(shown) + " needs " + std::string(needed) + ", not " + Quote(value);
      }
    }
  }
  parsed->values[name] = value;
  return "";
}

}  // namespace

std::string ParsedOptions::Value(std::string_view name, std::string_view fallback) const {
  auto it = values.find(name);
  return it == values.end() ? std::string(fallback) : it->second;
}

ParsedOptions ParseOptions(const CommandDefinition& command, std::span<const std::string> args) {
  ParsedOptions parsed;
  const OptionTable table(command);
  bool options_ended = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options_ended || arg.size() < 2 || arg[0] != '-') {
      parsed.operands.push_back(arg);
      if (command.max_operands != kAnyNumber &&
          parsed.operands.size() > static_cast<size_t>(command.max_operands)) {
        parsed.error = "unexpected argument " + Quote(arg);
        return parsed;
      }
      continue;
    }
    if (arg == "--") {
      options_ended = true;
      continue;
    }
    parsed.error = ReadOption(table, args, &i, &parsed);
    if (!parsed.error.empty()) return parsed;
  }
  if (parsed.Has("help") || parsed.Has("version")) return parsed;
  for (const OptionDefinition& option : command.options) {
    if (option.required && !parsed.Has(option.name)) {
      parsed.error = "option '--" + std::string(option.name) + "' is needed";
      return parsed;
    }
  }
  if (parsed.operands.size() < static_cast<size_t>(command.min_operands)) {
    parsed.error = command.operands.empty() ? "an argument is missing"
                                            : "missing " + std::string(command.operands);
  }
  return parsed;
}

ParsedOptions ParseOptions(const CommandDefinition& command, int argc, char** argv, int first) {
  std::vector<std::string> args;
  for (int i = first; i < argc; ++i) args.emplace_back(argv[i]);
  return ParseOptions(command, args);
}

const CommandDefinition* FindCommand(const CommandDefinition& program, std::string_view word) {
  for (const CommandDefinition* command : program.commands) {
    std::string_view name = command->name;
    const size_t blank = name.rfind(' ');
    if (blank != std::string_view::npos) name.remove_prefix(blank + 1);
    if (!word.empty() && name == word) return command;
  }
  return nullptr;
}

}  // namespace grulo
