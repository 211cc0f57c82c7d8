#include "cli/subcommand_options.h"

namespace grulo {
namespace {

const OptionDefinition* FindLong(std::span<const OptionDefinition> definitions, std::string_view name) {
  for (const OptionDefinition& definition : definitions) {
    if (definition.name == name) return &definition;
  }
  return nullptr;
}

const OptionDefinition* FindShort(std::span<const OptionDefinition> definitions, char name) {
  for (const OptionDefinition& definition : definitions) {
    if (definition.short_name != 0 && definition.short_name == name) return &definition;
  }
  return nullptr;
}

}  // namespace

std::string ParsedOptions::Value(std::string_view name, std::string_view fallback) const {
  auto it = values.find(name);
  return it == values.end() ? std::string(fallback) : it->second;
}

ParsedOptions ParseSubcommandOptions(const std::vector<std::string>& args,
                                     std::span<const OptionDefinition> definitions) {
  ParsedOptions parsed;
  bool options_ended = false;
  for (size_t i = 0; i < args.size() && parsed.error.empty(); ++i) {
    const std::string& arg = args[i];
    if (options_ended || arg.size() < 2 || arg[0] != '-') {
      parsed.operands.push_back(arg);
      continue;
    }
    if (arg == "--") {
      options_ended = true;
      continue;
    }
    const OptionDefinition* definition = nullptr;
    std::string shown;  // the option as the user wrote it
    std::string value;
    bool has_inline_value = false;
    if (arg[1] == '-') {
      const size_t equals = arg.find('=');
      shown = arg.substr(0, equals);
      definition = FindLong(definitions, std::string_view(shown).substr(2));
      if (equals != std::string::npos) {
        value = arg.substr(equals + 1);
        has_inline_value = true;
      }
    } else {
      shown = arg.substr(0, 2);
      definition = FindShort(definitions, arg[1]);
      if (arg.size() > 2) {
        value = arg.substr(2);
        has_inline_value = true;
      }
    }
    if (definition == nullptr) {
      parsed.error = "unknown option '" + shown + "'";
      break;
    }
    const std::string name(definition->name);
    if (parsed.Has(name)) {
      parsed.error = "option '--" + name + "' given twice";
      break;
    }
    if (!definition->takes_value) {
      if (has_inline_value) parsed.error = "option '--" + name + "' takes no value";
      parsed.values[name] = "";
      continue;
    }
    if (!has_inline_value) {
      if (i + 1 >= args.size()) {
        parsed.error = "option '--" + name + "' needs a value";
        break;
      }
      value = args[++i];
    }
    parsed.values[name] = value;
  }
  return parsed;
}

ParsedOptions ParseSubcommandOptions(int argc, char** argv,
                                     std::span<const OptionDefinition> definitions) {
  const std::vector<std::string> args(argv + (argc > 2 ? 2 : argc), argv + argc);
  return ParseSubcommandOptions(args, definitions);
}

int SubcommandUsage(std::FILE* err, const char* command, const std::string& message) {
  std::fprintf(err, "grulo %s: %s (see 'grulo %s --help')\n", command, message.c_str(), command);
  return 2;
}

int SubcommandFailure(std::FILE* err, const char* command, const std::string& message) {
  std::fprintf(err, "grulo %s: %s\n", command, message.c_str());
  return 1;
}

}  // namespace grulo
