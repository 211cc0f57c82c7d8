// Test helpers for the field checks: a valid summary line, ways to change one
// of its fields, and the preparation of a SummaryState from a line the way
// the grouping pipeline prepares it before the checks run.

#ifndef GRULO_CHECKS_SUMMARY_TESTUTIL_H_
#define GRULO_CHECKS_SUMMARY_TESTUTIL_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "calendar/clock.h"
#include "checks/error_list.h"
#include "record/summary_layout.h"
#include "summary/summary_state.h"

namespace grulo {
namespace testing {

// The date every check test runs on unless it says otherwise: 15 June 2009.
inline constexpr CivilDate kTestToday{2009, 6, 15};

// Attribute bytes per diagnosis slot in the prepared state.
inline constexpr int16_t kTestDiagAttrLength = 7;
// Category the prepared state gives every non-blank diagnosis code.
inline constexpr uint8_t kKnownCategory = 11;

// A summary line without any error on kTestToday: stay kind '1', entry on
// Monday 2 March 2009 (week 10), exit on Friday 20 March 2009 (week 12),
// week 11 of 2009, reference date 2 February 2009, four diagnoses, and
// `act_count` valid acts (343 + 8 x act_count characters).
std::string ValidSummaryLine(int act_count = 2);

// The line fields of diagnosis slot i (0 to 22, its 6 code characters),
// duration j (1 to 12) and act k (0 to 9).
constexpr FieldRef DiagField(int i) {
  return {line_field::kDiagOffset + line_field::kDiagStride * i, kDiagCodeLength};
}
constexpr FieldRef DurationField(int j) {
  return {line_field::kDurations.offset + kDurationLength * (j - 1), kDurationLength};
}
constexpr FieldRef ActField(int k) {
  return {line_field::kActsOffset + kActCodeLength * k, kActCodeLength};
}

// Overwrites a field of the line, which must already hold it; the value must
// have the field's width.
void SetField(std::string* line, FieldRef field, std::string_view value);

// Fills the state from the line as the pipeline does before the checks:
// working record, the dates derived from it (DeriveDates) and the acts taken
// in (TakeActSlots); the lookup results are set directly: every non-blank
// code gets category kKnownCategory, every slot position flags 255, every
// act taken in class 1. Today is set from kTestToday.
void PrepareState(std::string_view line, SummaryState* state);

using FieldEdits = std::vector<std::pair<FieldRef, std::string>>;

// ValidSummaryLine(act_count) with the fields changed, prepared by
// PrepareState.
SummaryState PreparedState(const FieldEdits& edits, int act_count = 2);

// Overwrites what the diagnosis lookup stored for a slot: the start of its
// attribute block (its first byte is the category; empty: unchanged) and its
// position flags (-1: unchanged).
void SetDiagLookup(SummaryState* state, int slot, const std::vector<uint8_t>& attr,
                   int position_bits = -1);

// The entries in use, in list order.
std::vector<int16_t> ErrorsOf(const ErrorList& list);

}  // namespace testing
}  // namespace grulo

#endif  // GRULO_CHECKS_SUMMARY_TESTUTIL_H_
