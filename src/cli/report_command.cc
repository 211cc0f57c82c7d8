#include "cli/report_command.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "calendar/calendar.h"
#include "calendar/run_clock.h"
#include "config/ini_file.h"
#include "config/run_config.h"
#include "io/paths.h"
#include "cli/report_target.h"
#include "options/help_text.h"
#include "platform/file_read.h"
#include "platform/file_replacement.h"
#include "platform/files.h"
#include "platform/local_time.h"
#include "platform/process.h"
#include "io/output_file.h"
#include "report/report_html.h"
#include "report/group_labels.h"
#include "report/previous_report.h"
#include "report/rejected_list.h"
#include "report/run_regroup.h"
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
    {"tables", 't', "DIR", "the run's table directory (overrides RepTab)"},
    {"today", 0, "DDMMYYYY",
     "the run's date, the current date of its checks (default: $GRULO_TODAY, else the day "
     "the .err file was written)"},
    {"rejected", 0, "FILE",
     "also write the summaries with an error to FILE, one CSV row each (UTF-8, a header row)"},
    {"previous", 0, "FILE",
     "the previous run (last week's): its configuration (grulo.ini), whose page is made "
     "first, or an earlier page of grulo report; the page compares its counters and groups "
     "with it"},
    {"labels", 0, "FILE",
     "the groups' names, a CSV file of rows category,number,label (UTF-8), shown on the "
     "page"},
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

