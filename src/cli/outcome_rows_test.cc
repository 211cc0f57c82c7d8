#include "cli/outcome_rows.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "checks/error_list.h"

namespace grulo {
namespace {

LineOutcome Outcome(LineFormat format, OutcomeKind kind, GroupResult result, const char* version,
                    std::initializer_list<int16_t> errors) {
  LineOutcome o;
  o.Start(format);
  o.kind = kind;
  o.result = result;
  o.version = {version[0], version[0] == 0 ? '\0' : version[1], '\0'};
  for (int16_t e : errors) AddError(&o.errors, e);
  return o;
}

// Errors 1 and 17 do not block, 2 and 13 do.
TEST(OutcomeRowsTest, JsonAndCsvRows) {
  const struct {
    LineOutcome outcome;
    const char* json;
    const char* csv;
  } rows[] = {
      {Outcome(LineFormat::kWellFormed, OutcomeKind::kGrouped, {1, 10, 0}, "D1", {17, 1}),
       R"({"line": 7, "format": "well-formed", "category": 1, "number": 10, "return": 0, )"
       R"("version": "D1", "blocking": [], "non_blocking": [17, 1]})",
       "7,well-formed,1,10,0,D1,,17 1"},
      {Outcome(LineFormat::kWellFormed, OutcomeKind::kBlocked, {90, 900, 13}, "D1", {1, 13, 2, 13}),
       R"({"line": 7, "format": "well-formed", "category": 90, "number": 900, "return": 13, )"
       R"("version": "D1", "blocking": [13, 2, 13], "non_blocking": [1]})",
       "7,well-formed,90,900,13,D1,13 2 13,1"},
      {Outcome(LineFormat::kWellFormed, OutcomeKind::kTableProblem, {0, 0, 99}, "", {}),
       R"({"line": 7, "format": "well-formed", "category": 0, "number": 0, "return": 99, )"
       R"("version": "", "blocking": [], "non_blocking": []})",
       "7,well-formed,0,0,99,,,"},
      // A version of any two bytes: Windows-1252, quoted where CSV needs it.
      {Outcome(LineFormat::kWellFormed, OutcomeKind::kGrouped, {2, 3, 1}, "\x80,", {}),
       R"({"line": 7, "format": "well-formed", "category": 2, "number": 3, "return": 1, )"
       "\"version\": \"\xE2\x82\xAC,\", \"blocking\": [], \"non_blocking\": []}",
       "7,well-formed,2,3,1,\"\xE2\x82\xAC,\",,"},
      {Outcome(LineFormat::kWellFormed, OutcomeKind::kGrouped, {2, 3, 1}, "\"\x01", {}),
       R"({"line": 7, "format": "well-formed", "category": 2, "number": 3, "return": 1, )"
       R"("version": "\"\u0001", "blocking": [], "non_blocking": []})",
       "7,well-formed,2,3,1,\"\"\"\x01\",,"},
      {Outcome(LineFormat::kSizeProblem, OutcomeKind::kFormatProblem, {}, "", {}),
       R"({"line": 7, "format": "size-problem", "category": null, "number": null, )"
       R"("return": null, "version": null, "blocking": [], "non_blocking": []})",
       "7,size-problem,,,,,,"},
  };
  ErrorNumbers numbers;
  for (const auto& r : rows) {
    SCOPED_TRACE(r.csv);
    std::string json, csv;
    AppendJsonRow(7, r.outcome, &numbers, &json);
    AppendCsvRow(7, r.outcome, &numbers, &csv);
    EXPECT_EQ(json, std::string(r.json) + "\n");
    EXPECT_EQ(csv, std::string(r.csv) + "\n");
  }
}

}  // namespace
}  // namespace grulo
