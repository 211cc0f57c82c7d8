#include "cli/explain_command.h"

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "calendar/calendar.h"
#include "calendar/clock.h"
#include "batch/batch_driver.h"
#include "config/ini_file.h"
#include "io/line_reader.h"
#include "io/paths.h"
#include "config/run_config.h"
#include "calendar/run_clock.h"
#include "explain/explanation.h"
#include "explain/explanation_text.h"
#include "grouper/line_format.h"
#include "grouper/table_session.h"
#include "options/help_text.h"
#include "text/cp1252_text.h"
#include "text/number_text.h"

namespace grulo {
namespace {

bool ValidDateText(std::string_view text) {
  bool digits = text.size() == 8;
  for (char c : text) digits = digits && IsDigit(c);
  return digits && DateIsValid(text) == 0;
}

std::string_view CheckLineNumber(std::string_view value) {
  bool digits = value.size() < 10;
  for (char c : value) digits = digits && IsDigit(c);
  return digits && std::atoll(std::string(value).c_str()) >= 1 ? "" : "a line number from 1";
}

std::string_view CheckDate(std::string_view value) {
  return ValidDateText(value) ? "" : "a date DDMMYYYY";
}

constexpr OptionDefinition kOptions[] = {
    {"line", 'n', "N",
     "line N (from 1) of the input file: --input, or FicEnt of the configuration",
     CheckLineNumber},
    {"input", 'i', "FILE", "the input file for --line (line 1 without --line)"},
    {"tables", 't', "DIR", "the table directory (default: RepTab of the configuration)"},
    {"config", 'c', "FILE", "the configuration (default: grulo.ini beside grulo)"},
    {"today", 0, "DDMMYYYY",
     "the current date of the checks (default: $GRULO_TODAY, else the computer's clock)",
     CheckDate},
    {"json", 0, "", "one JSON document instead of text"},
};

int Usage(std::FILE* err, const std::string& message) {
  return PrintUsageError(err, kExplainCommand, message);
}

int Failure(std::FILE* err, const std::string& message) {
  return PrintFailure(err, kExplainCommand, message);
}

// The line to explain and where it came from.
struct SourceLine {
  std::string source;
  std::string text;
  uint64_t length = 0;
  int64_t line_number = 1;
  int64_t well_formed_before = 0;
};

// Reads line `wanted` (from 1) of a file (the standard input when
// `standard_input`, `path` then naming it) the way the batch reads its input,
// counting the well-formed lines before it. False with `why` when the file
// cannot be read or is shorter.
bool ReadLine(const std::string& path, bool standard_input, int64_t wanted, SourceLine* line,
              std::string* why) {
  std::unique_ptr<FileSource> file;
  Status opened =
      standard_input ? FileSource::OpenStandardInput(&file) : FileSource::Open(path, &file);
  if (!opened.ok()) {
    *why = "cannot open " + Quoted(path) + ": " + opened.message();
    return false;
  }
  LineReader reader(file.get());
  if (!reader.Start()) {
    *why = "cannot read " + Quoted(path);
    return false;
  }
  InputLine input;
  int64_t number = 0;
  LineReader::Status status;
  while ((status = reader.Next(&input)) == LineReader::kLine) {
    if (++number == wanted) {
      line->text = std::string(input.text);
      line->length = input.length;
      line->line_number = number;
      return true;
    }
    if (RecognizeFormat(input.text, input.length) == LineFormat::kWellFormed) {
      ++line->well_formed_before;
    }
  }
  *why = status == LineReader::kError
             ? "cannot read " + Quoted(path)
             : Quoted(path) + " has " + std::to_string(number) + " line" +
                   (number == 1 ? "" : "s") +
                   ", no line " + std::to_string(wanted);
  return false;
}

}  // namespace

const CommandDefinition kExplainCommand = {
    .name = "grulo explain",
    .operands = "[SUMMARY | -]",
    .max_operands = 1,
    .summary = "explains one summary: fields, errors, lookups, tree walk, result",
    .description =
        "Explains how grulo checks and groups one summary: its fields, every error\n"
        "with what the rule says, the table lookups, the tree walk node by node, the\n"
        "result, and the exact .grp line or .err entry the batch writes for it.\n"
        "\n"
        "The summary is SUMMARY, the line itself as one argument; '-', the first\n"
        "line of standard input; or line N of the input file with --line N.\n",
    .options = kOptions,
    .epilogue = "See docs/explain.md for the text and the JSON document.\n",
    .run = RunExplainCommand,
};

int RunExplainCommand(int argc, char** argv, std::FILE* out, std::FILE* err) {
  ParsedOptions options = ParseOptions(kExplainCommand, argc, argv, 2);
  const int handled = HandleParsedOptions(kExplainCommand, options, out, err);
  if (handled >= 0) return handled;
  const bool from_file = options.Has("input") || options.Has("line");
  if (from_file && !options.operands.empty()) {
    return Usage(err, "give the summary as an argument or with --line, not both");
  }
  if (!from_file && options.operands.empty()) {
    return Usage(err, "no summary: give it as an argument, '-' for standard input, or --line N");
  }
  const int64_t wanted = options.Has("line") ? std::atoll(options.Value("line").c_str()) : 1;
  const std::string today_text = options.Value("today");

  // The configuration, read when it gives something the options do not.
  const bool needs_config = !options.Has("tables") || (from_file && !options.Has("input"));
  IniFile config;
  const std::string config_path =
      options.Has("config") ? options.Value("config") : ConfigPath(argc > 0 ? argv[0] : nullptr);
  if (needs_config) {
    Status loaded = config.Load(config_path);
    if (!loaded.ok()) {
      return Failure(err, "cannot read the configuration " + Quoted(config_path) + ": " +
                              loaded.message() +
                              " (give --tables, and --input with --line, to do without it)");
    }
  }

  SourceLine line;
  std::string why;
  if (from_file) {
    const std::string path = options.Has("input") ? options.Value("input")
                                                  : config.GetValue(kGeneralSection, "FicEnt", "");
    line.source = path;
    if (!ReadLine(path, false, wanted, &line, &why)) return Failure(err, why);
  } else if (options.operands[0] == "-") {
    line.source = "standard input";
    if (!ReadLine(line.source, true, 1, &line, &why)) {
      return Failure(err, "no line on standard input");
    }
  } else {
    line.source = "the command line";
    const std::string& text = options.operands[0];
    line.text = text.substr(0, text.find('\0'));
    line.length = line.text.size();
  }

  std::string rep_tab;
  if (options.Has("tables")) {
    rep_tab = options.Value("tables");
    if (!rep_tab.empty() && rep_tab.back() != '/') rep_tab += '/';
  } else {
    rep_tab = config.GetValue(kGeneralSection, "RepTab", "");
  }

  DateText today;
  if (options.Has("today")) {
    std::unique_ptr<Clock> clock = MakeRunClock(today_text.c_str());
    TodayDate(*clock, &today);
  } else {
    std::unique_ptr<Clock> clock = MakeRunClock(std::getenv(kTodayVariable));
    TodayDate(*clock, &today);
  }

  // The run's table session, replayed over the summaries before the line.
  TableSession tables(TableSource::InDirectory(rep_tab));
  tables.Replay(line.well_formed_before);
  Explanation explanation = ExplainLine(&tables, line.text, line.length, today, line.line_number);
  explanation.source = line.source;
  // Paths and the configuration's texts enter the explanation as they are;
  // PrintText makes the whole of it UTF-8.
  const std::string text =
      options.Has("json") ? ExplanationJson(explanation) : ExplanationText(explanation);
  return PrintText(out, text) ? 0 : Failure(err, "cannot write the explanation");
}

}  // namespace grulo
