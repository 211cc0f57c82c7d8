// Test helpers for the field checks: a valid summary line, ways to change one
// of its fields, and the preparation of a SummaryState from a line the way
// the grouping pipeline prepares it before the checks run.

#ifndef GRULO_CHECKS_SUMMARY_TESTUTIL_H_
#define GRULO_CHECKS_SUMMARY_TESTUTIL_H_

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/clock.h"
#include "checks/error_list.h"
#include "record/summary_layout.h"
#include "record/summary_state.h"

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

// Overwrites a field of the line; the value must have the field's width.
void SetField(std::string* line, FieldRef field, std::string_view value);
// Overwrites the 6 characters of diagnosis slot i (0 to 22) of the line.
void SetDiag(std::string* line, int slot, std::string_view code);
// Overwrites duration j (1 to 12) of the line.
void SetDuration(std::string* line, int j, std::string_view value);
// Overwrites act k of the line, which must already hold it.
void SetAct(std::string* line, int k, std::string_view code);

// Fills the state from the line as the pipeline does before the checks:
// working record; WeekStart, the Monday of a usable week or 8 blanks; the
// acts taken in; and lookup results set directly: every non-blank code gets
// category kKnownCategory, every slot position flags 255, every act taken in
// class 1. Today is set from kTestToday.
void PrepareState(std::string_view line, SummaryState* state);

// Writes the attribute block of a slot in the prepared state (its first byte
// is the category).
void SetDiagAttr(SummaryState* state, int slot, std::initializer_list<uint8_t> bytes);

// The entries in use, in list order.
std::vector<int16_t> ErrorsOf(const ErrorList& list);

}  // namespace testing
}  // namespace grulo

#endif  // GRULO_CHECKS_SUMMARY_TESTUTIL_H_
