#include "cli/errors_command.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "checks/error_catalogue.h"
#include "checks/error_catalogue_text.h"
#include "cli/subcommand_options.h"
#include "text/number_text.h"

namespace grulo {
namespace {

constexpr OptionDefinition kOptions[] = {{"list", 'l', false}, {"help", 'h', false}};

constexpr char kHelp[] =
    "Usage: grulo errors [--list] [NUMBER...]\n"
    "\n"
    "Prints the catalogue of the error numbers 1 to 82: for each, whether it\n"
    "blocks the grouping, the field it concerns with its columns, and what the\n"
    "rule says. The whole catalogue is docs/errors.md.\n"
    "\n"
    "  NUMBER      only these numbers\n"
    "  -l, --list  one line per number\n"
    "  -h, --help  this help\n";

std::string_view ClassOf(const ErrorInfo& info) {
  if (!info.produced) return "never produced";
  return info.blocking ? "blocking" : "non-blocking";
}

std::string ListLine(const ErrorInfo& info) {
  std::string line = std::to_string(ToNumber(info.number));
  line.append(4 - line.size(), ' ');
  std::string klass(ClassOf(info));
  line += klass;
  line.append(16 - klass.size(), ' ');
  const std::string field = FieldColumnsText(info.field);
  if (!field.empty()) line += field + ": ";
  line += TerminalText(info.description);
  return line + "\n";
}

}  // namespace

int RunErrorsCommand(int argc, char** argv, std::FILE* out, std::FILE* err) {
  ParsedOptions options = ParseSubcommandOptions(argc, argv, kOptions);
  std::vector<int> numbers;
  for (const std::string& operand : options.operands) {
    bool digits = !operand.empty() && operand.size() <= 2;
    for (char c : operand) digits = digits && IsDigit(c);
    const int number = digits ? std::atoi(operand.c_str()) : 0;
    if (number < 1 || number > kErrorNumberCount) {
      if (options.error.empty()) options.error = "no error number '" + operand + "' (1 to 82)";
    }
    numbers.push_back(number);
  }
  if (!options.error.empty()) return SubcommandUsage(err, "errors", options.error);
  std::string text;
  if (options.Has("help")) {
    text = kHelp;
  } else if (options.Has("list")) {
    for (const ErrorInfo& info : ErrorCatalogue()) {
      bool wanted = numbers.empty();
      for (int n : numbers) wanted = wanted || n == ToNumber(info.number);
      if (wanted) text += ListLine(info);
    }
  } else if (numbers.empty()) {
    text = ErrorCatalogueText(CatalogueStyle::kTerminal);
  } else {
    for (int n : numbers) {
      text += ErrorSectionText(*FindErrorInfo(static_cast<int16_t>(n)), CatalogueStyle::kTerminal);
    }
    text.pop_back();  // one LF at the end
  }
  const bool written =
      std::fwrite(text.data(), 1, text.size(), out) == text.size() && std::fflush(out) == 0;
  if (!written) {
    std::fputs("grulo errors: cannot write the catalogue\n", err);
    return 1;
  }
  return 0;
}

}  // namespace grulo
