// The WebAssembly module's functions, called by the JavaScript of grulo.mjs
// (web/js/api.js). They take and give plain pointers and numbers: texts for
// people as UTF-8 JSON, the run's bytes as they are. Each handle is owned by
// the JavaScript object that made it, which frees it.
//
// A whole input goes through the batch engine (batch/batch_engine.h) with the
// caller's table bytes in memory (a table not given is a missing file). The
// tables opened for single lines come as files of the module's memory file
// system, written there by the JavaScript, for the library's grouping and
// for the table session of the explanations.

#include <emscripten.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"
#include "batch/batch_engine.h"
#include "calendar/calendar.h"
#include "calendar/clock.h"
#include "explain/explanation.h"
#include "explain/explanation_text.h"
#include "explain/json_writer.h"
#include "grouper/table_session.h"
#include "grouper/table_source.h"
#include "grulo/grouper.h"
#include "io/line_reader.h"
#include "io/output_file.h"
#include "platform/files.h"
#include "report/group_labels.h"
#include "report/previous_report.h"
#include "report/rejected_list.h"
#include "report/report_html.h"
#include "report/run_outputs.h"
#include "report/run_report.h"
#include "text/cp1252_text.h"

namespace grulo {
namespace {

// Clocks of the caller's date DDMMYYYY, or of the computer's local date
// when `today` is empty.
ClockFactory ClocksFor(const char* today) {
  if (today[0] == '\0') return [] { return std::unique_ptr<Clock>(new SystemClock()); };
  const std::string_view text(today);
  CivilDate date{};
  date.day = (text[0] - '0') * 10 + (text[1] - '0');
  date.month = (text[2] - '0') * 10 + (text[3] - '0');
  date.year = (text[4] - '0') * 1000 + (text[5] - '0') * 100 + (text[6] - '0') * 10 + (text[7] - '0');
  return FixedClocks(date);
}

// The bytes of a table from JavaScript; none (a missing file) for a
// negative length.
std::optional<std::vector<uint8_t>> TableBytes(const uint8_t* bytes, int length) {
  if (length < 0) return std::nullopt;
  return std::vector<uint8_t>(bytes, bytes + length);
}

// A text for JavaScript, which stays valid until the next call on its owner.
const char* Out(std::string* slot, std::string text) {
  *slot = std::move(text);
  return slot->c_str();
}

// Where the bytes of a run go and come from: the JavaScript object that
// called grulo_run (Module.gruloIo), synchronously.
EM_JS(int, JsRead, (char* buffer, int n), { return Module["gruloIo"].read(buffer, n); });
EM_JS(void, JsWrite, (int which, const char* data, int n),
      { Module["gruloIo"].write(which, data, n); });
EM_JS(void, JsProgress, (double lines, double bytes), { Module["gruloIo"].progress(lines, bytes); });

class JsSource final : public ByteSource {
 public:
  int64_t Read(char* buffer, size_t n) override {
    const int got = JsRead(buffer, static_cast<int>(n));
    if (got > 0) bytes_read_ += got;
    return got;
  }
  int64_t bytes_read() const { return bytes_read_; }

 private:
  int64_t bytes_read_ = 0;
};

// An output whose bytes go to the JavaScript sink `which` (0 .grp, 1 .err).
class JsSink final : public WritableFile {
 public:
  explicit JsSink(int which) : which_(which) {}
  Status Append(std::string_view data) override {
    JsWrite(which_, data.data(), static_cast<int>(data.size()));
    return Status();
  }
  Status Sync() override { return Status(); }
  Status Close() override { return Status(); }

 private:
  int which_;
};

}  // namespace

// The tables opened once for single lines: the library's table set for
// group, and the batch's view of the same files for explain.
struct WebTables {
  grulo::Tables tables;
  grulo::Grouper grouper{grulo::Date{}};
  std::unique_ptr<TableSession> session;  // open, for the explanations
  std::string text;                       // the last answer
};

}  // namespace grulo

using grulo::WebTables;

