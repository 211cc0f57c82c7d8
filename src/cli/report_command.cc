#include "cli/report_command.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "batch/batch_driver.h"
#include "config/ini_file.h"
#include "io/line_reader.h"
#include "config/run_config.h"
#include "io/paths.h"
#include "cli/report_target.h"
#include "options/help_text.h"
#include "platform/file_read.h"
#include "platform/file_replacement.h"
#include "platform/files.h"
#include "platform/local_time.h"
#include "report/report_html.h"
#include "report/run_outputs.h"
#include "report/run_report.h"
#include "text/cp1252_text.h"
#include "run/results_commit.h"
#include "text/number_text.h"

namespace grulo {
namespace {


// The temporary file of a page being written, beside it.
constexpr char kReportTempSuffix[] = ".grulo-report-tmp";

constexpr OptionDefinition kOptions[] = {
    {"config", 'c', "FILE",
     "the run's grulo.ini: FicEnt is the input, RepSor and the input's name give the .grp "
     "and .err files, and R\xC3\xA9sultats the counters (default: grulo.ini beside grulo, unless "
     "--input, --grp and --err are all given)"},
    {"input", 'i', "FILE", "the run's input"},
    {"grp", 0, "FILE", "the run's .grp file"},
    {"err", 0, "FILE", "the run's .err file"},
    {"output", 'o', "FILE",
     "the page ('-': standard output; default: beside the .err file, with the extension "
     ".html)"},
};

int Usage(std::FILE* err, const std::string& message) {
  return PrintUsageError(err, kReportCommand, message);
}

int Failure(std::FILE* err, const std::string& message) {
  return PrintFailure(err, kReportCommand, message);
}

bool ReadWhole(const std::string& path, std::string* text) {
  return ReadWholeFile(path, ReadRules{.regular_only = false}, text).ok();
}

// A moment as local "YYYY-MM-DD HH:MM"; "" when the system cannot tell.
std::string LocalTime(int64_t seconds) {
  LocalDay local;
  if (!LocalDayOf(seconds, &local)) return "";
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", local.year, local.month,
                local.day, local.hour, local.minute);
  return text;
}

// When the file was last written, "" when unknown.
std::string ModifiedAt(const std::string& path) {
  FileInfo info;
  if (!GetFileInfo(path, &info).ok() || info.type == FileInfo::kMissing || info.modified == 0) {
    return "";
  }
  return LocalTime(info.modified);
}

// The page a run's report goes to by default: the .err file's path with
// .html for its extension.
std::string DefaultPage(const std::string& err_path) {
  const size_t dot = err_path.find_last_of('.');
  const size_t directory = DirectoryPart(err_path).size();
  return (dot != std::string::npos && dot >= directory ? err_path.substr(0, dot) : err_path) +
         ".html";
}

// The page checked before anything is read: 0 when it may be written, 2
// when it is refused (a file of the run, or no page of grulo report), 1
// when its directory does not take it; `*message` then says why.
int CheckPage(const std::string& page, const std::vector<RunFile>& run_files,
              std::string* message) {
  Status status = CheckReportTarget(page, run_files);
  if (!status.ok()) {
    *message = status.message();
    return status.code() == Status::kInvalidArgument ? 2 : 1;
  }
  status = CheckReportWritable(page);
  if (!status.ok()) *message = status.message();
  return status.ok() ? 0 : 1;
}

bool ReadCounter(const IniFile& config, const char* key, int64_t* value) {
  const std::string text = config.GetValue(kResultsSection, key, "");
  bool digits = !text.empty() && text.size() < 19;
  for (char c : text) digits = digits && IsDigit(c);
  if (digits) *value = std::stoll(text);
  return digits;
}

}  // namespace

const CommandDefinition kReportCommand = {
    .name = "grulo report",
    .summary = "writes the HTML report of a run from its files",
    .description =
        "Writes the report of a run as one HTML page (no script, no network,\n"
        "printable): the counters, the groups as a bar chart, the error numbers\n"
        "ranked with their meaning, the format problems, failed walks and table\n"
        "problems, and the first rejected summaries. The run is named by its\n"
        "configuration, or by its files (--input, --grp and --err).\n",
    .options = kOptions,
    .epilogue = "See docs/report.md.\n",
    .run = RunReportCommand,
};

int CheckReportPage(const std::string& config_path, const std::string& page,
                    std::string* message) {
  IniFile config;
  if (!config.Load(config_path).ok()) return 0;  // the run says why
  const std::string fic_ent = config.GetValue(kGeneralSection, "FicEnt", "");
  const std::string stem =
      OutputStem(config.GetValue(kGeneralSection, "RepSor", ""), InputBaseName(fic_ent));
  std::vector<RunFile> run_files = RunFilesOf(fic_ent, stem + ".grp", stem + ".err");
  AddConfigFiles(config_path, config.GetValue(kGeneralSection, "RepTab", ""), &run_files);
  return CheckPage(page, run_files, message);
}

