#include "explain/explanation_text.h"

#include <algorithm>
#include <cstdio>

#include "checks/error_catalogue_text.h"
#include "grouper/line_format.h"
#include "tables/open_tables.h"
#include "text/cp1252_text.h"

namespace grulo {
namespace {

constexpr size_t kWalkShownWhole = 40;
constexpr size_t kWalkShownFirst = 30;
constexpr size_t kWalkShownLast = 10;

std::string Num(int64_t value) { return std::to_string(value); }

std::string_view FieldTextOf(const Explanation& e, FieldRef field) {
  return FieldText(e.text, field);
}

// The number printed with at least `width` digits, as in the result line.
std::string Padded(int value, int width) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*d", width, value);
  return text;
}

// Characters of a UTF-8 text.
size_t Width(std::string_view utf8) {
  size_t n = 0;
  for (char c : utf8) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
  return n;
}

std::string PadRight(std::string text, size_t width) {
  const size_t w = Width(text);
  if (w < width) text.append(width - w, ' ');
  return text;
}

constexpr size_t kWidth = 78;

// The bytes of the first `n` characters of a UTF-8 text.
size_t BytesOf(std::string_view utf8, size_t n) {
  size_t i = 0;
  for (; i < utf8.size(); ++i) {
    if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80) {
      if (n == 0) break;
      --n;
    }
  }
  return i;
}

// The text wrapped at kWidth columns, its first line after `lead` columns
// (which the caller has written), the next ones indented by `indent` spaces;
// a line feed at the end. Words break at blanks; a word wider than a line (a
// path, a long value) is cut after a / or \ that leaves the most on the
// line, else where the line ends.
std::string Wrapped(std::string_view text, size_t lead, size_t indent) {
  std::string out;
  size_t column = lead;
  bool line_start = true;
  auto new_line = [&] {
    out += "\n" + std::string(indent, ' ');
    column = indent;
    line_start = true;
  };
  while (!text.empty()) {
    const size_t space = text.find(' ');
    std::string_view word = text.substr(0, space);
    text.remove_prefix(space == std::string_view::npos ? text.size() : space + 1);
    const size_t room = kWidth > indent ? kWidth - indent : 1;
    if (!line_start && column + 1 + std::min(Width(word), room) > kWidth) new_line();
    if (!line_start) {
      out += ' ';
      ++column;
    }
    while (column + Width(word) > kWidth && Width(word) > 1) {
      size_t fits = column < kWidth ? kWidth - column : 0;
      if (fits == 0 && !line_start) {
        new_line();
        continue;
      }
      fits = std::max<size_t>(fits, 1);
      std::string_view piece = word.substr(0, BytesOf(word, fits));
      const size_t slash = piece.find_last_of("/\\");
      if (slash != std::string_view::npos && slash > 0) piece = piece.substr(0, slash + 1);
      out += piece;
      word.remove_prefix(piece.size());
      new_line();
    }
    out += word;
    column += Width(word);
    line_start = false;
  }
  return out + "\n";
}

std::string Quoted(std::string_view text) { return "\"" + VisibleBlanks(text) + "\""; }

// A text of the catalogue for the terminal: its examples, code spans between
// backticks, between double quotes with their blanks shown as in the fields.
std::string CatalogueWords(std::string_view text) {
  std::string out;
  while (!text.empty()) {
    const size_t open = text.find('`');
    const size_t close = open == std::string_view::npos ? open : text.find('`', open + 1);
    if (close == std::string_view::npos) break;
    out += text.substr(0, open);
    out += Quoted(text.substr(open + 1, close - open - 1));
    text.remove_prefix(close + 1);
  }
  return out + std::string(text);
}

std::string Bits(uint8_t value) {
  std::string bits;
  for (int i = 7; i >= 0; --i) bits += ((value >> i) & 1) != 0 ? '1' : '0';
  return bits;
}

std::string DateWords(const DateText& date) {
  std::string_view d = DateView(date);
  if (d.size() != 8 || d == "        ") return "none";
  return std::string(d.substr(0, 2)) + "/" + std::string(d.substr(2, 2)) + "/" +
         std::string(d.substr(4, 4));
}

std::string ResultNumbers(const GroupResult& r) {
  return Padded(r.GroupCategory, 2) + " " + Padded(r.GroupNumber, 3) + " " +
         Padded(r.GroupReturn, 2);
}