extern "C" {

// Opens the three tables of `directory` (ending with '/'); the handle says
// why when they cannot all be opened with one version.
EMSCRIPTEN_KEEPALIVE WebTables* grulo_tables_open(const char* directory) {
  auto* tables = new WebTables;
  tables->tables = grulo::Tables::Open(directory);
  if (!tables->tables.ok()) return tables;
  // The session opens its tables as the first summary of a run would, so
  // that the files may go once this returns.
  tables->session = std::make_unique<grulo::TableSession>(grulo::TableSource::InDirectory(directory));
  tables->session->Replay(1);
  return tables;
}

// Why the tables could not be opened, one problem a line; "" when they were.
EMSCRIPTEN_KEEPALIVE const char* grulo_tables_error(WebTables* tables) {
  return tables->tables.error().c_str();
}

EMSCRIPTEN_KEEPALIVE const char* grulo_tables_version(WebTables* tables) {
  return grulo::Out(&tables->text, grulo::Cp1252ToUtf8(tables->tables.version()));
}

EMSCRIPTEN_KEEPALIVE void grulo_tables_free(WebTables* tables) { delete tables; }

// Groups one line (`length` bytes, without its line end) with today's date
// DDMMYYYY (the local date when empty): a JSON object of the library's
// outcome, with the names of the Python module's Result.
EMSCRIPTEN_KEEPALIVE const char* grulo_tables_group(WebTables* tables, const char* line,
                                                    int length, const char* today) {
  if (today[0] == '\0') {
    tables->grouper.UseLocalClock();
  } else {
    tables->grouper.SetToday(grulo::Date{(today[0] - '0') * 10 + (today[1] - '0'),
                                         (today[2] - '0') * 10 + (today[3] - '0'),
                                         std::atoi(today + 4)});
  }
  const grulo::Outcome& outcome =
      tables->grouper.Group(tables->tables, std::string_view(line, static_cast<size_t>(length)));
  static const char* const kFormats[] = {"WELL_FORMED", "UNREADABLE", "UNKNOWN_FORMAT",
                                         "SIZE_PROBLEM"};
  grulo::JsonWriter json;
  json.BeginObject();
  json.Key("format");
  json.String(kFormats[static_cast<int>(outcome.format())]);
  json.Key("category");
  json.Int(outcome.result().GroupCategory);
  json.Key("number");
  json.Int(outcome.result().GroupNumber);
  json.Key("return_code");
  json.Int(outcome.result().GroupReturn);
  json.Key("version");
  json.String(grulo::Cp1252ToUtf8(outcome.version()));
  json.Key("errors");
  json.BeginArray();
  for (int i = 0; i < outcome.error_count(); ++i) {
    json.BeginArray();
    json.Int(outcome.error(i).number);
    json.Bool(outcome.error(i).blocking);
    json.EndArray();
  }
  json.EndArray();
  json.Key("blocked");
  json.Bool(outcome.blocked());
  json.EndObject();
  return grulo::Out(&tables->text, json.Take());
}

// Explains one line as `grulo explain --json` does for a line given alone.
EMSCRIPTEN_KEEPALIVE const char* grulo_tables_explain(WebTables* tables, const char* line,
                                                      int length, const char* today) {
  std::string_view text(line, static_cast<size_t>(length));
  text = text.substr(0, text.find('\0'));
  grulo::DateText date{};
  std::unique_ptr<grulo::Clock> clock = grulo::ClocksFor(today)();
  grulo::TodayDate(*clock, &date);
  grulo::Explanation explanation =
      grulo::ExplainLine(tables->session.get(), text, text.size(), date, 1);
  explanation.source = "the command line";
  explanation.table_directory.clear();
  return grulo::Out(&tables->text, grulo::ExplanationJson(explanation));
}

}  // extern "C"

