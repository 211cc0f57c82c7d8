#include "cli/command_line.h"

#include <string_view>

#include "cli/errors_command.h"
#include "cli/explain_command.h"
#include "cli/group_command.h"
#include "cli/compare_command.h"
#include "cli/report_command.h"

namespace grulo {
namespace {

std::string_view CheckThreads(std::string_view value) {
  int threads = 0;
  for (char c : value) {
    if (c < '0' || c > '9' || threads > kMaxThreads) return "a number of threads from 1 to 256";
    threads = threads * 10 + (c - '0');
  }
  return threads >= 1 && threads <= kMaxThreads ? "" : "a number of threads from 1 to 256";
}

constexpr OptionDefinition kOptions[] = {
    {"config", 'c', "FILE",
     "the configuration FILE instead of grulo.ini beside the program (the counters are "
     "written back into it)"},
    {"threads", 'j', "N",
     "group on N threads, 1 to 256 (default: the cores available); the outputs are the same "
     "for every N",
     CheckThreads},
    {"report", 0, "PAGE", "after a complete run, write its report (one HTML page) to PAGE"},
    {"strict", 0, "", "exit with status 4 when summaries met table problems or failed walks "
                      "(the outputs and counters are written all the same)"},
};

constexpr const CommandDefinition* kSubcommands[] = {
    &kExplainCommand, &kReportCommand, &kErrorsCommand, &kGroupCommand, &kCompareCommand};

#ifdef _WIN32
#define GRULO_SAMPLE_TABLES "C:\\grulo\\tables\\"
#define GRULO_SAMPLE_INPUT "C:\\grulo\\in\\week12.rss"
#define GRULO_SAMPLE_OUTPUT "C:\\grulo\\out"
#define GRULO_DOCS                                                                          \
  "Documentation: README-Windows.txt and docs\\running.md beside grulo.exe (the\n"          \
  "configuration, the messages, troubleshooting).\n"
#else
#define GRULO_SAMPLE_TABLES "/srv/grulo/tables/"
#define GRULO_SAMPLE_INPUT "/srv/grulo/in/week12.rss"
#define GRULO_SAMPLE_OUTPUT "/srv/grulo/out"
#define GRULO_DOCS                                                                          \
  "Documentation: man grulo; running.md (the configuration, the messages,\n"               \
  "troubleshooting) in " GRULO_DOC_DIR ",\n"                                                \
  "or docs/ in the source tree.\n"
#endif

constexpr char kEpilogue[] =
    "Without --config, grulo reads grulo.ini beside the program. A minimal one,\n"
    "saved in Windows-1252 or UTF-8 (RepTab ends with a separator):\n"
    "\n"
    "  [G\xC3\xA9n\xC3\xA9ral]\n"
    "  RepTab=" GRULO_SAMPLE_TABLES "\n"
    "  FicEnt=" GRULO_SAMPLE_INPUT "\n"
    "  RepSor=" GRULO_SAMPLE_OUTPUT "\n"
    "\n"
    "With it grulo writes week12.grp and week12.err into RepSor, and the counters\n"
    "NbLus, NbErrBloq, NbErrNonBloq and NbErrForm into section [R\xC3\xA9sultats].\n"
    "\n"
    "Exit status: 0 complete run; 1 the run failed (the reason is on standard\n"
    "error; the previous outputs and counters are left as they were); 2 usage\n"
    "error (nothing was read or written); 3 with --report, a complete run whose\n"
    "page could not be written; 4 with --strict, a complete run whose\n"
    "summaries met table problems or failed walks; 5 a complete run whose\n"
    "results the next run finishes putting in place; 128+N stopped by signal N\n"
    "(130: Ctrl-C).\n"
    "\n" GRULO_DOCS;

}  // namespace

const CommandDefinition kGruloCommand = {
    .name = "grulo",
    .description = "Checks and groups the weekly summaries of the input file named in the\n"
                   "configuration, writes the .grp and .err files and the counters.\n",
    .options = kOptions,
    .epilogue = kEpilogue,
    .version = GRULO_VERSION,
    .commands = kSubcommands,
};

ParsedOptions ParseGruloOptions(std::span<const std::string> args) {
  ParsedOptions parsed = ParseOptions(kGruloCommand, args);
  if (parsed.operands.size() == 1 && FindCommand(kGruloCommand, parsed.operands[0]) != nullptr) {
    parsed.error = "the command '" + parsed.operands[0] + "' comes first: grulo " +
                   parsed.operands[0] + " ...";
  }
  return parsed;
}

CommandLine BatchCommandLine(const ParsedOptions& parsed) {
  CommandLine line;
  line.config_path = parsed.Value("config");
  line.threads = parsed.Has("threads") ? std::stoi(parsed.Value("threads")) : 0;
  line.report_path = parsed.Value("report");
  line.strict = parsed.Has("strict");
  return line;
}

}  // namespace grulo