std::string FormatWords(const Explanation& e) {
  switch (e.format) {
    case LineFormat::kWellFormed:
      return "well-formed summary, format " + std::string(FieldTextOf(e, line_field::kFormatNo)) +
             ", " + Num(static_cast<int64_t>(e.length)) + " characters = 343 + 8 x " +
             Num(e.act_count) + (e.act_count == 1 ? " act" : " acts");
    case LineFormat::kUnreadable:
      return "unreadable: " + Num(static_cast<int64_t>(e.length)) +
             " characters, fewer than 12, so not even the format number can be read";
    case LineFormat::kUnknownFormat:
      return "unknown format number " + Quoted(FieldTextOf(e, line_field::kFormatNo)) +
             " in columns 10-12: only \"M04\" and \"MA4\" are summaries";
    case LineFormat::kSizeProblem: {
      std::string text =
          "size problem: the line has " + Num(static_cast<int64_t>(e.length)) + " characters";
      if (e.length < 343) return text + ", fewer than the 343 of a summary without acts";
      if (e.length > 498) return text + ", more than the 498 a summary can have";
      return text + ", but its act count " + Quoted(FieldTextOf(e, line_field::kActCount)) +
             " (columns 342-343, read as " + Num(e.act_count) + ") asks for 343 + 8 x " +
             Num(e.act_count) + " = " + Num(e.expected_length.value_or(0));
    }
  }
  return "";
}

void Section(std::string_view title, std::string* out) {
  *out += '\n';
  *out += title;
  *out += '\n';
}

void WriteFields(const Explanation& e, std::string* out) {
  Section("Fields (\xC2\xB7 marks a blank)", out);
  *out += "  " + PadRight("columns", 9) + PadRight("field", 26) + "text\n";
  for (const LineFieldText& f : e.fields) {
    *out += "  " + PadRight(ColumnsText(f.field), 9) + PadRight(f.name, 26) + Quoted(f.text) + "\n";
  }
}

void WriteErrors(const Explanation& e, std::string* out) {
  if (!e.looked_up) return;
  if (e.errors.empty()) {
    Section("Errors: none", out);
    return;
  }
  Section("Errors (" + Num(static_cast<int64_t>(e.errors.size())) + ", in check order)", out);
  for (const ExplainedError& error : e.errors) {
    *out += "  " + Wrapped(PadRight(Num(error.number), 4) +
                               PadRight(error.blocking ? "blocking" : "non-blocking", 14) +
                               error.field_name +
                               (error.field.length > 1 ? ", columns " : ", column ") +
                               ColumnsText(error.field) + ": " + Quoted(error.text),
                           2, 6);
    if (error.info == nullptr) continue;
    // The case of the rule that applies, or the rule when it has one case.
    *out += "      " + Wrapped(error.reason.empty() ? CatalogueWords(error.info->description)
                                                    : error.reason,
                               6, 6);
    if (!error.info->note.empty()) {
      *out += "      Note: " + Wrapped(CatalogueWords(error.info->note), 12, 12);
    }
  }
}

void WriteLookups(const Explanation& e, std::string* out) {
  if (!e.looked_up) return;
  Section("Diagnoses (looked up in the diagnosis table)", out);
  *out += "  diag   code      record  category  positions  attributes\n";
  const auto& diags = e.diagnoses;
  for (size_t i = 0; i < diags.size(); ++i) {
    const DiagSlotLookup& d = diags[i];
    // A run of blank slots with the same lookup is one row.
    size_t last = i;
    while (d.code == "      " && last + 1 < diags.size() && diags[last + 1].code == d.code &&
           diags[last + 1].record == d.record && diags[last + 1].position_bits == d.position_bits &&
           diags[last + 1].attributes == d.attributes) {
      ++last;
    }
    std::string attributes;
    for (uint8_t a : d.attributes) attributes += (attributes.empty() ? "" : " ") + Num(a);
    std::string slots = Num(d.slot + 1);
    if (last > i) slots += "-" + Num(diags[last].slot + 1);
    *out += "  " + PadRight(slots, 7) + PadRight(Quoted(d.code), 10) + PadRight(Num(d.record), 8) +
            PadRight(Num(d.category), 10) + PadRight(Bits(d.position_bits), 11) +
            Wrapped(attributes, 48, 48);
    i = last;
  }
  Section("Acts (looked up in the act table)", out);
  if (e.acts.empty()) *out += "  none taken into account\n";
  for (const ActSlotLookup& a : e.acts) {
    *out += "  act " + PadRight(Num(a.slot + 1), 3) + Quoted(a.code) + "  class " +
            Num(a.act_class) + (a.act_class == 0 ? " (not in the table)" : "") + "\n";
  }
  const DerivedValues& d = e.derived;
  Section("Derived values", out);
  auto row = [out](std::string_view label, const std::string& value) {
    *out += "  " + PadRight(std::string(label), 25) + value + "\n";
  };
  row("today", DateWords(d.today));
  row("Monday of the week", DateWords(d.week_start) == "none"
                                ? std::string("none: the week number gives no date")
                                : DateWords(d.week_start));
  row("age in years", d.age_in_years < 0 ? std::string("unknown (-1)") : Num(d.age_in_years));
  row("reference delay",
      d.ref_delay < 0 ? std::string("unknown (-1)") : Num(d.ref_delay) + " days");
  row("presence days", Num(d.presence_count));
  row("score sum", d.score_sum.has_value()
                       ? Num(*d.score_sum)
                       : std::string("not computed (a blocking error stops first)"));
  row("acts taken into account", Num(d.act_slot_count));
}