namespace grulo {
namespace {

// A text for JavaScript that the JavaScript frees.
char* Handed(const std::string& text) {
  char* copy = static_cast<char*>(std::malloc(text.size() + 1));
  if (copy != nullptr) std::memcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

std::string CountersJson(const RunCounters& counters) {
  JsonWriter json;
  json.BeginObject();
  json.Key("NbLus");
  json.Int(counters.NbLus);
  json.Key("NbErrBloq");
  json.Int(counters.NbErrBloq);
  json.Key("NbErrNonBloq");
  json.Int(counters.NbErrNonBloq);
  json.Key("NbErrForm");
  json.Int(counters.NbErrForm);
  json.EndObject();
  return json.Take();
}

// What a run reports besides its outputs (grulo_run): the page of
// `grulo --report`, and the list of the summaries with an error.
struct WebReportRequest {
  int page = 0;      // 1: the report page goes to sink 3 at the end
  int rejected = 0;  // 1: the rejected list's CSV bytes go to sink 2 as they come
  const char* input_name = "";  // UTF-8, as the page shows them
  const char* grp_name = "";
  const char* err_name = "";
  const char* made_at = "";  // "2026-12-07 14:03"
  const char* labels = nullptr;  // the groups' names (CSV), or null
  int labels_length = 0;
  const char* previous = nullptr;  // an earlier page to compare with, or null
  int previous_length = 0;
  const char* previous_name = "";  // its file name, shown in the page
};

std::string ErrorJson(std::string_view message) {
  JsonWriter json;
  json.BeginObject();
  json.Key("error");
  json.String(message);
  json.EndObject();
  return json.Take();
}

// "07/12/2026": the date the checks take as today.
std::string ChecksDate(const ClockFactory& clocks) {
  DateText date{};
  TodayDate(*clocks(), &date);
  std::string shown(date.data(), 2);
  shown += '/';
  shown.append(date.data() + 2, 2);
  shown += '/';
  shown.append(date.data() + 4, 4);
  return shown;
}

}  // namespace
}  // namespace grulo

extern "C" {

// Groups the whole input with the batch engine, with the three tables'
// bytes (a negative length: a missing table) and today's date DDMMYYYY (the
// local clock when empty): the input is read through Module.gruloIo.read in
// blocks, the .grp (0) and .err (1) bytes go to Module.gruloIo.write, and
// about every `progress_every` lines, and at the end, Module.gruloIo.progress
// hears how far the run is. `page` asks for the report page (sink 3, at the
// end) and `rejected_list` for the list of the summaries with an error
// (sink 2, as the run goes), both made from the lines' outcomes as `grulo
// --report` and `grulo report --rejected` make them; the other arguments
// are those of WebReportRequest, the labels and the earlier page null when
// not given. Returns the
// counters as JSON, {"error": "..."} when the labels or the earlier page
// cannot be read, or "" when the input could not be read; the caller frees
// the text.
EMSCRIPTEN_KEEPALIVE char* grulo_run(const uint8_t* tree, int tree_length, const uint8_t* acts,
                                     int acts_length, const uint8_t* diags, int diags_length,
                                     const char* today, int progress_every, int page,
                                     int rejected_list, const char* input_name,
                                     const char* grp_name, const char* err_name,
                                     const char* made_at, const char* labels_csv,
                                     int labels_length, const char* previous_html,
                                     int previous_length, const char* previous_name) {
  const grulo::WebReportRequest request{page,     rejected_list, input_name,    grp_name,
                                        err_name, made_at,       labels_csv,    labels_length,
                                        previous_html, previous_length, previous_name};
  const grulo::WebReportRequest* report = &request;
  const grulo::ClockFactory clocks = grulo::ClocksFor(today);
  // What the report needs, read before any line is grouped.
  grulo::GroupLabels labels;
  grulo::PreviousReport previous;
  std::unique_ptr<grulo::RunReport> run_report;
  grulo::JsSink rejected_sink(2);
  std::unique_ptr<grulo::OutputFile> rejected_out;
  std::unique_ptr<grulo::RejectedList> rejected;
  if (report->page != 0) {
    if (report->labels != nullptr) {
      const grulo::Status parsed = grulo::ParseGroupLabels(
          "the labels",
          std::string_view(report->labels, static_cast<size_t>(report->labels_length)), &labels);
      if (!parsed.ok()) return grulo::Handed(grulo::ErrorJson(parsed.message()));
    }
    if (report->previous != nullptr) {
      const grulo::Status parsed = grulo::ParsePreviousReport(
          report->previous_name,
          std::string_view(report->previous, static_cast<size_t>(report->previous_length)),
          &previous);
      if (!parsed.ok()) {
        return grulo::Handed(grulo::ErrorJson(parsed.message()));
      }
    }
    grulo::RunInfo info;
    info.input_path = report->input_name;
    info.grp_path = report->grp_name;
    info.err_path = report->err_name;
    info.run_date = report->made_at;
    info.checks_date = grulo::ChecksDate(clocks);
    run_report = std::make_unique<grulo::RunReport>(std::move(info));
  }
  if (report->rejected != 0) {
    rejected_out = grulo::OutputFile::Into(&rejected_sink);
    rejected = std::make_unique<grulo::RejectedList>(rejected_out.get());
  }
  grulo::BothObservers both(run_report.get(), rejected.get());
  grulo::LineObserver* observer = nullptr;
  if (run_report != nullptr && rejected != nullptr) {
    observer = &both;
  } else if (run_report != nullptr) {
    observer = run_report.get();
  } else {
    observer = rejected.get();
  }

  grulo::JsSource source;
  grulo::JsSink grp_sink(0);
  grulo::JsSink err_sink(1);
  std::unique_ptr<grulo::OutputFile> grp = grulo::OutputFile::Into(&grp_sink);
  std::unique_ptr<grulo::OutputFile> err = grulo::OutputFile::Into(&err_sink);
  grulo::BatchEngine engine(
      grulo::TableSource::InMemory(grulo::TableBytes(tree, tree_length),
                                   grulo::TableBytes(acts, acts_length),
                                   grulo::TableBytes(diags, diags_length)),
      clocks);
  grulo::BatchOptions options;
  options.observer = observer;
  int64_t told = 0;
  options.progress = [&](int64_t lines) {
    if (lines - told < progress_every) return;
    told = lines;
    grulo::JsProgress(static_cast<double>(lines), static_cast<double>(source.bytes_read()));
  };
  const grulo::Status status = engine.Run(&source, err.get(), grp.get(), options);
  if (!status.ok()) return grulo::Handed("");
  grulo::JsProgress(static_cast<double>(engine.counters().NbLus),
                    static_cast<double>(source.bytes_read()));
  if (rejected_out != nullptr) rejected_out->Flush();
  if (run_report != nullptr) {
    const std::string page = grulo::ReportHtml(
        *run_report, report->made_at, {},
        {.labels = report->labels != nullptr ? &labels : nullptr,
         .previous = report->previous != nullptr ? &previous : nullptr});
    grulo::JsWrite(3, page.data(), static_cast<int>(page.size()));
  }
  return grulo::Handed(grulo::CountersJson(engine.counters()));
}

// The HTML page of a run from its input and its .grp and .err texts alone,
// for a caller without the run's tables: the input is read through
// Module.gruloIo.read, `grp` and `err` are the run's whole outputs, the
// names (UTF-8) are shown in the page, `made_at` in its footer; what does
// not match is listed at the top of the page. The caller frees the text.
EMSCRIPTEN_KEEPALIVE char* grulo_report(const char* grp, int grp_length, const char* err,
                                        int err_length, const char* input_name,
                                        const char* grp_name, const char* err_name,
                                        const char* made_at) {
  grulo::RunInfo info;
  info.input_path = input_name;
  info.grp_path = grp_name;
  info.err_path = err_name;
  info.run_date = made_at;
  grulo::RunReport report(info);
  grulo::RunOutputsReader outputs(std::string_view(grp, static_cast<size_t>(grp_length)),
                                  std::string_view(err, static_cast<size_t>(err_length)));
  grulo::JsSource source;
  grulo::LineReader reader(&source);
  if (!reader.Start()) return grulo::Handed("");
  grulo::InputLine line;
  while (reader.Next(&line) == grulo::LineReader::kLine) {
    outputs.AddInputLine(line.text, line.length, &report);
  }
  return grulo::Handed(grulo::ReportHtml(report, made_at, outputs.Mismatches()));
}

}  // extern "C"
