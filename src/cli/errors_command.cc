#include "cli/errors_command.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "checks/error_catalogue.h"
#include "checks/error_catalogue_text.h"
#include "options/help_text.h"
#include "text/number_text.h"

namespace grulo {
namespace {

constexpr OptionDefinition kOptions[] = {{"list", 'l', "", "one line per number"}};

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

const CommandDefinition kErrorsCommand = {
    .name = "grulo errors",
    .operands = "[NUMBER...]",
    .max_operands = kAnyNumber,
    .summary = "prints the catalogue of the error numbers",
    .description =
        "Prints the catalogue of the error numbers 1 to 82 (only the NUMBERs given,\n"
        "if any): for each, whether it blocks the grouping, the field it concerns\n"
        "with its columns, and what the rule says. The whole catalogue is\n"
        "docs/errors.md.\n",
    .options = kOptions,
    .run = RunErrorsCommand,
};

int RunErrorsCommand(int argc, char** argv, std::FILE* out, std::FILE* err) {
  ParsedOptions options = ParseOptions(kErrorsCommand, argc, argv, 2);
  const int handled = HandleParsedOptions(kErrorsCommand, options, out, err);
  if (handled >= 0) return handled;
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
  if (!options.error.empty()) return PrintUsageError(err, kErrorsCommand, options.error);
  std::string text;
  if (options.Has("list")) {
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
  if (!PrintText(out, text)) return PrintFailure(err, kErrorsCommand, "cannot write the catalogue");
  return 0;
}

}  // namespace grulo