void WriteStep(const WalkStep& s, std::string* out) {
  constexpr size_t kIndent = 14;
  const std::string indent(kIndent, ' ');
  *out += "  node " + PadRight(Num(s.node_number), 7);
  if (s.test_name.empty()) {
    *out += "opcode " + Num(s.node.Opcode) + ": no such node test\n";
    return;
  }
  *out += Wrapped(s.test_name + " (opcode " + Num(s.node.Opcode) + ", parameters " +
                      Num(s.node.Param1) + " and " + Num(s.node.Param2) + ", base node " +
                      Num(s.node.BaseNode) + ")",
                  kIndent, kIndent);
  *out += indent + Wrapped(s.question, kIndent, kIndent);
  if (!s.looked_at.empty()) {
    *out += indent + "looked at: " + Wrapped(s.looked_at, kIndent + 11, kIndent + 11);
  }
  *out += indent + "answer " + Num(s.branch);
  if (s.next_node.has_value()) *out += " -> node " + Num(*s.next_node);
  *out += "\n";
}

void WriteWalk(const Explanation& e, std::string* out) {
  if (!e.walked) return;
  Section("Tree walk (" + Num(static_cast<int64_t>(e.steps.size())) +
              (e.steps.size() == 1 ? " test)" : " tests)"),
          out);
  for (size_t i = 0; i < e.steps.size(); ++i) {
    if (e.steps.size() > kWalkShownWhole && i == kWalkShownFirst) {
      *out += "  ... " +
              Num(static_cast<int64_t>(e.steps.size() - kWalkShownFirst - kWalkShownLast)) +
              " more tests ...\n";
      i = e.steps.size() - kWalkShownLast;
    }
    WriteStep(e.steps[i], out);
  }
  if (e.end.leaf) {
    *out += "  node " + PadRight(Num(e.end.node_number), 7) + "leaf: category " +
            Padded(e.end.node.Param2, 2) + ", number " + Padded(e.end.node.BaseNode, 3) +
            ", return code " + Padded(e.end.node.Param1, 2) + "\n";
  } else {
    *out += "  the walk fails with code " + Num(e.end.failure) + ": " +
            Wrapped(e.end.reason, 30 + Num(e.end.failure).size(), 4);
  }
}

std::string OutcomeWords(const Explanation& e) {
  switch (e.outcome) {
    case OutcomeKind::kFormatProblem:
      return "format problem: the batch counts the line in NbErrForm and neither checks nor "
             "groups it";
    case OutcomeKind::kTableProblem:
      return "table problem: " + e.table_problem->reason.message();
    case OutcomeKind::kBlocked:
      return "not grouped: error " + Num(e.result.GroupReturn) +
             " is the first blocking error in check order (result " + ResultNumbers(e.result) + ")";
    case OutcomeKind::kGrouped:
      return "grouped: category " + Padded(e.result.GroupCategory, 2) + ", number " +
             Padded(e.result.GroupNumber, 3) + ", return code " + Padded(e.result.GroupReturn, 2) +
             (e.errors.empty() ? "" : " (with non-blocking errors only)");
    case OutcomeKind::kWalkFailed:
      return "the tree walk failed: result " + ResultNumbers(e.result) + ", code " +
             Num(e.result.GroupReturn) + " (" + e.end.reason + ")";
  }
  return "";
}

