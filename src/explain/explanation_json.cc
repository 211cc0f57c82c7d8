// The JSON form of an explanation. Its shape is documented in
// docs/explain.md; a change of shape raises "shape".

#include "explain/explanation_text.h"
#include "explain/json_writer.h"
#include "text/cp1252_text.h"

namespace grulo {
namespace {

constexpr int kShapeVersion = 1;

void Text(JsonWriter& w, std::string_view key, std::string_view cp1252) {
  w.Key(key);
  w.String(Cp1252ToUtf8(cp1252));
}

void Number(JsonWriter& w, std::string_view key, int64_t value) {
  w.Key(key);
  w.Int(value);
}

void Field(JsonWriter& w, FieldRef field) {
  Number(w, "offset", field.offset);
  Number(w, "length", field.length);
  w.Key("columns");
  w.String(ColumnsText(field));
}

std::string_view WithoutLineEnd(std::string_view line) {
  if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
  return line;
}

void Result(JsonWriter& w, const GroupResult& r) {
  w.BeginObject();
  Number(w, "category", r.GroupCategory);
  Number(w, "number", r.GroupNumber);
  Number(w, "return", r.GroupReturn);
  w.EndObject();
}

void Errors(JsonWriter& w, const Explanation& e) {
  w.Key("errors");
  if (!e.looked_up) {
    w.Null();
    return;
  }
  w.BeginArray();
  for (const ExplainedError& error : e.errors) {
    w.BeginObject();
    Number(w, "number", error.number);
    w.Key("blocking");
    w.Bool(error.blocking);
    w.Key("field");
    w.String(error.field_name);
    Number(w, "index", error.index);
    Field(w, error.field);
    Text(w, "text", error.text);
    w.Key("description");
    w.String(error.info != nullptr ? error.info->description : "");
    w.Key("note");
    w.String(error.info != nullptr ? error.info->note : "");
    w.Key("reason");
    w.String(error.reason);
    w.EndObject();
  }
  w.EndArray();
}

void Lookups(JsonWriter& w, const Explanation& e) {
  w.Key("diagnoses");
  if (!e.looked_up) {
    w.Null();
  } else {
    w.BeginArray();
    for (const DiagSlotLookup& d : e.diagnoses) {
      w.BeginObject();
      Number(w, "slot", d.slot);
      Text(w, "code", d.code);
      Number(w, "record", d.record);
      Number(w, "category", d.category);
      Number(w, "position_bits", d.position_bits);
      w.Key("attributes");
      w.BeginArray();
      for (uint8_t a : d.attributes) w.Int(a);
      w.EndArray();
      w.EndObject();
    }
    w.EndArray();
  }
  w.Key("acts");
  if (!e.looked_up) {
    w.Null();
  } else {
    w.BeginArray();
    for (const ActSlotLookup& a : e.acts) {
      w.BeginObject();
      Number(w, "slot", a.slot);
      Text(w, "code", a.code);
      Number(w, "class", a.act_class);
      w.EndObject();
    }
    w.EndArray();
  }
  w.Key("derived");
  if (!e.looked_up) {
    w.Null();
    return;
  }
  const DerivedValues& d = e.derived;
  w.BeginObject();
  Text(w, "week_start", DateView(d.week_start));
  Number(w, "age_in_years", d.age_in_years);
  Number(w, "ref_delay", d.ref_delay);
  Number(w, "presence_count", d.presence_count);
  w.Key("score_sum");
  if (d.score_sum.has_value()) {
    w.Int(*d.score_sum);
  } else {
    w.Null();
  }
  Number(w, "act_slot_count", d.act_slot_count);
  w.EndObject();
}

void Walk(JsonWriter& w, const Explanation& e) {
  w.Key("walk");
  if (!e.walked) {
    w.Null();
    return;
  }
  w.BeginObject();
  w.Key("steps");
  w.BeginArray();
  for (const WalkStep& s : e.steps) {
    w.BeginObject();
    Number(w, "node", s.node_number);
    Number(w, "opcode", s.node.Opcode);
    w.Key("test");
    w.String(s.test_name);
    Number(w, "param1", s.node.Param1);
    Number(w, "param2", s.node.Param2);
    Number(w, "branch_limit", s.node.BranchLimit);
    Number(w, "base_node", s.node.BaseNode);
    w.Key("question");
    w.String(Cp1252ToUtf8(s.question));
    w.Key("looked_at");
    w.String(Cp1252ToUtf8(s.looked_at));
    w.Key("branch");
    if (s.tested) {
      w.Int(s.branch);
    } else {
      w.Null();
    }
    w.Key("next_node");
    if (s.next_node.has_value()) {
      w.Int(*s.next_node);
    } else {
      w.Null();
    }
    w.EndObject();
  }
  w.EndArray();
  w.Key("end");
  w.BeginObject();
  w.Key("leaf");
  w.Bool(e.end.leaf);
  Number(w, "node", e.end.node_number);
  Number(w, "failure", e.end.failure);
  w.Key("reason");
  w.String(e.end.reason);
  w.EndObject();
  w.EndObject();
}

}  // namespace

std::string ExplanationJson(const Explanation& e) {
  JsonWriter w;
  w.BeginObject();
  Number(w, "shape", kShapeVersion);
  w.Key("source");
  w.String(e.source);
  Number(w, "line_number", e.line_number);
  Text(w, "line", e.text);
  Number(w, "length", static_cast<int64_t>(e.length));

  w.Key("format");
  w.BeginObject();
  w.Key("status");
  w.String(FormatName(e.format));
  Number(w, "act_count", e.act_count);
  w.Key("expected_length");
  if (e.expected_length.has_value()) {
    w.Int(*e.expected_length);
  } else {
    w.Null();
  }
  w.EndObject();

  w.Key("today");
  w.String(std::string(DateView(e.derived.today)));
  w.Key("tables");
  w.BeginObject();
  w.Key("directory");
  w.String(e.table_directory);
  Text(w, "version", VersionView(e.version));
  w.Key("problem");
  if (e.table_problem.has_value()) {
    w.BeginObject();
    Number(w, "status", e.table_problem->status);
    w.Key("detail");
    w.String(e.table_problem->reason.message());
    w.EndObject();
  } else {
    w.Null();
  }
  w.EndObject();

  w.Key("fields");
  w.BeginArray();
  for (const LineFieldText& f : e.fields) {
    w.BeginObject();
    w.Key("key");
    w.String(f.key);
    w.Key("name");
    w.String(f.name);
    Field(w, f.field);
    Text(w, "text", f.text);
    w.EndObject();
  }
  w.EndArray();

  Errors(w, e);
  Lookups(w, e);
  Walk(w, e);

  w.Key("outcome");
  w.String(OutcomeName(e.outcome));
  w.Key("fault");
  w.String(FaultName(e));
  w.Key("advice");
  w.String(FaultAdvice(e));
  w.Key("result");
  if (e.outcome == OutcomeKind::kFormatProblem) {
    w.Null();
  } else {
    Result(w, e.result);
  }
  w.Key("grp_line");
  if (e.grp_line.empty()) {
    w.Null();
  } else {
    w.String(Cp1252ToUtf8(WithoutLineEnd(e.grp_line)));
  }
  w.Key("err_lines");
  w.BeginArray();
  std::string_view entry = e.err_entry;
  while (!entry.empty()) {
    const size_t end = entry.find('\n');
    w.String(Cp1252ToUtf8(entry.substr(0, end)));
    entry.remove_prefix(end == std::string_view::npos ? entry.size() : end + 1);
  }
  w.EndArray();
  w.EndObject();
  return w.Take();
}

}  // namespace grulo
