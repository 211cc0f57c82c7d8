#include "checks/summary_testutil.h"

#include <algorithm>
#include <cstdio>

#include <gtest/gtest.h>

#include "record/working_record.h"
#include "summary/derived_values.h"

namespace grulo {
namespace testing {
namespace {

constexpr std::string_view kValidActs[] = {"ZZQK0020", "DEQP0030", "YYYY0150", "NKFA0010"};

}  // namespace

std::string ValidSummaryLine(int act_count) {
  std::string line = "750712184" "M04" "0001234" "1";  // establishment, format, stay, kind
  line += "ABCDEFGHIJ0123456789";                       // carried text
  line += "15031950" "1" "75013";                       // birth date, sex, post code
  line += "02032009" "6" "1" "20032009" "7" "2";        // entry and exit: date, mode, place
  line += "112009" "1111100" "A123" "02022009";         // week, presence, unit, ref date
  // Diagnosis slots: 6 characters of code and 2 that are never read.
  const std::string_view codes[] = {"Z501  ", "I10   ", "E119  ", "J45+0 ", "N18+++"};
  for (int i = 0; i < kDiagSlotCount; ++i) {
    line += i < 5 ? codes[i] : std::string_view("      ");
    line += "**";
  }
  line += "abc" "123412" "1";  // carried text, scores, indicator
  // Durations, justified either way.
  line += "0010" " 12 " "7   " "   7" "0000" "1234" "0001" "0002" "0003" "0004" "0005" "0006";
  char count[8];
  std::snprintf(count, sizeof count, "%02d", act_count % 100);
  line += count;
  for (int k = 0; k < act_count; ++k) line += kValidActs[k % 4];
  return line;
}

void SetField(std::string* line, FieldRef field, std::string_view value) {
  ASSERT_EQ(static_cast<int>(value.size()), field.length) << "value '" << value << "'";
  ASSERT_LE(static_cast<size_t>(field.offset + field.length), line->size());
  line->replace(field.offset, field.length, value);
}

void PrepareState(std::string_view line, SummaryState* state) {
  BuildWorkingRecord(line, &state->Record);
  FixedClock clock(kTestToday);
  DateText today{};
  TodayDate(clock, &today);
  SetToday(state, today);

  DeriveDates(state);
  TakeActSlots(line, state);
  state->ActClass.fill(0);
  for (int k = 0; k < state->ActSlotCount; ++k) state->ActClass[k] = 1;

  state->DiagAttrLength = kTestDiagAttrLength;
  state->DiagAttr.fill(0);
  state->DiagPositionBits.fill(255);
  for (int slot = 0; slot < kDiagSlotCount; ++slot) {
    std::string_view code = state->Record.Diag(slot);
    if (code.find_first_not_of(' ') != std::string_view::npos) {
      state->DiagAttr[slot * kTestDiagAttrLength] = kKnownCategory;
    }
  }
}

SummaryState PreparedState(const FieldEdits& edits, int act_count) {
  std::string line = ValidSummaryLine(act_count);
  for (const auto& [field, value] : edits) SetField(&line, field, value);
  SummaryState state;
  PrepareState(line, &state);
  return state;
}

void SetDiagLookup(SummaryState* state, int slot, const std::vector<uint8_t>& attr,
                   int position_bits) {
  ASSERT_LE(static_cast<int>(attr.size()), state->DiagAttrLength);
  std::copy(attr.begin(), attr.end(), state->DiagAttr.begin() + slot * state->DiagAttrLength);
  if (position_bits >= 0) state->DiagPositionBits[slot] = static_cast<uint8_t>(position_bits);
}

std::vector<int16_t> ErrorsOf(const ErrorList& list) {
  int count = std::clamp<int>(list.ErrorCount, 0, kErrorListSize);
  return std::vector<int16_t>(list.entries.begin(), list.entries.begin() + count);
}

}  // namespace testing
}  // namespace grulo
