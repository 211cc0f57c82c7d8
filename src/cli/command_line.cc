#include "cli/command_line.h"

#include <optional>
#include <string_view>

namespace grulo {
namespace {

enum class Option { kConfig, kThreads, kReport, kHelp, kVersion };

struct OptionName {
  Option option;
  std::string_view long_name;
  char short_name;
  bool takes_value;
};

constexpr OptionName kOptions[] = {
    {Option::kConfig, "config", 'c', true},
    {Option::kThreads, "threads", 'j', true},
    {Option::kReport, "report", '\0', true},
    {Option::kHelp, "help", 'h', false},
    {Option::kVersion, "version", 'V', false},
};

const OptionName* FindLong(std::string_view name) {
  for (const OptionName& o : kOptions) {
    if (o.long_name == name) return &o;
  }
  return nullptr;
}

const OptionName* FindShort(char name) {
  for (const OptionName& o : kOptions) {
    if (o.short_name == name) return &o;
  }
  return nullptr;
}

CommandLine UsageError(std::string error) {
  CommandLine line;
  line.action = CommandLine::kUsageError;
  line.error = std::move(error);
  return line;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine line;
  bool help = false;
  bool version = false;
  bool config_given = false;
  bool options_ended = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options_ended || arg.size() < 2 || arg[0] != '-') {
      // A word that is no option. The first one will name a subcommand
      // (grulo report ...) once there are subcommands; none exists yet.
      return UsageError("unexpected argument '" + arg + "'");
    }
    if (arg == "--") {
      options_ended = true;
      continue;
    }
    const OptionName* option = nullptr;
    std::optional<std::string> value;  // attached with '=' or behind a short name
    std::string shown;                 // the option as the user wrote it
    if (arg[1] == '-') {
      std::string_view body = std::string_view(arg).substr(2);
      size_t eq = body.find('=');
      std::string_view name = body.substr(0, eq);
      shown = "--" + std::string(name);
      option = FindLong(name);
      if (eq != std::string_view::npos) value = std::string(body.substr(eq + 1));
    } else {
      shown = arg.substr(0, 2);
      option = FindShort(arg[1]);
      if (arg.size() > 2) {
        if (option == nullptr || !option->takes_value) {
          return UsageError("unknown option '" + arg + "'");
        }
        value = arg.substr(2);
      }
    }
    if (option == nullptr) return UsageError("unknown option '" + shown + "'");
    if (!option->takes_value && value) {
      return UsageError("option '" + shown + "' takes no value");
    }
    if (option->takes_value && !value) {
      if (i + 1 >= args.size()) return UsageError("option '" + shown + "' needs a value");
      value = args[++i];
    }
    switch (option->option) {
      case Option::kConfig:
        if (config_given) return UsageError("option '" + shown + "' given twice");
        if (value->empty()) return UsageError("option '" + shown + "' needs a file name");
        config_given = true;
        line.config_path = *value;
        break;
      case Option::kThreads: {
        int threads = 0;
        for (char c : *value) {
          if (c < '0' || c > '9' || threads > 1000) {
            threads = -1;
            break;
          }
          threads = threads * 10 + (c - '0');
        }
        if (threads < 1 || threads > kMaxThreads) {
          return UsageError("option '" + shown + "' needs a number of threads from 1 to " +
                            std::to_string(kMaxThreads) + ", not '" + *value + "'");
        }
        line.threads = threads;
        break;
      }
      case Option::kReport:
        if (value->empty()) return UsageError("option '" + shown + "' needs a file name");
        line.report_path = *value;
        break;
      case Option::kHelp:
        help = true;
        break;
      case Option::kVersion:
        version = true;
        break;
    }
  }
  if (help) {
    line.action = CommandLine::kHelp;
  } else if (version) {
    line.action = CommandLine::kVersion;
  }
  return line;
}

const char* HelpText() {
  return "Usage: grulo [--config FILE] [--threads N] [--report PAGE.html]\n"
         "       grulo explain|report|errors ...   (each with --help)\n"
         "Checks and groups the weekly summaries of the input file named in the\n"
         "configuration, writes the .grp and .err files and the counters.\n"
         "\n"
         "  -c, --config FILE  the configuration FILE (the counters are written back\n"
         "                     into it) instead of grulo.ini beside the program\n"
         "  -j, --threads N    group on N threads (default: the cores available);\n"
         "                     the outputs are the same for every N\n"
         "      --report PAGE  after a complete run, write its report (one HTML page)\n"
         "\n"
         "  grulo explain      explains one summary: fields, errors, lookups, tree path\n"
         "  grulo report       writes the HTML report of a run from its files\n"
         "  grulo errors       prints the catalogue of the error numbers\n"
         "  -h, --help         print this help and exit\n"
         "  -V, --version      print the version and exit\n"
         "\n"
         "Exit status: 0 complete run, 1 the run failed (the reason is on standard\n"
         "error; the previous outputs and counters are left as they were),\n"
         "2 usage error.\n"
         "Configuration, messages and troubleshooting: docs/running.md, man grulo.\n";
}

std::string VersionLine() { return std::string("grulo ") + GRULO_VERSION + "\n"; }

std::string UsageErrorText(const std::string& error) {
  return "grulo: " + error + " (usage: grulo [--config FILE] [--threads N]; see grulo --help)\n";
}

}  // namespace grulo
