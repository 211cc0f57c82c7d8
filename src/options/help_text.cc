#include "options/help_text.h"

#include <algorithm>
#include <vector>

#include "text/cp1252_text.h"

namespace grulo {
namespace {

constexpr size_t kWidth = 79;            // columns of a help line
constexpr size_t kUsageWidth = 72;       // of a usage line before "[OPTIONS]" replaces the options
constexpr size_t kMaxOptionColumn = 26;  // where option help starts at the most

// The command's options as the help lists them: its own, then --help and
// --version.
std::vector<const OptionDefinition*> ListedOptions(const CommandDefinition& command) {
  std::vector<const OptionDefinition*> listed;
  for (const OptionDefinition& option : command.options) listed.push_back(&option);
  listed.push_back(&kHelpOption);
  if (!command.version.empty()) listed.push_back(&kVersionOption);
  return listed;
}

std::string LastWord(std::string_view name) {
  const size_t blank = name.rfind(' ');
  return std::string(blank == std::string_view::npos ? name : name.substr(blank + 1));
}

// "grulo explain|report|errors ...", or empty for a command without
// subcommands.
std::string CommandsUsage(const CommandDefinition& command) {
  if (command.commands.empty()) return "";
  std::string usage = std::string(command.name) + " ";
  for (size_t i = 0; i < command.commands.size(); ++i) {
    if (i > 0) usage += '|';
    usage += LastWord(command.commands[i]->name);
  }
  return usage + " ...";
}

// The command's own form: name, options, operands.
std::string OwnUsage(const CommandDefinition& command) {
  std::string options;
  for (const OptionDefinition& o : command.options) {
    options.append(o.required ? " --" : " [--").append(o.name);
    if (!o.value_name.empty()) options.append(" ").append(o.value_name);
    if (!o.required) options += ']';
  }
  std::string tail;
  if (!command.operands.empty()) tail.append(" ").append(command.operands);
  std::string usage(command.name);
  if (usage.size() + options.size() + tail.size() > kUsageWidth) {
    options = " [OPTIONS]";  // and the options that must be given
    for (const OptionDefinition& o : command.options) {
      if (o.required) options.append(" --").append(o.name).append(" ").append(o.value_name);
    }
  }
  return usage.append(options).append(tail);
}

// A program with subcommands and no options of its own is only its
// subcommands.
bool HasOwnForm(const CommandDefinition& command) {
  return command.commands.empty() || !command.options.empty();
}

// Appends `text` wrapped into lines of kWidth columns, each line after the
// first starting at `indent`; the first line continues at `column`.
void AppendWrapped(std::string_view text, size_t column, size_t indent, std::string* out) {
  size_t pos = 0;
  bool first_word = true;
  while (pos < text.size()) {
    size_t end = text.find(' ', pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view word = text.substr(pos, end - pos);
    pos = end + 1;
    if (word.empty()) continue;
    if (!first_word && column + 1 + word.size() > kWidth) {
      *out += '\n';
      out->append(indent, ' ');
      column = indent;
    } else if (!first_word) {
      *out += ' ';
      ++column;
    }
    *out += word;
    column += word.size();
    first_word = false;
  }
  *out += '\n';
}

std::string OptionLeft(const OptionDefinition& o) {
  std::string left = "      --";
  if (o.short_name != 0) left[2] = '-', left[3] = o.short_name, left[4] = ',';
  left.append(o.name);
  if (!o.value_name.empty()) left.append(" ").append(o.value_name);
  return left;
}

// Rows of a two-column list: the left parts padded to one column.
void AppendRows(const std::vector<std::pair<std::string, std::string_view>>& rows,
                std::string* out) {
  size_t column = 0;
  for (const auto& [left, help] : rows) {
    if (left.size() + 2 <= kMaxOptionColumn) column = std::max(column, left.size() + 2);
  }
  for (const auto& [left, help] : rows) {
    *out += left;
    if (left.size() + 2 > column) {
      *out += '\n';
      out->append(column, ' ');
    } else {
      out->append(column - left.size(), ' ');
    }
    AppendWrapped(help, column, column, out);
  }
}

void AppendParagraph(std::string_view text, std::string* out) {
  if (text.empty()) return;
  *out += '\n';
  *out += text;
  if (text.back() != '\n') *out += '\n';
}

}  // namespace

std::string UsageLine(const CommandDefinition& command) {
  const std::string commands = CommandsUsage(command);
  if (!HasOwnForm(command)) return commands;
  if (commands.empty()) return OwnUsage(command);
  return OwnUsage(command) + " | " + commands;
}

std::string UsageErrorLine(const CommandDefinition& command, std::string_view error) {
  return std::string(command.name) + ": " + std::string(error) + " (usage: " + UsageLine(command) +
         "; see " + std::string(command.name) + " --help)\n";
}

std::string HelpText(const CommandDefinition& command) {
  std::string text = "Usage: ";
  const std::string commands = CommandsUsage(command);
  if (HasOwnForm(command)) {
    text += OwnUsage(command) + "\n";
    if (!commands.empty()) text += "       " + commands + "   (each with --help)\n";
  } else {
    text += commands + "   (each with --help)\n";
  }
  AppendParagraph(command.description, &text);
  text += "\nOptions:\n";
  std::vector<std::pair<std::string, std::string_view>> rows;
  for (const OptionDefinition* o : ListedOptions(command))
    rows.emplace_back(OptionLeft(*o), o->help);
  AppendRows(rows, &text);
  if (!command.commands.empty()) {
    text += "\nCommands:\n";
    rows.clear();
    for (const CommandDefinition* c : command.commands) {
      rows.emplace_back("  " + LastWord(c->name), c->summary);
    }
    AppendRows(rows, &text);
  }
  AppendParagraph(command.epilogue, &text);
  return text;
}

std::string VersionLine(const CommandDefinition& command) {
  return std::string(command.name) + " " + std::string(command.version) + "\n";
}

bool PrintText(std::FILE* stream, std::string_view text) {
  const std::string shown = DisplayText(text);
  const bool written = std::fwrite(shown.data(), 1, shown.size(), stream) == shown.size();
  return std::fflush(stream) == 0 && written;
}

int PrintUsageError(std::FILE* err, const CommandDefinition& command, std::string_view error) {
  PrintText(err, UsageErrorLine(command, error));
  return kExitUsage;
}

int PrintFailure(std::FILE* err, const CommandDefinition& command, std::string_view message) {
  PrintText(err, std::string(command.name) + ": " + std::string(message) + "\n");
  return kExitFailure;
}

int HandleParsedOptions(const CommandDefinition& command, const ParsedOptions& parsed,
                        std::FILE* out, std::FILE* err) {
  if (!parsed.error.empty()) return PrintUsageError(err, command, parsed.error);
  if (parsed.Has("help")) return PrintText(out, HelpText(command)) ? 0 : kExitFailure;
  if (parsed.Has("version")) return PrintText(out, VersionLine(command)) ? 0 : kExitFailure;
  return -1;
}

}  // namespace grulo
