// Everything an explanation says about one line, gathered while the line is
// grouped by the batch's own grouping context: the format recognition, the
// fields, the errors in check order, the lookups, the derived values, the
// tree walk, the result and the lines the batch writes. The renderings (for
// a person, JSON) only read it.

#ifndef GRULO_EXPLAIN_EXPLANATION_H_
#define GRULO_EXPLAIN_EXPLANATION_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/calendar.h"
#include "checks/error_catalogue.h"
#include "grouper/line_outcome.h"
#include "grouper/table_session.h"
#include "grulo/result.h"
#include "record/summary_layout.h"
#include "tree/tree_walk.h"

namespace grulo {

// One field of the summary line.
struct LineFieldText {
  std::string key;   // the system's name: "BirthDate", "Diag[3]", "Durations[0]"
  std::string name;  // for a person: "birth date", "diagnosis 4", "duration 1"
  FieldRef field;    // in the line, offsets from 0
  std::string text;  // what the line holds there (Windows-1252), shorter when cut
};

// One error, in check order.
struct ExplainedError {
  int16_t number = 0;
  bool blocking = false;
  const ErrorInfo* info = nullptr;  // the catalogue's entry
  int index = 0;                    // the field's place in its run; kWholeRun for the scores
  FieldRef field{0, 0};             // the field the error concerns (the whole run for scores)
  std::string field_name;           // "birth date", "associated diagnosis 5"
  std::string text;                 // the field's text in the line
  std::string reason;               // the rule's case for this summary (UTF-8); empty: the
                                    // description is the whole rule (error_reasons.h)
};

struct DiagSlotLookup {
  int slot = 0;         // 0 to 22
  std::string code;     // the 6 characters of the working record
  uint16_t record = 0;  // record number in the diagnosis table, 0: not found
  uint8_t category = 0;
  uint8_t position_bits = 0;
  std::vector<uint8_t> attributes;  // the attribute block after the category
};

struct ActSlotLookup {
  int slot = 0;      // 0 to 9
  std::string code;  // 8 characters
  uint8_t act_class = 0;
};

struct DerivedValues {
  DateText today{};
  DateText week_start{};  // 8 blanks when the week number gives no Monday
  int16_t age_in_years = -1;
  int16_t ref_delay = -1;
  int16_t presence_count = 0;
  std::optional<int16_t> score_sum;  // computed only when nothing blocks
  int16_t act_slot_count = 0;
};

// One inner node of the walk and the test it ran.
struct WalkStep {
  int16_t node_number = 0;
  TreeNode node;
  bool tested = false;  // false: the opcode names no test
  int16_t branch = 0;
  std::string test_name;
  std::string question;
  std::string looked_at;
  std::optional<int16_t> next_node;  // none when the branch was refused
};

struct WalkEnd {
  bool leaf = false;
  int16_t node_number = 0;  // the leaf, or where the walk failed
  TreeNode node;            // the leaf
  int16_t failure = 0;      // 1 to 3
  std::string reason;       // for a person, when it failed
};

struct Explanation {
  // Where the line came from: "argument", "standard input" or a path; the
  // line number is that of the .err header (1 when not from a file).
  std::string source;
  int64_t line_number = 1;
  std::string text;  // the line, Windows-1252, without its line end
  uint64_t length = 0;

  LineFormat format = LineFormat::kUnreadable;
  int64_t act_count = 0;                   // read from the line, for the length rule
  std::optional<int64_t> expected_length;  // for a line that has a format number and an act count
  std::vector<LineFieldText> fields;

  std::string table_directory;
  VersionText version{};
  std::optional<TableProblem> table_problem;

  std::vector<ExplainedError> errors;
  bool looked_up = false;  // the lookups and checks ran
  std::vector<DiagSlotLookup> diagnoses;
  std::vector<ActSlotLookup> acts;
  DerivedValues derived;

  bool walked = false;
  std::vector<WalkStep> steps;
  WalkEnd end;

  OutcomeKind outcome = OutcomeKind::kFormatProblem;
  GroupResult result;
  std::string grp_line;   // with its line feed; empty when the batch writes none
  std::string err_entry;  // the .err lines for this line, line feeds; empty when none
};

// Explains line `line_number` of an input as the batch groups it: `text`
// holds the line's first characters (all of them up to 512) and `length` its
// length; `today` is DDMMYYYY. `tables` is the run's table session as the
// batch has it when the line comes: it has seen every well-formed line
// before it (TableSession::Replay), so that the line gets what the batch
// gave it, a table message that only one summary gets included. A
// well-formed line moves the session on, as the batch's does.
Explanation ExplainLine(TableSession* tables, std::string_view text, uint64_t length,
                        const DateText& today, int64_t line_number);

// "grouped", "blocked"...: the outcome's name in the JSON document.
std::string_view OutcomeName(OutcomeKind kind);

// "well-formed", "unreadable", "unknown-format", "size-problem".
std::string_view FormatName(LineFormat format);

}  // namespace grulo

#endif  // GRULO_EXPLAIN_EXPLANATION_H_