void Indented(std::string_view lines, std::string* out) {
  size_t start = 0;
  while (start < lines.size()) {
    size_t end = lines.find('\n', start);
    if (end == std::string_view::npos) end = lines.size();
    *out += "    " + Cp1252ToUtf8(lines.substr(start, end - start)) + "\n";
    start = end + 1;
  }
}

void WriteResult(const Explanation& e, std::string* out) {
  Section("Result", out);
  *out += "  " + Wrapped(OutcomeWords(e), 2, 2);
  if (e.outcome == OutcomeKind::kTableProblem) {
    *out += "  (the batch reports this problem to " +
            std::string(e.table_problem->status == 9 ? "one summary of a run only"
                                                     : "every summary while the table is missing") +
            ")\n";
  }
  const std::string advice = FaultAdvice(e);
  if (!advice.empty()) *out += "  " + Wrapped(advice, 2, 2);
  if (e.grp_line.empty()) {
    *out += "  The batch writes no .grp line for it.\n";
  } else {
    *out += "  The batch writes this line to the .grp file:\n";
    Indented(e.grp_line, out);
  }
  if (e.err_entry.empty()) {
    *out += "  and nothing to the .err file.\n";
  } else {
    *out += std::string(e.grp_line.empty() ? "  It writes" : "  and") + " to the .err file:\n";
    Indented(e.err_entry, out);
  }
}

}  // namespace

std::string VisibleBlanks(std::string_view text) {
  std::string out;
  for (char c : Cp1252ToUtf8(text)) {
    if (c == ' ') {
      out += "\xC2\xB7";
    } else {
      out += c;
    }
  }
  return out;
}

std::string ColumnsText(FieldRef field) {
  std::string text = Num(field.offset + 1);
  if (field.length > 1) text += "-" + Num(field.offset + field.length);
  return text;
}

std::string_view FaultName(const Explanation& e) {
  switch (e.outcome) {
    case OutcomeKind::kTableProblem:
    case OutcomeKind::kWalkFailed:
      return "tables";
    case OutcomeKind::kGrouped:
      return e.errors.empty() ? "none" : "summary";
    case OutcomeKind::kFormatProblem:
    case OutcomeKind::kBlocked:
      return "summary";
  }
  return "";
}

std::string FaultAdvice(const Explanation& e) {
  constexpr std::string_view kNotTheSummary =
      "The fault lies in the tables, not in the summary: nothing in it needs correcting. ";
  if (e.outcome == OutcomeKind::kWalkFailed) {
    return "The fault lies in the tree table (" + std::string(kTreeTableName) +
           "), not in the summary: its decision tree has no way to a leaf for this summary, "
           "and nothing in the summary needs correcting. Tell the tables' provider, with "
           "this explanation.";
  }
  if (e.outcome != OutcomeKind::kTableProblem) return "";
  if (e.table_problem.has_value() && e.table_problem->status == kTableVersionsDiffer) {
    return std::string(kNotTheSummary) +
           "The three tables must be of one version: install a set that agrees, or tell the "
           "tables' provider.";
  }
  return std::string(kNotTheSummary) +
         "Check that the table directory holds the three table files and that they can be "
         "read; if they are there as delivered, tell the tables' provider.";
}

std::string ExplanationText(const Explanation& e) {
  std::string out = Wrapped("Line " + Num(e.line_number) +
                                (e.source.empty() ? std::string() : " of " + e.source) + ": " +
                                Num(static_cast<int64_t>(e.length)) + " characters",
                            0, 2);
  out += "  " + Wrapped(FormatWords(e), 2, 4);
  if (e.format == LineFormat::kWellFormed) {
    std::string tables =
        "tables: " +
        (e.table_directory.empty() ? std::string("(current directory)") : e.table_directory);
    if (!VersionView(e.version).empty()) tables += ", version " + std::string(VersionView(e.version));
    out += "  " + Wrapped(tables, 2, 4);
    out += "  today: " + DateWords(e.derived.today) + "\n";
    WriteFields(e, &out);
    WriteErrors(e, &out);
    WriteLookups(e, &out);
    WriteWalk(e, &out);
  }
  WriteResult(e, &out);
  return out;
}

}  // namespace grulo
