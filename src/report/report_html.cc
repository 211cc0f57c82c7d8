#include "report/report_html.h"

#include <algorithm>
#include <cstdio>

#include "checks/error_catalogue.h"
#include "checks/error_catalogue_text.h"
#include "text/cp1252_text.h"
#include "tree/tree_walk.h"

namespace grulo {
namespace {

constexpr char kStyle[] = R"css(
:root { --ink: #1d2430; --muted: #5b6576; --line: #d9dee7; --soft: #f4f6f9;
  --grouped: #2e7d57; --nonblocking: #d08c00; --blocked: #c0392b; --format: #7b8494;
  --table: #7d3c98; --walk: #1f618d; --bar: #3a6ea5; }
* { box-sizing: border-box; }
html { -webkit-print-color-adjust: exact; print-color-adjust: exact; }
body { margin: 0; color: var(--ink); background: #fff;
  font: 15px/1.45 system-ui, -apple-system, "Segoe UI", Roboto, "Helvetica Neue", Arial, sans-serif; }
main { max-width: 1120px; margin: 0 auto; padding: 28px 32px 40px; }
header { border-bottom: 3px solid var(--ink); padding-bottom: 14px; margin-bottom: 8px; }
h1 { font-size: 26px; margin: 0 0 10px; letter-spacing: -0.01em; }
h1 .file { font-weight: 400; color: var(--muted); }
h2 { font-size: 19px; margin: 34px 0 6px; padding-bottom: 4px; border-bottom: 1px solid var(--line); }
h3 { font-size: 15px; margin: 20px 0 6px; }
p.lead { margin: 4px 0 12px; color: var(--muted); }
dl.meta { display: grid; grid-template-columns: max-content 1fr; gap: 2px 16px; margin: 0; font-size: 13.5px; }
dl.meta dt { color: var(--muted); }
dl.meta dd { margin: 0; font-family: ui-monospace, "DejaVu Sans Mono", Menlo, Consolas, monospace; font-size: 13px; word-break: break-all; }
.cards { display: grid; grid-template-columns: repeat(auto-fit, minmax(128px, 1fr)); gap: 12px; margin: 14px 0 16px; }
.card { border: 1px solid var(--line); border-top: 5px solid var(--accent); border-radius: 6px; padding: 10px 12px; background: #fff; }
.card .value { font-size: 28px; font-weight: 650; font-variant-numeric: tabular-nums; }
.card .label { font-size: 13px; color: var(--muted); }
.card .share { font-size: 13px; color: var(--ink); font-variant-numeric: tabular-nums; }
.legend { display: flex; flex-wrap: wrap; gap: 6px 18px; font-size: 13px; color: var(--muted); margin: 4px 0 0; padding: 0; list-style: none; }
.legend .swatch { display: inline-block; width: 11px; height: 11px; border-radius: 2px; margin-right: 6px; vertical-align: -1px; }
table { border-collapse: collapse; width: 100%; font-size: 13.5px; margin: 6px 0 4px; }
th { text-align: left; font-weight: 600; color: var(--muted); font-size: 12.5px; text-transform: uppercase; letter-spacing: 0.03em; border-bottom: 2px solid var(--line); padding: 6px 8px; }
td { border-bottom: 1px solid var(--line); padding: 6px 8px; vertical-align: top; }
tr { break-inside: avoid; }
td.num, th.num { text-align: right; font-variant-numeric: tabular-nums; white-space: nowrap; }
td.mono, span.mono { font-family: ui-monospace, "DejaVu Sans Mono", Menlo, Consolas, monospace; font-size: 12.5px; white-space: pre; }
.badge { display: inline-block; min-width: 2.4em; text-align: center; padding: 1px 6px; border-radius: 4px; font-weight: 650; font-variant-numeric: tabular-nums; color: #fff; }
.badge.blocking { background: var(--blocked); }
.badge.nonblocking { background: var(--nonblocking); }
.badge.unknown { background: var(--format); }
.class { font-size: 12.5px; color: var(--muted); white-space: nowrap; }
.field { color: var(--muted); font-size: 12.5px; }
.note { color: var(--muted); font-size: 13px; }
.warning { border: 1px solid #e6b8b3; background: #fdf1ef; border-left: 5px solid var(--blocked); padding: 10px 14px; border-radius: 4px; margin: 14px 0; }
.warning ul { margin: 4px 0 0 18px; padding: 0; }
.banner { border: 1px solid #d7c3e0; background: #f7f0fa; border-left: 5px solid var(--table); padding: 10px 14px; border-radius: 4px; margin: 14px 0; }
.banner.walk { border-color: #bcd3e6; background: #eef5fb; border-left-color: var(--walk); }
.banner.empty-run { border-color: var(--line); background: var(--soft); border-left-color: var(--format); }
.banner p { margin: 4px 0; }
.ok { color: var(--grouped); font-weight: 600; }
.errlist { margin: 0; padding: 0; list-style: none; }
.errlist li { margin: 0 0 2px; }
svg text { font-family: system-ui, -apple-system, "Segoe UI", Roboto, Arial, sans-serif; }
svg.chart { width: 100%; height: auto; display: block; }
.empty { color: var(--muted); font-style: italic; }
footer { margin-top: 36px; padding-top: 10px; border-top: 1px solid var(--line); color: var(--muted); font-size: 12.5px; }
@media print {
  @page { margin: 14mm 12mm; }
  body { font-size: 10.5pt; }
  main { max-width: none; padding: 0; }
  h2 { break-after: avoid; }
  section { break-inside: auto; }
  svg.chart, .cards, table.counters { break-inside: avoid; }
  a { color: inherit; text-decoration: none; }
}
)css";

std::string Num(int64_t value) {
  std::string digits = std::to_string(value < 0 ? -value : value);
  std::string out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += "\xE2\x80\xAF";  // narrow no-break space
    out += digits[i];
  }
  return value < 0 ? "-" + out : out;
}

// The plain digits, for data attributes.
std::string Raw(int64_t value) { return std::to_string(value); }

std::string Share(int64_t part, int64_t whole) {
  if (whole <= 0) return "0%";
  char text[16];
  const double percent = 100.0 * static_cast<double>(part) / static_cast<double>(whole);
  std::snprintf(text, sizeof text, percent > 0 && percent < 0.1 ? "%.2f%%" : "%.1f%%", percent);
  return text;
}

std::string Padded(int value, int width) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*d", width, value);
  return text;
}

std::string GroupLabel(const std::pair<int16_t, int16_t>& group) {
  return Padded(group.first, 2) + "-" + Padded(group.second, 3);
}

std::string E(std::string_view utf8) { return HtmlEscaped(utf8); }
std::string W(std::string_view cp1252) { return HtmlEscaped(Cp1252ToUtf8(cp1252)); }

std::string FormatKind(LineFormat format) {
  switch (format) {
    case LineFormat::kUnreadable:
      return "Unreadable line (fewer than 12 characters)";
    case LineFormat::kUnknownFormat:
      return "Unknown format number (columns 10-12 neither M04 nor MA4)";
    case LineFormat::kSizeProblem:
      return "Length that does not agree with the act count (343 + 8 per act)";
    case LineFormat::kWellFormed:
      break;
  }
  return "";
}

std::string WalkFailure(int16_t code) {
  switch (code) {
    case kWalkTooLong:
      return "more than 1000 node tests: a cycle, or a path longer than 1000 nodes";
    case kWalkBadBranch:
      return "a node test answered a branch above its node's limit, or a node names no test";
    case kWalkNodeOutside:
      return "the walk led to a node outside the tree table";
    default:
      return "unknown failure code";
  }
}

std::string TableMeaning(TableRole role, int16_t status) {
  const std::string table = role == TableRole::kTree   ? "the tree table"
                            : role == TableRole::kActs ? "the act table"
                                                       : "the diagnosis table";
  const std::string file = std::string(" (") + TableFileName(role) + ")";
  if (status == kTableVersionsDiffer) return table + file + " has another version than the tree table";
  return table + file + " cannot be opened";
}

std::string LineList(const std::vector<int64_t>& lines, int64_t count) {
  std::string text;
  for (int64_t line : lines) text += (text.empty() ? "" : ", ") + Raw(line);
  if (count > static_cast<int64_t>(lines.size())) text += ", \xE2\x80\xA6";
  return text;
}

std::string ErrorBadge(int16_t number) {
  const ErrorInfo* info = FindErrorInfo(number);
  const char* kind = info == nullptr ? "unknown" : (info->blocking ? "blocking" : "nonblocking");
  std::string title =
      info == nullptr ? "not an error number of the catalogue" : std::string(info->description);
  return "<span class=\"badge " + std::string(kind) + "\" title=\"" + E(title) + "\">" +
         Raw(number) + "</span>";
}

// A card of the counters.
void Card(std::string* out, std::string_view accent, std::string_view counter, int64_t value,
          std::string_view label, int64_t whole) {
  *out += "<div class=\"card\" style=\"--accent: var(" + std::string(accent) + ")\">";
  *out += "<div class=\"value\"";
  if (!counter.empty()) *out += " data-counter=\"" + std::string(counter) + "\"";
  *out += " data-value=\"" + Raw(value) + "\">" + Num(value) + "</div>";
  *out += "<div class=\"label\">" + E(label) + "</div>";
  *out += "<div class=\"share\">" + Share(value, whole) + " of the lines</div></div>\n";
}

void Header(const RunReport& report, std::string* out) {
  const RunInfo& info = report.info();
  std::string_view name = info.input_path;
  const size_t slash = name.find_last_of('/');
  if (slash != std::string_view::npos) name.remove_prefix(slash + 1);
  *out += "<header><h1>grulo run report <span class=\"file\">" + E(name) + "</span></h1>\n";
  *out += "<dl class=\"meta\">";
  auto row = [out](std::string_view term, std::string_view value) {
    *out += "<dt>" + E(term) + "</dt><dd>" + E(value) + "</dd>";
  };
  row("Input", info.input_path);
  row("Results (.grp)", info.grp_path);
  row("Errors (.err)", info.err_path);
  if (!info.config_path.empty()) row("Configuration", info.config_path);
  if (!info.table_dir.empty()) row("Tables (RepTab)", info.table_dir);
  std::string versions;
  for (const auto& [version, count] : report.versions()) {
    versions += (versions.empty() ? "" : ", ") +
                (version.empty() ? std::string("(none)") : Cp1252ToUtf8(version));
  }
  row("Tables' version", versions.empty() ? "(no .grp line)" : versions);
  row("Run", info.run_date.empty() ? "(date unknown)" : info.run_date);
  if (!info.checks_date.empty()) row("Checks as of", info.checks_date);
  *out += "</dl></header>\n";
}

int64_t Total(const std::map<int16_t, RunReport::LinesOfKind>& kinds) {
  int64_t n = 0;
  for (const auto& [code, lines] : kinds) n += lines.count;
  return n;
}

void Warnings(const RunReport& report, const std::vector<std::string>& mismatches,
              std::string* out) {
  std::vector<std::string> items = mismatches;
  const RunCounters& c = report.counters();
  const std::optional<RunCounters>& written = report.written_counters();
  if (written.has_value() &&
      (written->NbLus != c.NbLus || written->NbErrBloq != c.NbErrBloq ||
       written->NbErrNonBloq != c.NbErrNonBloq || written->NbErrForm != c.NbErrForm)) {
    const RunCounters& w = *written;
    items.push_back("the counters in the configuration (NbLus " + Raw(w.NbLus) + ", NbErrBloq " +
                    Raw(w.NbErrBloq) + ", NbErrNonBloq " + Raw(w.NbErrNonBloq) + ", NbErrForm " +
                    Raw(w.NbErrForm) +
                    ") differ from those of the outputs: they belong to another run");
  }
  if (items.empty()) return;
  *out +=
      "<div class=\"warning\"><strong>The outputs do not match their input "
      "everywhere.</strong> The report shows what the input and the outputs say together;"
      " check that they come from the same run.<ul>";
  for (const std::string& item : items) *out += "<li>" + E(item) + "</li>";
  *out += "</ul></div>\n";
}

// What the week's table problems and failed walks mean, and what to do,
// at the top of the page; and a word on a run that read no line.
void Banners(const RunReport& report, std::string* out) {
  const RunCounters& c = report.counters();
  const std::string tables =
      report.info().table_dir.empty() ? std::string("the tables")
                                      : "the tables in " + report.info().table_dir;
  if (c.NbErrTab > 0) {
    *out += "<div class=\"banner\" id=\"table-problems-banner\"><strong>" + Num(c.NbErrTab) +
            " of the " + Num(c.NbLus) + " lines (" + Share(c.NbErrTab, c.NbLus) +
            ") were not grouped because of a table problem.</strong><ul>";
    for (const auto& [key, problem] : report.table_problems()) {
      *out += "<li>" + Num(problem.lines.count) + ": " + E(TableMeaning(key.first, key.second));
      if (!problem.reason.empty()) *out += " <span class=\"note\">(" + E(problem.reason) + ")</span>";
      *out += "</li>";
    }
    *out +=
        "</ul><p>The fault is in the tables, not in the summaries: these summaries were not "
        "checked and have no group this week (their .grp lines carry 00-000 and the code 99 or "
        "9).</p><p>What to do: tell whoever maintains " + E(tables) +
        ", and run grulo again on this input once the tables are fixed.</p></div>\n";
  }
  const int64_t failed = Total(report.failed_walks());
  if (failed > 0) {
    *out += "<div class=\"banner walk\" id=\"failed-walks-banner\"><strong>" + Num(failed) +
            " of the " + Num(c.NbLus) + " lines (" + Share(failed, c.NbLus) +
            ") were not grouped: the walk of the tree failed.</strong><ul>";
    for (const auto& [code, lines] : report.failed_walks()) {
      *out += "<li>" + Num(lines.count) + " with 99-904 code " + Padded(code, 2) + ": " +
              E(WalkFailure(code)) + "</li>";
    }
    *out +=
        "</ul><p>The fault is in the tree table (arbressr.tab), not in the summaries: these "
        "summaries passed their checks but have no group this week.</p><p>What to do: tell "
        "whoever maintains " + E(tables) +
        " (grulo-tables check finds such faults), and run grulo again on this input once the "
        "tree is fixed.</p></div>\n";
  }
  if (c.NbLus == 0) {
    *out +=
        "<div class=\"banner empty-run\" id=\"empty-run-banner\"><strong>The input has no "
        "line: this run grouped nothing.</strong> Check that the input named by the "
        "configuration is the week's file.</div>\n";
  }
}

void Counters(const RunReport& report, std::string* out) {
  const RunCounters& c = report.counters();
  const int64_t failed = Total(report.failed_walks());
  const int64_t table = c.NbErrTab;
  *out += "<section id=\"counters\"><h2>The run at a glance</h2>\n<div class=\"cards\">\n";
  Card(out, "--ink", "NbLus", c.NbLus, "lines read", c.NbLus);
  Card(out, "--grouped", "grouped", report.grouped(), "grouped (reached a leaf)", c.NbLus);
  Card(out, "--blocked", "NbErrBloq", c.NbErrBloq, "blocked by an error", c.NbLus);
  Card(out, "--nonblocking", "NbErrNonBloq", c.NbErrNonBloq, "non-blocking errors only", c.NbLus);
  Card(out, "--format", "NbErrForm", c.NbErrForm, "format problems", c.NbLus);
  Card(out, "--table", "table-problems", table, "ended by a table problem", c.NbLus);
  Card(out, "--walk", "failed-walks", failed, "walk of the tree failed", c.NbLus);
  *out += "</div>\n";

  // One stacked bar: every line in exactly one part.
  struct Part {
    const char* color;
    const char* label;
    int64_t count;
  } parts[] = {
      {"--grouped", "grouped without error", report.grouped() - report.grouped_with_errors()},
      {"--nonblocking", "grouped with non-blocking errors", report.grouped_with_errors()},
      {"--blocked", "blocked", c.NbErrBloq},
      {"--format", "format problem", c.NbErrForm},
      {"--walk", "walk failed", failed},
      {"--table", "table problem", table},
  };
  int64_t total = 0;
  for (const Part& p : parts) total += p.count;
  *out +=
      "<svg class=\"chart\" viewBox=\"0 0 1000 34\" role=\"img\" aria-label=\"share of the "
      "lines by outcome\">";
  double x = 0;
  for (const Part& p : parts) {
    if (p.count <= 0 || total <= 0) continue;
    const double w = 1000.0 * static_cast<double>(p.count) / static_cast<double>(total);
    char rect[200];
    std::snprintf(rect, sizeof rect, "<rect x=\"%.2f\" y=\"4\" width=\"%.2f\" height=\"26\" ", x,
                  w);
    *out += std::string(rect) + "style=\"fill: var(" + p.color + ")\"><title>" + E(p.label) + ": " +
            Raw(p.count) + " (" + Share(p.count, total) + ")</title></rect>";
    x += w;
  }
  *out += "</svg>\n<ul class=\"legend\">";
  for (const Part& p : parts) {
    if (p.count <= 0) continue;
    *out += "<li><span class=\"swatch\" style=\"background: var(" + std::string(p.color) +
            ")\"></span>" + E(p.label) + " " + Num(p.count) + "</li>";
  }
  *out += "</ul>\n";

  *out +=
      "<h3>Counters</h3><table class=\"counters\"><thead><tr><th>counter</th>"
      "<th class=\"num\">value</th><th>what it counts</th>";
  const bool written = report.written_counters().has_value();
  if (written) *out += "<th class=\"num\">in the configuration</th>";
  *out += "</tr></thead><tbody>\n";
  auto row = [&](const char* name, int64_t value, int64_t in_config, const char* what) {
    *out += "<tr><td class=\"mono\">" + std::string(name) + "</td><td class=\"num\" data-total=\"" +
            name + "\">" + Num(value) + "</td><td>" + what + "</td>";
    if (written) {
      *out += "<td class=\"num\">" + Num(in_config) +
              (in_config == value ? " <span class=\"ok\">\xE2\x9C\x93</span>" : " \xE2\x9C\x97") +
              "</td>";
    }
    *out += "</tr>\n";
  };
  const RunCounters w = written ? *report.written_counters() : RunCounters{};
  row("NbLus", c.NbLus, w.NbLus, "lines read from the input");
  row("NbErrBloq", c.NbErrBloq, w.NbErrBloq,
      "summaries with at least one blocking error: not grouped, no .grp line");
  row("NbErrNonBloq", c.NbErrNonBloq, w.NbErrNonBloq,
      "summaries with non-blocking errors only: grouped all the same");
  row("NbErrForm", c.NbErrForm, w.NbErrForm, "lines that are not summaries (format problems)");
  auto more = [&](const char* name, const char* key, int64_t value, const char* what) {
    *out += "<tr><td class=\"mono\">" + std::string(name) + "</td><td class=\"num\" data-total=\"" +
            key + "\">" + Num(value) + "</td><td>" + what + "</td>" + (written ? "<td></td>" : "") +
            "</tr>\n";
  };
  more(".grp lines", "grp", c.NbGrp,
       "summaries without blocking error, table problems and failed walks included");
  more("table problems", "table-problems", table,
       "summaries that a table problem ended before their checks: 00-000, code 99 or 9");
  more("failed walks", "failed-walks", failed,
       "summaries whose walk of the tree failed: 99-904, code 01 to 03");
  *out += "</tbody></table></section>\n";
}

// A change as "+3", "-2" or "0".
std::string Change(int64_t now, int64_t before) {
  const int64_t d = now - before;
  return d > 0 ? "+" + Num(d) : d < 0 ? "\xE2\x88\x92" + Num(-d) : std::string("0");
}

void Comparison(const RunReport& report, const PreviousReport& previous, std::string* out) {
  const RunCounters& c = report.counters();
  *out += "<section id=\"previous\"><h2>Against the previous report</h2>\n<p class=\"lead\">"
          "The counters and groups of this run beside those of " +
          E(previous.path) + ".</p>\n";
  *out +=
      "<table class=\"previous\"><thead><tr><th>counter</th><th class=\"num\">before</th>"
      "<th class=\"num\">now</th><th class=\"num\">change</th></tr></thead><tbody>\n";
  int64_t failed = 0;
  for (const auto& [code, lines] : report.failed_walks()) failed += lines.count;
  const std::pair<const char*, int64_t> now[] = {
      {"NbLus", c.NbLus},           {"grouped", report.grouped()}, {"NbErrBloq", c.NbErrBloq},
      {"NbErrNonBloq", c.NbErrNonBloq}, {"NbErrForm", c.NbErrForm},
      {"table-problems", c.NbErrTab}, {"failed-walks", failed}};
  for (const auto& [name, value] : now) {
    auto before = previous.counters.find(name);
    if (before == previous.counters.end()) continue;
    *out += "<tr class=\"previous-row\" data-previous=\"" + std::string(name) +
            "\" data-before=\"" + Raw(before->second) + "\" data-now=\"" + Raw(value) +
            "\"><td class=\"mono\">" + name + "</td><td class=\"num\">" + Num(before->second) +
            "</td><td class=\"num\">" + Num(value) + "</td><td class=\"num\">" +
            Change(value, before->second) + "</td></tr>\n";
  }
  *out += "</tbody></table>\n";
  // Every group of either run, the largest changes first.
  std::map<std::string, std::pair<int64_t, int64_t>> groups;  // label: before, now
  for (const auto& [label, count] : previous.groups) groups[label].first = count;
  for (const auto& [group, count] : report.groups()) groups[GroupLabel(group)].second = count.count;
  std::vector<std::pair<std::string, std::pair<int64_t, int64_t>>> rows(groups.begin(),
                                                                        groups.end());
  std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) {
    const int64_t da = a.second.second - a.second.first, db = b.second.second - b.second.first;
    return (da < 0 ? -da : da) > (db < 0 ? -db : db);
  });
  if (rows.empty()) {
    *out += "<p class=\"empty\">Neither run has a group.</p></section>\n";
    return;
  }
  *out +=
      "<h3>Groups</h3><table class=\"previous-groups\"><thead><tr><th>group</th>"
      "<th class=\"num\">before</th><th class=\"num\">now</th><th class=\"num\">change</th>"
      "</tr></thead><tbody>\n";
  for (const auto& [label, counts] : rows) {
    *out += "<tr class=\"previous-group-row\" data-group=\"" + E(label) + "\" data-before=\"" +
            Raw(counts.first) + "\" data-now=\"" + Raw(counts.second) +
            "\"><td class=\"mono\">" + E(label) + "</td><td class=\"num\">" + Num(counts.first) +
            "</td><td class=\"num\">" + Num(counts.second) + "</td><td class=\"num\">" +
            Change(counts.second, counts.first) + "</td></tr>\n";
  }
  *out += "</tbody></table></section>\n";
}

// A week number WWYYYY as "WW/YYYY", and a key that sorts the weeks in
// time (the text itself when it is no week number).
std::string WeekKey(std::string_view week) {
  bool digits = week.size() == 6;
  for (char c : week) digits = digits && c >= '0' && c <= '9';
  return digits ? std::string(week.substr(2, 4)) + std::string(week.substr(0, 2))
                : "~" + std::string(week);
}

void WeeksAndEstablishments(const RunReport& report, std::string* out) {
  *out += "<section id=\"weeks\"><h2>Weeks and establishments</h2>\n";
  std::vector<std::pair<std::string, std::pair<std::string, int64_t>>> weeks;
  for (const auto& [week, count] : report.weeks()) {
    weeks.push_back({WeekKey(week), {week, count}});
  }
  std::sort(weeks.begin(), weeks.end());
  const int64_t summaries = report.counters().NbLus - report.counters().NbErrForm;
  if (weeks.empty()) {
    *out += "<p class=\"empty\">No well-formed summary, so no week.</p>\n";
  } else {
    *out += "<p class=\"lead\">The " + Num(summaries) + " well-formed summaries cover " +
            Num(static_cast<int64_t>(weeks.size()) + (report.other_weeks() > 0 ? 1 : 0)) +
            (weeks.size() == 1 && report.other_weeks() == 0 ? " week" : " weeks") +
            " (week number of the line, WW/YYYY as given).</p>\n";
    *out +=
        "<table class=\"weeks\"><thead><tr><th>week</th><th class=\"num\">summaries</th>"
        "<th class=\"num\">share</th></tr></thead><tbody>\n";
    auto row = [&](const std::string& shown, const std::string& raw, int64_t count) {
      *out += "<tr class=\"week-row\" data-week=\"" + W(raw) + "\" data-summaries=\"" +
              Raw(count) + "\"><td class=\"mono\">" + shown + "</td><td class=\"num\">" +
              Num(count) + "</td><td class=\"num\">" + Share(count, summaries) + "</td></tr>\n";
    };
    for (const auto& [key, week] : weeks) {
      const std::string& text = week.first;
      const bool plain = key[0] != '~';
      row(plain ? W(text.substr(0, 2)) + "/" + W(text.substr(2)) : W(text), text, week.second);
    }
    if (report.other_weeks() > 0) row("other weeks", "", report.other_weeks());
    *out += "</tbody></table>\n";
  }
  *out += "<h3>By establishment</h3>\n";
  if (report.establishments().empty()) {
    *out += "<p class=\"empty\">The input has no line.</p></section>\n";
    return;
  }
  *out +=
      "<table class=\"establishments\"><thead><tr><th>establishment</th>"
      "<th class=\"num\">lines</th><th class=\"num\">grouped</th><th class=\"num\">blocked</th>"
      "<th class=\"num\">format problems</th><th class=\"num\">not grouped: tables or tree</th>"
      "</tr></thead><tbody>\n";
  auto row = [&](const std::string& shown, const std::string& raw,
                 const RunReport::EstablishmentCount& c) {
    *out += "<tr class=\"establishment-row\" data-establishment=\"" + W(raw) +
            "\" data-lines=\"" + Raw(c.lines) + "\" data-grouped=\"" + Raw(c.grouped) +
            "\" data-blocked=\"" + Raw(c.blocked) + "\" data-format-problems=\"" +
            Raw(c.format_problems) + "\"><td class=\"mono\">" + shown + "</td><td class=\"num\">" +
            Num(c.lines) + "</td><td class=\"num\">" + Num(c.grouped) + "</td><td class=\"num\">" +
            Num(c.blocked) + "</td><td class=\"num\">" + Num(c.format_problems) +
            "</td><td class=\"num\">" + Num(c.not_grouped) + "</td></tr>\n";
  };
  for (const auto& [number, count] : report.establishments()) {
    const bool blank = number.find_first_not_of(' ') == std::string::npos;
    row(blank ? "<span class=\"note\">(blank: \"" + W(number) + "\")</span>" : W(number), number,
        count);
  }
  if (report.other_establishments().lines > 0) {
    row("other establishments", "", report.other_establishments());
  }
  *out += "</tbody></table></section>\n";
}

void Groups(const RunReport& report, const GroupLabels* labels, std::string* out) {
  *out += "<section id=\"groups\"><h2>Groups</h2>\n";
  std::vector<std::pair<std::pair<int16_t, int16_t>, RunReport::GroupCount>> groups(
      report.groups().begin(), report.groups().end());
  if (groups.empty()) {
    *out += "<p class=\"empty\">No summary reached a leaf of the tree (" + Num(report.walked()) +
            " walks started).</p></section>\n";
    return;
  }
  std::stable_sort(groups.begin(), groups.end(),
                   [](const auto& a, const auto& b) { return a.second.count > b.second.count; });
  *out += "<p class=\"lead\">" + Num(report.grouped()) + " summaries reached a leaf, in " +
          Num(static_cast<int64_t>(groups.size())) +
          " groups (category-number), largest first; the share is of the grouped summaries, "
          "the return codes of each group follow it.</p>\n";
  const int64_t largest = groups.front().second.count;
  constexpr int kRow = 24, kLabel = 74, kBarStart = 84, kBarWidth = 620;
  const int height = kRow * static_cast<int>(groups.size()) + 6;
  *out += "<svg class=\"chart\" viewBox=\"0 0 1000 " + Raw(height) +
          "\" role=\"img\" aria-label=\"summaries per group\">\n";
  int y = 3;
  for (const auto& [group, count] : groups) {
    const std::string label = GroupLabel(group);
    const double w =
        std::max(1.0, static_cast<double>(kBarWidth) * static_cast<double>(count.count) /
                          static_cast<double>(largest));
    std::string returns;
    for (const auto& [code, n] : count.by_return) {
      returns += (returns.empty() ? "return " : ", ") + Padded(code, 2) + " \xC3\x97" + Raw(n);
    }
    char bar[160];
    std::snprintf(bar, sizeof bar,
                  "<rect class=\"bar\" x=\"%d\" y=\"%d\" width=\"%.2f\" height=\"%d\" rx=\"2\"",
                  kBarStart, y + 3, w, kRow - 7);
    std::string name;  // the department's label of the group, escaped
    if (labels != nullptr) {
      auto known = labels->find(group);
      if (known != labels->end()) name = E(known->second);
    }
    *out += "<g class=\"group-bar\" data-group=\"" + label + "\" data-count=\"" + Raw(count.count) +
            "\"" + (name.empty() ? std::string() : " data-label=\"" + name + "\"") +
            "><title>group " + label + (name.empty() ? std::string() : " " + name) + ": " +
            Raw(count.count) + " summaries (" + Share(count.count, report.grouped()) + "), " +
            returns + "</title>";
    *out += "<text x=\"" + Raw(kLabel) + "\" y=\"" + Raw(y + 16) +
            "\" text-anchor=\"end\" font-size=\"13\" font-weight=\"600\" fill=\"#1d2430\">" +
            label + "</text>";
    *out += std::string(bar) + " fill=\"#3a6ea5\"/>";
    char after[64];
    std::snprintf(after, sizeof after, "%.2f", kBarStart + w + 8);
    *out += "<text x=\"" + std::string(after) + "\" y=\"" + Raw(y + 16) +
            "\" font-size=\"12.5\" fill=\"#1d2430\">" + Num(count.count) +
            "<tspan fill=\"#5b6576\"> \xC2\xB7 " + Share(count.count, report.grouped()) +
            " \xC2\xB7 " + returns + "</tspan>" +
            (name.empty() ? std::string() : "<tspan class=\"label\"> \xC2\xB7 " + name + "</tspan>") +
            "</text></g>\n";
    y += kRow;
  }
  *out += "</svg></section>\n";
}

// The errors by field, and the blocked summaries by the error that stopped
// them.
void ErrorRollups(const RunReport& report, std::string* out) {
  std::vector<std::pair<std::string_view, RunReport::ErrorCount>> fields(
      report.error_fields().begin(), report.error_fields().end());
  std::stable_sort(fields.begin(), fields.end(), [](const auto& a, const auto& b) {
    return a.second.summaries > b.second.summaries;
  });
  *out +=
      "<h3>By field</h3><p class=\"lead\">The summaries with an error on each field (a summary "
      "counts once per field), and the errors in all.</p><table class=\"fields\"><thead><tr>"
      "<th>field</th><th class=\"num\">summaries</th><th class=\"num\">errors</th></tr>"
      "</thead><tbody>\n";
  for (const auto& [field, count] : fields) {
    const std::string name =
        field.empty() ? std::string("(numbers the catalogue does not know)") : E(field);
    *out += "<tr class=\"field-row\" data-field=\"" + E(field) + "\" data-summaries=\"" +
            Raw(count.summaries) + "\"><td>" + name + "</td><td class=\"num\">" +
            Num(count.summaries) + "</td><td class=\"num\">" + Num(count.occurrences) +
            "</td></tr>\n";
  }
  *out += "</tbody></table>\n";
  const int64_t blocked = report.counters().NbErrBloq;
  if (blocked == 0) return;
  std::vector<std::pair<int16_t, int64_t>> first(report.first_blocking().begin(),
                                                 report.first_blocking().end());
  std::stable_sort(first.begin(), first.end(),
                   [](const auto& a, const auto& b) { return a.second > b.second; });
  *out += "<h3>What stopped the blocked summaries</h3><p class=\"lead\">The " + Num(blocked) +
          " blocked summaries by their first blocking error, the one that kept them out of the "
          ".grp file (its number is their return code).</p><table class=\"first-blocking\">"
          "<thead><tr><th>error</th><th>meaning</th><th class=\"num\">summaries</th>"
          "<th class=\"num\">share</th></tr></thead><tbody>\n";
  for (const auto& [number, count] : first) {
    const ErrorInfo* info = FindErrorInfo(number);
    *out += "<tr class=\"first-blocking-row\" data-error=\"" + Raw(number) +
            "\" data-summaries=\"" + Raw(count) + "\"><td>" + ErrorBadge(number) + "</td><td>" +
            (info != nullptr ? E(info->description)
                             : std::string("not an error number of the catalogue")) +
            "</td><td class=\"num\">" + Num(count) + "</td><td class=\"num\">" +
            Share(count, blocked) + "</td></tr>\n";
  }
  *out += "</tbody></table>\n";
}

void Errors(const RunReport& report, std::string* out) {
  *out += "<section id=\"errors\"><h2>Errors</h2>\n";
  std::vector<std::pair<int16_t, RunReport::ErrorCount>> errors(report.errors().begin(),
                                                                report.errors().end());
  if (errors.empty()) {
    *out += report.checked() == 0
                ? "<p class=\"empty\">No summary went through the checks, so no error was "
                  "looked for.</p></section>\n"
                : "<p class=\"empty\">None of the " + Num(report.checked()) +
                      " summaries checked has an error.</p></section>\n";
    return;
  }
  std::stable_sort(errors.begin(), errors.end(), [](const auto& a, const auto& b) {
    return a.second.summaries > b.second.summaries;
  });
  const int64_t summaries = report.checked();
  *out +=
      "<p class=\"lead\">Error numbers ranked by the number of summaries they hit (a "
      "summary counts once per number); the share is of the " +
      Num(summaries) +
      " summaries checked. <code>grulo errors N</code> and docs/errors.md say more "
      "about each number.</p>\n";
  *out +=
      "<table class=\"errors\"><thead><tr><th class=\"num\">#</th><th>error</th>"
      "<th>class</th><th>field and meaning</th><th class=\"num\">summaries</th>"
      "<th></th></tr></thead><tbody>\n";
  const int64_t most = errors.front().second.summaries;
  int rank = 0;
  for (const auto& [number, count] : errors) {
    const ErrorInfo* info = FindErrorInfo(number);
    ++rank;
    *out += "<tr class=\"error-row\" data-error=\"" + Raw(number) + "\" data-summaries=\"" +
            Raw(count.summaries) + "\"><td class=\"num\">" + Raw(rank) + "</td><td>" +
            ErrorBadge(number) + "</td>";
    std::string klass = info == nullptr ? "unknown"
                                        : (!info->produced  ? "never produced"
                                           : info->blocking ? "blocking"
                                                            : "non-blocking");
    *out += "<td class=\"class\">" + klass + "</td><td>";
    if (info != nullptr) {
      const std::string field = FieldColumnsText(info->field);
      if (!field.empty()) *out += "<div class=\"field\">" + E(field) + "</div>";
      *out += "<div class=\"meaning\">" + E(info->description) + "</div>";
    } else {
      *out += "<div class=\"meaning\">not an error number of the catalogue</div>";
    }
    *out += "</td><td class=\"num\">" + Num(count.summaries) + "<br><span class=\"note\">" +
            Share(count.summaries, summaries) + "</span>";
    if (count.occurrences != count.summaries) {
      *out += "<br><span class=\"note\">" + Num(count.occurrences) + " times</span>";
    }
    char bar[200];
    const double w = 140.0 * static_cast<double>(count.summaries) / static_cast<double>(most);
    std::snprintf(bar, sizeof bar,
                  "<svg width=\"150\" height=\"14\" viewBox=\"0 0 150 14\"><rect x=\"0\" y=\"2\" "
                  "width=\"%.2f\" height=\"10\" rx=\"2\" fill=\"%s\"/></svg>",
                  std::max(1.0, w), info != nullptr && !info->blocking ? "#d08c00" : "#c0392b");
    *out += "</td><td>" + std::string(bar) + "</td></tr>\n";
  }
  *out += "</tbody></table>\n";
  ErrorRollups(report, out);
  *out += "</section>\n";
}

void Problems(const RunReport& report, std::string* out) {
  *out += "<section id=\"problems\"><h2>Format problems, failed walks and table problems</h2>\n";
  *out += "<h3>Format problems</h3>\n";
  if (report.format_problems().empty()) {
    *out += report.counters().NbLus == 0
                ? std::string("<p class=\"empty\">The input has no line.</p>\n")
                : "<p class=\"empty\">All " + Num(report.counters().NbLus) +
                      " lines are well-formed summaries.</p>\n";
  } else {
    *out +=
        "<table><thead><tr><th>kind</th><th class=\"num\">lines</th><th>first lines</th>"
        "</tr></thead><tbody>\n";
    for (const auto& [format, lines] : report.format_problems()) {
      *out += "<tr class=\"format-row\"><td>" + E(FormatKind(format)) + "</td><td class=\"num\">" +
              Num(lines.count) + "</td><td class=\"mono\">" +
              LineList(lines.first_lines, lines.count) + "</td></tr>\n";
    }
    *out += "</tbody></table>\n";
  }
  *out += "<h3>Failed walks</h3>\n";
  if (report.failed_walks().empty()) {
    *out += report.walked() == 0
                ? std::string("<p class=\"empty\">No summary was walked through the tree.</p>\n")
                : "<p class=\"empty\">All " + Num(report.walked()) +
                      " walks of the tree reached a leaf.</p>\n";
  } else {
    *out +=
        "<table><thead><tr><th>result</th><th>cause</th><th class=\"num\">summaries</th>"
        "<th>first lines</th></tr></thead><tbody>\n";
    for (const auto& [code, lines] : report.failed_walks()) {
      *out += "<tr><td class=\"mono\">99 904 " + Padded(code, 2) + "</td><td>" +
              E(WalkFailure(code)) + "</td><td class=\"num\">" + Num(lines.count) +
              "</td><td class=\"mono\">" + LineList(lines.first_lines, lines.count) +
              "</td></tr>\n";
    }
    *out += "</tbody></table>\n";
  }
  *out += "<h3>Table problems</h3>\n";
  if (report.table_problems().empty()) {
    const int64_t well_formed = report.counters().NbLus - report.counters().NbErrForm;
    *out += well_formed == 0
                ? std::string("<p class=\"empty\">No summary needed the tables.</p>\n")
                : "<p class=\"empty\">None of the " + Num(well_formed) +
                      " well-formed summaries met a table problem.</p>\n";
  } else {
    *out +=
        "<table><thead><tr><th>message in the .err file</th><th>meaning</th>"
        "<th class=\"num\">summaries</th><th>first lines</th></tr></thead><tbody>\n";
    for (const auto& [key, problem] : report.table_problems()) {
      const RunReport::LinesOfKind& lines = problem.lines;
      *out += "<tr><td class=\"mono\">" + W(problem.message) + "</td><td>" +
              E(TableMeaning(key.first, key.second)) + "</td><td class=\"num\">" +
              Num(lines.count) + "</td><td class=\"mono\">" +
              LineList(lines.first_lines, lines.count) + "</td></tr>\n";
    }
    *out += "</tbody></table>\n";
  }
  *out += "</section>\n";
}

void ErrorItems(const std::vector<int16_t>& numbers, std::string* out) {
  if (numbers.empty()) {
    *out += "<span class=\"note\">none</span>";
    return;
  }
  *out += "<ul class=\"errlist\">";
  for (int16_t number : numbers) {
    const ErrorInfo* info = FindErrorInfo(number);
    *out += "<li>" + ErrorBadge(number) + " " +
            (info != nullptr ? E(info->field.name) + " <span class=\"note\">" +
                                   E(info->description) + "</span>"
                             : std::string()) +
            "</li>";
  }
  *out += "</ul>";
}

void Rejected(const RunReport& report, std::string* out) {
  *out += "<section id=\"rejected\"><h2>Rejected summaries</h2>\n";
  if (report.rejected().empty()) {
    *out += report.checked() == 0
                ? "<p class=\"empty\">No summary went through the checks, so none was "
                  "blocked.</p></section>\n"
                : "<p class=\"empty\">None of the " + Num(report.checked()) +
                      " summaries checked was blocked.</p></section>\n";
    return;
  }
  const int64_t shown = static_cast<int64_t>(report.rejected().size());
  const int64_t all = report.counters().NbErrBloq;
  *out += "<p class=\"lead\">" +
          (shown == all ? "The " + Num(all)
                        : "The first " + Num(shown) + " of the " + Num(all)) +
          " summaries that a blocking error kept out of the .grp file, in input order. "
          "<code>grulo explain --line N</code> tells everything about line N.</p>\n";
  *out +=
      "<table class=\"rejected\"><thead><tr><th class=\"num\">line</th><th>stay</th>"
      "<th>week</th><th>unit</th><th>blocking errors</th><th>non-blocking errors</th>"
      "</tr></thead><tbody>\n";
  for (const RunReport::RejectedSummary& r : report.rejected()) {
    *out += "<tr class=\"rejected-row\" data-line=\"" + Raw(r.line_number) +
            "\"><td class=\"num\">" + Raw(r.line_number) + "</td><td class=\"mono\">" +
            W(r.stay_no) + "</td><td class=\"mono\">" + W(r.week_no) + "</td><td class=\"mono\">" +
            W(r.unit_no) + "</td><td>";
    ErrorItems(r.blocking, out);
    *out += "</td><td>";
    ErrorItems(r.non_blocking, out);
    *out += "</td></tr>\n";
  }
  *out += "</tbody></table></section>\n";
}

}  // namespace

std::string HtmlEscaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : DisplayText(text)) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string ReportHtml(const RunReport& report, std::string_view made_at,
                       const std::vector<std::string>& mismatches, const ReportExtras& extras) {
  std::string name = report.info().input_path;
  std::string out =
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<meta name=\"generator\" content=\"grulo report\">\n"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
      "<title>grulo run report: " +
      E(name) + "</title>\n<style>" + kStyle + "</style>\n</head>\n<body>\n<main>\n";
  Header(report, &out);
  Warnings(report, mismatches, &out);
  Banners(report, &out);
  Counters(report, &out);
  WeeksAndEstablishments(report, &out);
  if (extras.previous != nullptr) Comparison(report, *extras.previous, &out);
  Groups(report, extras.labels, &out);
  Errors(report, &out);
  Problems(report, &out);
  Rejected(report, &out);
  out += "<footer>Made by <code>grulo report</code>";
  if (!made_at.empty()) out += " on " + E(made_at);
  out +=
      ". Error numbers: docs/errors.md or <code>grulo errors</code>. One summary in detail: "
      "<code>grulo explain</code>.</footer>\n</main>\n</body>\n</html>\n";
  return out;
}

}  // namespace grulo