int RunReportCommand(int argc, char** argv, std::FILE* out, std::FILE* err) {
  ParsedOptions options = ParseOptions(kReportCommand, argc, argv, 2);
  const int handled = HandleParsedOptions(kReportCommand, options, out, err);
  if (handled >= 0) return handled;

  RunInfo info;
  const bool files_given = options.Has("input") && options.Has("grp") && options.Has("err");
  IniFile config;
  bool counters_known = false;
  RunCounters written;
  if (!files_given || options.Has("config")) {
    info.config_path =
        options.Has("config") ? options.Value("config") : ConfigPath(argc > 0 ? argv[0] : nullptr);
    Status loaded = config.Load(info.config_path);
    if (!loaded.ok()) {
      return Failure(err, "cannot read the configuration " + Quoted(info.config_path) + ": " +
                              loaded.message() + " (or give --input, --grp and --err)");
    }
    // A run stopped while it put its results in place may have left them
    // apart from each other: the next run finishes that first.
    if (CommitPending(ResolveLinks(info.config_path))) {
      return Failure(err, "the last run of " + Quoted(info.config_path) +
                              " was stopped while it put its results in place, so they may not "
                              "agree with each other; run grulo again (it finishes that first), "
                              "then the report");
    }
    const std::string fic_ent = config.GetValue(kGeneralSection, "FicEnt", "");
    const std::string stem =
        OutputStem(config.GetValue(kGeneralSection, "RepSor", ""), InputBaseName(fic_ent));
    info.input_path = fic_ent;
    info.grp_path = stem + ".grp";
    info.err_path = stem + ".err";
    counters_known = ReadCounter(config, "NbLus", &written.NbLus) &&
                     ReadCounter(config, "NbErrBloq", &written.NbErrBloq) &&
                     ReadCounter(config, "NbErrNonBloq", &written.NbErrNonBloq) &&
                     ReadCounter(config, "NbErrForm", &written.NbErrForm);
  }
  info.input_path = options.Value("input", info.input_path);
  info.grp_path = options.Value("grp", info.grp_path);
  info.err_path = options.Value("err", info.err_path);
  info.run_date = ModifiedAt(info.err_path);

  // The page may replace no file of the run, nor anything but an earlier
  // page: checked before anything is read.
  std::string target = options.Value("output");
  if (target.empty()) target = DefaultPage(info.err_path);
  if (target != "-") {
    std::vector<RunFile> run_files = RunFilesOf(info.input_path, info.grp_path, info.err_path);
    if (!info.config_path.empty()) {
      AddConfigFiles(info.config_path, config.GetValue(kGeneralSection, "RepTab", ""),
                     &run_files);
    }
    std::string why;
    const int refused = CheckPage(target, run_files, &why);
    if (refused == 2) return Usage(err, why);
    if (refused != 0) return Failure(err, why);
  }

  std::string grp_text, err_text;
  if (!ReadWhole(info.grp_path, &grp_text)) {
    return Failure(err, "cannot read the .grp file " + Quoted(info.grp_path));
  }
  if (!ReadWhole(info.err_path, &err_text)) {
    return Failure(err, "cannot read the .err file " + Quoted(info.err_path));
  }
  std::unique_ptr<FileSource> input;
  Status opened = FileSource::Open(info.input_path, &input);
  if (!opened.ok()) {
    return Failure(err, "cannot open the input " + Quoted(info.input_path) + ": " +
                            opened.message());
  }
  LineReader reader(input.get());
  if (!reader.Start()) return Failure(err, "cannot read the input " + Quoted(info.input_path));

  RunReport report(info);
  if (counters_known) report.SetWrittenCounters(written);
  RunOutputsReader outputs(grp_text, err_text);
  InputLine line;
  LineReader::Status status;
  while ((status = reader.Next(&line)) == LineReader::kLine) {
    outputs.AddInputLine(line.text, line.length, &report);
  }
  if (status == LineReader::kError) {
    return Failure(err, "cannot read the input " + Quoted(info.input_path));
  }

  const std::string page = ReportHtml(report, LocalTime(WallClockSeconds()), outputs.Mismatches());
  if (target == "-") {
    const bool written_out =
        std::fwrite(page.data(), 1, page.size(), out) == page.size() && std::fflush(out) == 0;
    return written_out ? 0 : Failure(err, "cannot write the page");
  }
  // Through the platform layer, as the batch writes its outputs: the path's
  // Windows-1252 bytes name the file on every system, a reader sees the
  // previous page or the new one, never a part, and a link planted at the
  // name since the check is replaced, its target untouched.
  const Status saved = ReplaceFileAtomically(target, page, kReportTempSuffix, TempNaming::kUnique);
  if (!saved.ok()) {
    return Failure(err, "cannot write the page " + Quoted(target) + ": " + saved.message());
  }
  if (!options.Has("output")) PrintText(err, "grulo report: wrote " + Quoted(target) + "\n");
  return 0;
}

}  // namespace grulo
