#include "explain/explanation.h"

#include <algorithm>
#include <utility>

#include "checks/check_observer.h"
#include "checks/error_list.h"
#include "explain/error_reasons.h"
#include "grouper/table_set.h"
#include "grouper/grouping_context.h"
#include "grouper/line_format.h"
#include "grouper/result_lines.h"
#include "tables/diag_table.h"
#include "tables/node_test_catalogue.h"
#include "text/number_text.h"
#include "tree/node_test_words.h"

namespace grulo {
namespace {

struct NamedField {
  const char* key;
  const char* name;
  FieldRef field;
};

// The single fields of the line, in line order; the diagnoses, durations and
// acts are added in their places.
constexpr NamedField kIdentityFields[] = {
    {"EstablishmentNo", "establishment number", line_field::kEstablishmentNo},
    {"FormatNo", "format number", line_field::kFormatNo},
    {"StayNo", "stay number", line_field::kStayNo},
    {"StayKind", "stay kind", line_field::kStayKind},
    {"FreeText1", "free text (never read)", line_field::kFiller1},
    {"BirthDate", "birth date", line_field::kBirthDate},
    {"Sex", "sex", line_field::kSex},
    {"PostCode", "post code", line_field::kPostCode},
    {"EntryDate", "entry date", line_field::kEntryDate},
    {"EntryMode", "entry mode", line_field::kEntryMode},
    {"Provenance", "provenance", line_field::kProvenance},
    {"ExitDate", "exit date", line_field::kExitDate},
    {"ExitMode", "exit mode", line_field::kExitMode},
    {"Destination", "destination", line_field::kDestination},
    {"WeekNo", "week number", line_field::kWeekNo},
    {"PresenceDays", "presence days", line_field::kPresenceDays},
    {"UnitNo", "unit number", line_field::kUnitNo},
    {"RefDate", "reference date", line_field::kRefDate},
};
constexpr NamedField kCareFields[] = {
    {"FreeText2", "free text (never read)", line_field::kFiller2},
    {"Scores", "scores", line_field::kScores},
    {"Indicator", "indicator", line_field::kIndicator},
};

std::string DiagName(int slot) {
  switch (slot) {
    case 0:
      return "first diagnosis";
    case 1:
      return "second diagnosis";
    case 2:
      return "third diagnosis";
    default:
      return "associated diagnosis " + std::to_string(slot - 2);
  }
}

void AddField(std::string key, std::string name, FieldRef field, std::string_view text,
              std::vector<LineFieldText>* fields) {
  fields->push_back({std::move(key), std::move(name), field, std::string(FieldText(text, field))});
}

std::vector<LineFieldText> FieldsOf(std::string_view text, int64_t act_count) {
  std::vector<LineFieldText> fields;
  for (const NamedField& f : kIdentityFields) AddField(f.key, f.name, f.field, text, &fields);
  for (int i = 0; i < kDiagSlotCount; ++i) {
    AddField("Diag[" + std::to_string(i) + "]", DiagName(i),
             {line_field::kDiagOffset + line_field::kDiagStride * i, kDiagCodeLength}, text,
             &fields);
  }
  for (const NamedField& f : kCareFields) AddField(f.key, f.name, f.field, text, &fields);
  for (int j = 0; j < kDurationCount; ++j) {
    AddField("Durations[" + std::to_string(j) + "]", "duration " + std::to_string(j + 1),
             {line_field::kDurations.offset + kDurationLength * j, kDurationLength}, text, &fields);
  }
  AddField("ActCount", "act count", line_field::kActCount, text, &fields);
  for (int64_t k = 0; k < act_count; ++k) {
    AddField("Acts[" + std::to_string(k) + "]", "act " + std::to_string(k + 1),
             {line_field::kActsOffset + kActCodeLength * static_cast<int>(k), kActCodeLength}, text,
             &fields);
  }
  return fields;
}

// The field an error concerns, and its name for a person.
std::pair<FieldRef, std::string> ErrorFieldOf(const ErrorInfo& info, int index) {
  const ErrorField& f = info.field;
  if (f.count <= 1) return {f.first, std::string(f.name)};
  if (index < 0 || index >= f.count) {
    return {{f.first.offset, f.stride * (f.count - 1) + f.first.length}, std::string(f.name)};
  }
  static constexpr std::pair<std::string_view, std::string_view> kOne[] = {
      {"associated diagnoses", "associated diagnosis"},
      {"durations", "duration"},
      {"acts", "act"},
      {"scores", "score"},
  };
  std::string name(f.name);
  for (const auto& [run, one] : kOne) {
    if (f.name == run) name = std::string(one);
  }
  return {f.At(index), name + " " + std::to_string(index + 1)};
}

// Gathers the errors as the checks find them.
class ErrorRecorder final : public CheckObserver {
 public:
  explicit ErrorRecorder(std::string_view text) : text_(text) {}
  void OnError(ErrorNumber number, int index) override {
    ExplainedError error;
    error.number = ToNumber(number);
    error.blocking = !IsNonBlocking(error.number);
    error.info = FindErrorInfo(number);
    error.index = index;
    if (error.info != nullptr) {
      auto [field, name] = ErrorFieldOf(*error.info, index);
      error.field = field;
      error.field_name = std::move(name);
      error.text = std::string(FieldText(text_, field));
    }
    errors.push_back(std::move(error));
  }
  std::vector<ExplainedError> errors;

