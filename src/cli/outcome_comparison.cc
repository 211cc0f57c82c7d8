#include "cli/outcome_comparison.h"

#include <algorithm>
#include <cstdio>
#include <set>

#include "checks/error_catalogue.h"
#include "report/report_html.h"

namespace grulo {
namespace {

void SortedUnique(const ErrorNumbers& errors, std::vector<int16_t>* all) {
  all->assign(errors.blocking.begin(), errors.blocking.end());
  all->insert(all->end(), errors.non_blocking.begin(), errors.non_blocking.end());
  std::sort(all->begin(), all->end());
  all->erase(std::unique(all->begin(), all->end()), all->end());
}

void AppendResult(const ComparedOutcome& o, std::string* row) {
  *row += ',' + std::to_string(o.category) + ',' + std::to_string(o.number) + ',' +
          std::to_string(o.return_code);
}

std::string Num(int64_t n) { return std::to_string(n); }

std::string LineList(const std::vector<int64_t>& lines, int64_t total) {
  std::string text;
  for (int64_t line : lines) text += (text.empty() ? "" : ", ") + Num(line);
  if (total > static_cast<int64_t>(lines.size())) text += ", \xE2\x80\xA6";
  return text;
}

constexpr char kStyle[] =
    "body{font-family:sans-serif;margin:2em;color:#222}"
    "table{border-collapse:collapse;margin:0.5em 0 1.5em}"
    "td,th{border:1px solid #bbb;padding:2px 6px;text-align:right;white-space:nowrap}"
    "th{background:#eee}td.l,th.l{text-align:left}"
    "td.same{color:#888}td.moved{background:#fde8c8}"
    ".note{color:#555}";

}  // namespace

const std::string_view kChangesCsvHeader =
    "line,old_category,old_number,old_return,new_category,new_number,new_return,"
    "old_blocking,old_non_blocking,new_blocking,new_non_blocking\n";

ComparedOutcome ComparedOutcome::Of(int64_t line, const LineOutcome& outcome) {
  ComparedOutcome o;
  o.line = line;
  o.format = outcome.format;
  o.blocked = outcome.blocked();
  o.category = outcome.result.GroupCategory;
  o.number = outcome.result.GroupNumber;
  o.return_code = outcome.result.GroupReturn;
  SortErrorNumbers(outcome.errors, &o.errors);
  return o;
}

std::string GroupLabel(int16_t category, int16_t number) {
  char text[24];
  std::snprintf(text, sizeof text, "%02d-%03d", category, number);
  return text;
}

bool OutcomeComparison::Add(const ComparedOutcome& o, const ComparedOutcome& n,
                            std::string* csv_row) {
  ++lines_;
  csv_row->clear();
  // The format does not depend on the tables: a line that is no summary
  // under one set is none under the other.
  if (o.format != LineFormat::kWellFormed || n.format != LineFormat::kWellFormed) return false;
  ++summaries_;
  ++transitions_[{{o.category, o.number}, {n.category, n.number}}];
  const bool regrouped =
      o.category != n.category || o.number != n.number || o.return_code != n.return_code;
  if (!regrouped && o.errors == n.errors) return false;
  ++changed_;
  if (regrouped) ++regrouped_;
  if (!o.blocked && n.blocked) {
    if (newly_blocked_lines_.size() < kListedLines) newly_blocked_lines_.push_back(n.line);
    ++newly_blocked_;
  }
  if (o.blocked && !n.blocked) {
    if (unblocked_lines_.size() < kListedLines) unblocked_lines_.push_back(n.line);
    ++unblocked_;
  }
  SortedUnique(o.errors, &old_all_);
  SortedUnique(n.errors, &new_all_);
  for (int16_t e : new_all_) {
    if (!std::binary_search(old_all_.begin(), old_all_.end(), e)) ++error_changes_[e].appears;
  }
  for (int16_t e : old_all_) {
    if (!std::binary_search(new_all_.begin(), new_all_.end(), e)) ++error_changes_[e].disappears;
  }
  *csv_row += Num(n.line);
  AppendResult(o, csv_row);
  AppendResult(n, csv_row);
  for (const std::vector<int16_t>* list : {&o.errors.blocking, &o.errors.non_blocking,
                                           &n.errors.blocking, &n.errors.non_blocking}) {
    *csv_row += ',' + BlankSeparated(*list);
  }
  *csv_row += '\n';
  return true;
}

std::string ComparisonSummaryText(const OutcomeComparison& c) {
  std::string text = Num(c.lines()) + " lines, " + Num(c.summaries()) + " summaries: " +
                     Num(c.changed()) + " with another outcome (" + Num(c.regrouped()) +
                     " another group or return code, " + Num(c.newly_blocked()) +
                     " newly blocked, " + Num(c.unblocked()) + " no longer blocked)\n";
  std::string appear, disappear;
  for (const auto& [number, change] : c.error_changes()) {
    if (change.appears > 0) appear += " " + Num(number) + " (" + Num(change.appears) + ")";
    if (change.disappears > 0) {
      disappear += " " + Num(number) + " (" + Num(change.disappears) + ")";
    }
  }
  if (!appear.empty()) text += "errors that appear:" + appear + "\n";
  if (!disappear.empty()) text += "errors that disappear:" + disappear + "\n";
  return text;
}

std::string ComparisonHtml(const OutcomeComparison& c, const ComparisonNames& names) {
  std::string h =
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<meta name=\"generator\" content=\"grulo compare\">\n"
      "<title>grulo compare: " + HtmlEscaped(names.old_tables) + " \xE2\x86\x92 " +
      HtmlEscaped(names.new_tables) + "</title>\n<style>" + kStyle + "</style>\n</head>\n<body>\n";
  h += "<h1>What the new tables change</h1>\n<table>\n";
  auto row = [&](std::string_view what, const std::string& value) {
    h += "<tr><th class=\"l\">" + std::string(what) + "</th><td class=\"l\">" + value +
         "</td></tr>\n";
  };
  row("input", HtmlEscaped(names.input));
  row("old tables", HtmlEscaped(names.old_tables) + " (version " +
                        HtmlEscaped(names.old_version) + ")");
  row("new tables", HtmlEscaped(names.new_tables) + " (version " +
                        HtmlEscaped(names.new_version) + ")");
  row("today", HtmlEscaped(names.today));
  row("lines", Num(c.lines()));
  row("summaries", Num(c.summaries()));
  row("with another outcome", Num(c.changed()));
  row("in another group or with another return code", Num(c.regrouped()));
  row("newly blocked", Num(c.newly_blocked()));
  row("no longer blocked", Num(c.unblocked()));
  h += "</table>\n";

  // The transitions: every group that loses or gains a summary, as a
  // matrix, then the moves by count.
  std::set<OutcomeComparison::Group> from, to;
  std::vector<std::pair<int64_t, std::pair<OutcomeComparison::Group, OutcomeComparison::Group>>>
      moves;
  for (const auto& [pair, count] : c.transitions()) {
    if (pair.first == pair.second) continue;
    from.insert(pair.first);
    to.insert(pair.second);
    moves.push_back({count, pair});
  }
  h += "<h2>From old groups to new groups</h2>\n";
  if (moves.empty()) {
    h += "<p>Every summary stays in its group.</p>\n";
  } else {
    h += "<p class=\"note\">Rows: the old group; columns: the new one; each cell counts the "
         "summaries (90-900: blocked). Only the groups that lose or gain summaries are "
         "shown; a grey count stays where it was.</p>\n<table>\n<tr><th>old \\ new</th>";
    std::set<OutcomeComparison::Group> columns = to;
    columns.insert(from.begin(), from.end());
    for (const auto& g : columns) h += "<th>" + GroupLabel(g.first, g.second) + "</th>";
    h += "</tr>\n";
    for (const auto& r : from) {
      h += "<tr><th>" + GroupLabel(r.first, r.second) + "</th>";
      for (const auto& col : columns) {
        const auto it = c.transitions().find({r, col});
        if (it == c.transitions().end()) {
          h += "<td></td>";
        } else {
          h += std::string(r == col ? "<td class=\"same\">" : "<td class=\"moved\">") +
               Num(it->second) + "</td>";
        }
      }
      h += "</tr>\n";
    }
    h += "</table>\n";
    std::stable_sort(moves.begin(), moves.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    h += "<table>\n<tr><th>old group</th><th>new group</th><th>summaries</th></tr>\n";
    for (const auto& [count, pair] : moves) {
      h += "<tr><td>" + GroupLabel(pair.first.first, pair.first.second) + "</td><td>" +
           GroupLabel(pair.second.first, pair.second.second) + "</td><td>" + Num(count) +
           "</td></tr>\n";
    }
    h += "</table>\n";
  }

  h += "<h2>Blocked</h2>\n<table>\n<tr><th class=\"l\">change</th><th>summaries</th>"
       "<th class=\"l\">lines</th></tr>\n";
  h += "<tr><td class=\"l\">newly blocked</td><td>" + Num(c.newly_blocked()) +
       "</td><td class=\"l\">" + LineList(c.newly_blocked_lines(), c.newly_blocked()) +
       "</td></tr>\n";
  h += "<tr><td class=\"l\">no longer blocked</td><td>" + Num(c.unblocked()) +
       "</td><td class=\"l\">" + LineList(c.unblocked_lines(), c.unblocked()) + "</td></tr>\n";
  h += "</table>\n";

  h += "<h2>Errors that appear or disappear</h2>\n";
  if (c.error_changes().empty()) {
    h += "<p>No summary gains or loses an error.</p>\n";
  } else {
    h += "<table>\n<tr><th>error</th><th class=\"l\">meaning</th><th>appears in</th>"
         "<th>disappears from</th></tr>\n";
    for (const auto& [number, change] : c.error_changes()) {
      const ErrorInfo* info = FindErrorInfo(number);
      h += "<tr><td>" + Num(number) + "</td><td class=\"l\">" +
           (info != nullptr ? HtmlEscaped(info->description) : std::string()) + "</td><td>" +
           Num(change.appears) + "</td><td>" + Num(change.disappears) + "</td></tr>\n";
    }
    h += "</table>\n";
  }
  h += "</body>\n</html>\n";
  return h;
}

}  // namespace grulo