// A DDMMYYYY text as a date; false when it is not eight digits of a valid
// date.
bool ParseToday(std::string_view text, CivilDate* date) {
  bool digits = text.size() == 8;
  for (char c : text) digits = digits && IsDigit(c);
  if (!digits || DateIsValid(text) != 0) return false;
  const SplitDateResult d = SplitDate(text);
  *date = CivilDate{d.year, d.month, d.day};
  return true;
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

// When the file was last written (seconds since the epoch), 0 when unknown.
int64_t ModifiedSeconds(const std::string& path) {
  FileInfo info;
  if (!GetFileInfo(path, &info).ok() || info.type == FileInfo::kMissing) return 0;
  return info.modified;
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

// DDMMYYYY as DD/MM/YYYY, for a person.
std::string ShownDate(const char* ddmmyyyy) {
  const std::string_view d(ddmmyyyy, 8);
  return std::string(d.substr(0, 2)) + "/" + std::string(d.substr(2, 2)) + "/" +
         std::string(d.substr(4, 4));
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
    .summary = "writes the HTML report of a finished run",
    .description =
        "Writes the report of a run as one HTML page (no script, no network,\n"
        "printable): the counters, the weeks and establishments, the groups as a\n"
        "bar chart, the error numbers ranked with their meaning, the format\n"
        "problems, failed walks and table problems, and the first rejected\n"
        "summaries. The run is named by its configuration, or by its files\n"
        "(--input, --grp, --err and --tables). Its input is grouped again with its\n"
        "tables and date, and the page is made only when that gives its .grp and\n"
        ".err files byte for byte.\n",
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

std::unique_ptr<RunReport> MakeRunReport(const std::string& config_path) {
  RunInfo info;
  info.config_path = config_path;
  IniFile config;
  if (config.Load(config_path).ok()) {
    info.input_path = config.GetValue(kGeneralSection, "FicEnt", "");
    const std::string stem =
        OutputStem(config.GetValue(kGeneralSection, "RepSor", ""), InputBaseName(info.input_path));
    info.grp_path = stem + ".grp";
    info.err_path = stem + ".err";
    info.table_dir = config.GetValue(kGeneralSection, "RepTab", "");
  }
  info.run_date = LocalTime(WallClockSeconds());
  DateText today;
  std::unique_ptr<Clock> clock = MakeRunClock(std::getenv(kTodayVariable));
  TodayDate(*clock, &today);
  info.checks_date = ShownDate(today.data());
  return std::make_unique<RunReport>(std::move(info));
}

Status WriteReportPage(const RunReport& report, const std::string& page) {
  // Through the platform layer, as the batch writes its outputs: the path's
  // Windows-1252 bytes name the file on every system, a reader sees the
  // previous page or the new one, never a part, and a link planted at the
  // name since the check is replaced, its target untouched.
  const std::string html = ReportHtml(report, LocalTime(WallClockSeconds()));
  const Status saved = ReplaceFileAtomically(page, html, kReportTempSuffix, TempNaming::kUnique);
  if (!saved.ok()) {
    return Status::IoError("cannot write the report page " + Quoted(page), saved.message());
  }
  return Status();
}

namespace {

// Whether a file's text is a page (HTML) rather than a configuration: its
// first character that is not blank is '<'.
bool LooksLikePage(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t\r\n\xEF\xBB\xBF");
  return first != std::string_view::npos && text[first] == '<';
}

int MakeReport(int argc, char** argv, std::FILE* out, std::FILE* err, std::string* page_text);

// The page of the previous run of the configuration `config_path`, made as
// "grulo report --config CONFIG -o -" makes it, into `html`; 0, or the
// command's status after it has said why. Its outputs named instead of its
// configuration are refused: without the run's input and tables they do not
// give its outcomes.
int PreviousRunPage(const char* program, const std::string& config_path, std::FILE* err,
                    std::string* html) {
  const std::string_view path(config_path);
  for (std::string_view output : {".grp", ".err", ".GRP", ".ERR"}) {
    if (path.ends_with(output)) {
      return Usage(err, "--previous: " + Quoted(config_path) +
                            " is an output of a run; name that run's configuration (its "
                            "grulo.ini) or its report page");
    }
  }
  std::string program_text = program != nullptr ? program : "grulo";
  std::string command = "report", config_option = "--config", output_option = "-o", to = "-";
  std::string config = config_path;
  char* args[] = {program_text.data(), command.data(), config_option.data(), config.data(),
                  output_option.data(), to.data(), nullptr};
  if (MakeReport(6, args, nullptr, err, html) != 0) {
    return Failure(err, "the previous run " + Quoted(config_path) +
                            " gives no page to compare with (above)");
  }
  return 0;
}

// The command; with `page_text`, a page for standard output ("-o -") goes
// there instead of `out`.
int MakeReport(int argc, char** argv, std::FILE* out, std::FILE* err, std::string* page_text) {
  ParsedOptions options = ParseOptions(kReportCommand, argc, argv, 2);
  const int handled = HandleParsedOptions(kReportCommand, options, out, err);
  if (handled >= 0) return handled;

  CivilDate given_today{};
  if (options.Has("today") && !ParseToday(options.Value("today"), &given_today)) {
    return Usage(err, "--today: " + Quoted(options.Value("today")) +
                          " is not a date DDMMYYYY (for instance 07122026)");
  }
  const bool files_given = options.Has("input") && options.Has("grp") && options.Has("err");
  if (files_given && !options.Has("config") && !options.Has("tables")) {
    return Usage(err, "the report groups the run's input again with the run's tables: give "
                      "--tables DIR with --input, --grp and --err (or --config)");
  }
  RunInfo info;
  IniFile config;
  bool counters_known = false;
  RunCounters written;
  if (!files_given || options.Has("config")) {
    info.config_path =
        options.Has("config") ? options.Value("config") : ConfigPath(argc > 0 ? argv[0] : nullptr);
    Status loaded = config.Load(info.config_path);
    if (!loaded.ok()) {
      return Failure(err, "cannot read the configuration " + Quoted(info.config_path) + ": " +
                              loaded.message() + " (or give --input, --grp, --err and --tables)");
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
    info.table_dir = config.GetValue(kGeneralSection, "RepTab", "");
    counters_known = ReadCounter(config, "NbLus", &written.NbLus) &&
                     ReadCounter(config, "NbErrBloq", &written.NbErrBloq) &&
                     ReadCounter(config, "NbErrNonBloq", &written.NbErrNonBloq) &&
                     ReadCounter(config, "NbErrForm", &written.NbErrForm);
  }
  info.input_path = options.Value("input", info.input_path);
  info.grp_path = options.Value("grp", info.grp_path);
  info.err_path = options.Value("err", info.err_path);
  if (options.Has("tables")) {
    info.table_dir = options.Value("tables");
    if (!info.table_dir.empty() && info.table_dir.back() != '/') info.table_dir += '/';
  }
  const int64_t written_at = ModifiedSeconds(info.err_path);
  info.run_date = written_at > 0 ? LocalTime(written_at) : "";

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
    if (options.Has("tables")) AddConfigFiles("", info.table_dir, &run_files);
    std::string why;
    const int refused = CheckPage(target, run_files, &why);
    if (refused == 2) return Usage(err, why);
    if (refused != 0) return Failure(err, why);
  }
  // The list of rejected summaries, checked by the same rules, begun beside
  // its name and put in place only with the page.
  std::unique_ptr<FileReplacement> list_file;
  std::unique_ptr<OutputFile> list_out;
  std::unique_ptr<RejectedList> list;
  const std::string list_path = options.Value("rejected");
  if (options.Has("rejected")) {
    std::vector<RunFile> run_files = RunFilesOf(info.input_path, info.grp_path, info.err_path);
    if (!info.config_path.empty()) {
      AddConfigFiles(info.config_path, config.GetValue(kGeneralSection, "RepTab", ""),
                     &run_files);
    }
    if (options.Has("tables")) AddConfigFiles("", info.table_dir, &run_files);
    if (target != "-") run_files.push_back({target, "the report page"});
    const Status refused = CheckRejectedListTarget(list_path, run_files);
    if (!refused.ok()) {
      return refused.code() == Status::kInvalidArgument ? Usage(err, refused.message())
                                                        : Failure(err, refused.message());
    }
    const Status begun =
        FileReplacement::Begin(list_path, kReportTempSuffix, TempNaming::kUnique, &list_file);
    if (!begun.ok()) {
      return Failure(err, "cannot write the rejected list " + Quoted(list_path) + ": " +
                              begun.message());
    }
    list_out = OutputFile::Into(list_file->file());
    list = std::make_unique<RejectedList>(list_out.get());
  }

  // The earlier page to compare with.
  PreviousReport previous;
  if (options.Has("previous")) {
    const std::string previous_path = options.Value("previous");
    std::string html;
    const Status read =
        ReadWholeFile(previous_path, ReadRules{.max_size = int64_t{256} << 20}, &html);
    if (!read.ok()) {
      return Failure(err, "cannot read the previous report " + Quoted(previous_path) + ": " +
                              read.message());
    }
    if (!LooksLikePage(html)) {
      const int made = PreviousRunPage(argc > 0 ? argv[0] : nullptr, previous_path, err, &html);
      if (made != 0) return made;
    }
    const Status parsed = ParsePreviousReport(previous_path, html, &previous);
    if (!parsed.ok()) return Failure(err, "the previous report " + parsed.message());
  }
  // The groups' names.
  GroupLabels labels;
  if (options.Has("labels")) {
    const std::string labels_path = options.Value("labels");
    std::string csv;
    const Status read = ReadWholeFile(labels_path, ReadRules{.max_size = int64_t{16} << 20}, &csv);
    if (!read.ok()) {
      return Failure(err, "cannot read the labels " + Quoted(labels_path) + ": " + read.message());
    }
    const Status parsed = ParseGroupLabels(Quoted(labels_path), csv, &labels);
    if (!parsed.ok()) return Failure(err, "the labels " + parsed.message());
  }
  // The run's date: given, or the tests' fixed date, or the day its .err
  // file was written, or today.
  RegroupRequest request;
  std::string date_origin;
  if (options.Has("today")) {
    request.today = given_today;
    date_origin = "given by --today";
  } else if (const char* fixed = std::getenv(kTodayVariable);
             fixed != nullptr && ParseToday(fixed, &request.today)) {
    date_origin = std::string("given by $") + kTodayVariable;
  } else {
    LocalDay day;
    if (!LocalDayOf(written_at > 0 ? written_at : WallClockSeconds(), &day)) {
      return Failure(err, "cannot tell the local date: give the run's date with --today DDMMYYYY");
    }
    request.today = CivilDate{day.year, day.month, day.day};
    date_origin = written_at > 0 ? "the day the .err file was written" : "today";
  }
  char shown[16];
  std::snprintf(shown, sizeof shown, "%02d/%02d/%04d", request.today.day, request.today.month,
                request.today.year);
  info.checks_date = shown;

  request.input_path = info.input_path;
  request.grp_path = info.grp_path;
  request.err_path = info.err_path;
  request.table_dir = info.table_dir;
  request.threads = AvailableCores();
  RunReport report(info);
  if (counters_known) report.SetWrittenCounters(written);
  BothObservers both(&report, list.get());
  const Status regrouped =
      RegroupRun(request, list != nullptr ? static_cast<LineObserver*>(&both) : &report);
  if (regrouped.code() == Status::kCorruption) {
    return Failure(err, regrouped.message() + " (the checks as of " + shown + ", " + date_origin +
                            "; the tables of " + Quoted(info.table_dir) +
                            "): no page is made from outputs that another run, other tables or "
                            "another date made; give the run's date with --today DDMMYYYY, or "
                            "write the report during the run with grulo --report PAGE");
  }
  if (!regrouped.ok()) return Failure(err, regrouped.message());

  if (list != nullptr) {
    list_out->Flush();
    Status saved = list_out->status();
    if (saved.ok()) saved = list_file->Finish();
    if (saved.ok()) saved = list_file->Commit();
    if (!saved.ok()) {
      return Failure(err, "cannot write the rejected list " + Quoted(list_path) + ": " +
                              saved.message());
    }
  }
  const std::string page =
      ReportHtml(report, LocalTime(WallClockSeconds()), {},
                 {.labels = options.Has("labels") ? &labels : nullptr,
                  .previous = options.Has("previous") ? &previous : nullptr});
  if (target == "-" && page_text != nullptr) {
    *page_text = page;
    return 0;
  }
  if (target == "-") {
    const bool written_out =
        std::fwrite(page.data(), 1, page.size(), out) == page.size() && std::fflush(out) == 0;
    return written_out ? 0 : Failure(err, "cannot write the page");
  }
  const Status saved = ReplaceFileAtomically(target, page, kReportTempSuffix, TempNaming::kUnique);
  if (!saved.ok()) {
    return Failure(err, "cannot write the page " + Quoted(target) + ": " + saved.message());
  }
  if (!options.Has("output")) PrintText(err, "grulo report: wrote " + Quoted(target) + "\n");
  return 0;
}

}  // namespace

int RunReportCommand(int argc, char** argv, std::FILE* out, std::FILE* err) {
  return MakeReport(argc, argv, out, err, nullptr);
}

}  // namespace grulo