 private:
  std::string_view text_;
};

// Gathers the walk's events; the steps are written out afterwards, when the
// summary's state is complete.
class WalkRecorder final : public WalkObserver {
 public:
  struct Event {
    enum Kind { kRead, kTest, kFailure } kind;
    int16_t number;  // node read, branch, or failure code
    int16_t at;      // the failure's node
    TreeNode node;
  };
  void OnNodeRead(int16_t number, const TreeNode& node) override {
    events.push_back({Event::kRead, number, 0, node});
  }
  void OnTest(const TreeNode& node, int16_t branch) override {
    events.push_back({Event::kTest, branch, 0, node});
  }
  void OnFailure(int16_t code, int16_t node_number) override {
    events.push_back({Event::kFailure, code, node_number, {}});
  }
  std::vector<Event> events;
};

std::string FailureReason(int16_t code, const WalkStep* last, int16_t at) {
  switch (code) {
    case kWalkTooLong:
      return "more than " + std::to_string(MaxWalkSteps) +
             " node tests without reaching a leaf: a cycle, or a path longer than " +
             std::to_string(MaxWalkSteps) + " nodes";
    case kWalkBadBranch:
      if (last != nullptr && !last->tested) {
        return "node " + std::to_string(at) + " names opcode " + std::to_string(last->node.Opcode) +
               ", which has no node test";
      }
      if (last != nullptr) {
        return "the test of node " + std::to_string(at) + " answered " +
               std::to_string(last->branch) + ", above the node's branch limit " +
               std::to_string(last->node.BranchLimit);
      }
      return "a branch above the node's limit";
    case kWalkNodeOutside:
      return "node " + std::to_string(at) +
             " lies outside the node area of the tree table, or the file does not hold it";
    default:
      return "";
  }
}

void WriteWalk(const WalkRecorder& recorder, const SummaryState& state, Explanation* out) {
  WalkStep* last = nullptr;
  int16_t current = 0;
  for (const WalkRecorder::Event& event : recorder.events) {
    switch (event.kind) {
      case WalkRecorder::Event::kRead:
        if (last != nullptr) last->next_node = event.number;
        current = event.number;
        if (event.node.BranchLimit == 0) {
          out->end.leaf = true;
          out->end.node_number = event.number;
          out->end.node = event.node;
          break;
        }
        out->steps.push_back({});
        last = &out->steps.back();
        last->node_number = event.number;
        last->node = event.node;
        if (const NodeTestWords* words = FindNodeTestWords(event.node.Opcode)) {
          last->test_name = std::string(FindNodeTest(event.node.Opcode)->name);
          last->question = words->question(event.node);
          last->looked_at = words->looked_at(state, event.node);
        }
        break;
      case WalkRecorder::Event::kTest:
        if (last != nullptr) {
          last->tested = true;
          last->branch = event.number;
        }
        break;
      case WalkRecorder::Event::kFailure:
        if (event.number == kWalkNodeOutside && last != nullptr && last->tested) {
          last->next_node = event.at;
        }
        // After too many tests, the node whose test did not run is where
        // the walk stopped, not a step.
        if (event.number == kWalkTooLong && last != nullptr && !last->tested) {
          out->steps.pop_back();
          last = out->steps.empty() ? nullptr : &out->steps.back();
        }
        out->end.leaf = false;
        out->end.failure = event.number;
        out->end.node_number = event.at;
        out->end.reason = FailureReason(event.number, last,
                                        event.number == kWalkNodeOutside ? event.at : current);
        break;
    }
  }
}

void WriteLookups(const TableSet& tables, const SummaryState& state, Explanation* out) {
  out->looked_up = true;
  for (int slot = 0; slot < kDiagSlotCount; ++slot) {
    DiagSlotLookup d;
    d.slot = slot;
    d.code = std::string(state.Record.Diag(slot));
    d.record = DiagRecordNumber(tables.diags(), d.code);
    d.category = state.DiagCategory(slot);
    d.position_bits = state.DiagPositionBits[static_cast<size_t>(slot)];
    const int begin = slot * state.DiagAttrLength + 1;
    const int end = std::min((slot + 1) * state.DiagAttrLength, kDiagAttrTableSize);
    for (int i = begin; i < end; ++i)
      d.attributes.push_back(state.DiagAttr[static_cast<size_t>(i)]);
    out->diagnoses.push_back(std::move(d));
  }
  for (int k = 0; k < state.ActSlotCount && k < kMaxActSlots; ++k) {
    out->acts.push_back({k, std::string(state.ActSlot(k)), state.ActClass[static_cast<size_t>(k)]});
  }
  DerivedValues& d = out->derived;
  d.today = state.Today;
  d.week_start = state.WeekStart;
  d.age_in_years = state.AgeInYears;
  d.ref_delay = state.RefDelay;
  d.presence_count = state.PresenceCount;
  d.act_slot_count = state.ActSlotCount;
}

}  // namespace

Explanation ExplainLine(TableSession* tables, std::string_view text, uint64_t length,
                        const DateText& today, int64_t line_number) {
  Explanation out;
  out.line_number = line_number;
  out.text = std::string(text);
  out.length = length;
  out.table_directory = tables->source().directory();
  out.derived.today = today;
  out.format = RecognizeFormat(text, length);
  std::string_view act_count = FieldText(text, line_field::kActCount);
  out.act_count = ReadNumber(act_count);
  if (length >= static_cast<uint64_t>(kSummaryBaseLength)) {
    out.expected_length = kSummaryBaseLength + 8 * out.act_count;
  }

  // The outcome as the batch makes it, with observers of the checks and the
  // walk.
  LineOutcome outcome;
  outcome.Start(out.format);
  GroupingContext context;
  ErrorRecorder error_recorder(text);
  WalkRecorder walk_recorder;
  if (out.format == LineFormat::kWellFormed) {
    out.fields = FieldsOf(text, out.act_count);
    if (const TableSet* set = tables->ForSummary(&outcome)) {
      context.Group(*set, text, today, &outcome, error_recorder, walk_recorder);
      out.errors = std::move(error_recorder.errors);
      for (ExplainedError& error : out.errors) {
        error.reason = ErrorReason(context.state(), error.number, error.index);
      }
      WriteLookups(*set, context.state(), &out);
      if (!outcome.blocked()) {
        out.walked = true;
        out.derived.score_sum = context.state().ScoreSum;
        WriteWalk(walk_recorder, context.state(), &out);
      }
    }
  }
  out.outcome = outcome.kind;
  out.result = outcome.result;
  out.version = outcome.version;
  if (outcome.table_problem != nullptr) out.table_problem = *outcome.table_problem;
  out.err_entry = ErrEntryText(line_number, text, length, outcome);
  out.grp_line = GrpLineText(text, outcome);
  return out;
}

std::string_view OutcomeName(OutcomeKind kind) {
  switch (kind) {
    case OutcomeKind::kFormatProblem:
      return "format-problem";
    case OutcomeKind::kTableProblem:
      return "table-problem";
    case OutcomeKind::kBlocked:
      return "blocked";
    case OutcomeKind::kGrouped:
      return "grouped";
    case OutcomeKind::kWalkFailed:
      return "walk-failed";
  }
  return "";
}

std::string_view FormatName(LineFormat format) {
  switch (format) {
    case LineFormat::kWellFormed:
      return "well-formed";
    case LineFormat::kUnreadable:
      return "unreadable";
    case LineFormat::kUnknownFormat:
      return "unknown-format";
    case LineFormat::kSizeProblem:
      return "size-problem";
  }
  return "";
}

}  // namespace grulo
