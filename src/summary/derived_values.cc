#include "summary/derived_values.h"

#include <cstdint>

#include "calendar/calendar.h"
#include "record/field_mask.h"
#include "record/summary_layout.h"
#include "text/number_text.h"

namespace grulo {
namespace {

// Branch numbers of the categories that have their own branch.
struct CategoryBranchEntry {
  int category;
  int16_t branch;
};
constexpr CategoryBranchEntry kCategoryBranches[] = {
    {11, 0}, {12, 1}, {13, 2}, {14, 3},  {15, 4},  {16, 5},  {17, 6},
    {18, 7}, {20, 8}, {30, 9}, {40, 10}, {50, 11}, {60, 12}, {99, 13},
};

constexpr std::string_view kWeekMask = "999999";
constexpr int16_t kWeekMinLength = 5;
constexpr int16_t kMaxRefDelay = 999;
constexpr int kScoresSummed = 4;

// A date field that may be handed to the calendar operations; `split` then
// holds it split.
bool DateIsUsable(std::string_view date, SplitDateResult* split) {
  if (MatchDateMask(date) != MaskOk) return false;
  *split = SplitDate(date);
  return DateIsValid(*split) == 0;
}

int16_t FoldRefDelay(int32_t days) {
  if (days > kMaxRefDelay) return kMaxRefDelay;
  if (days >= 0) return static_cast<int16_t>(days);
  if (days >= -6) return 0;  // a reference date later in the summary's week
  return -1;                 // a reference date after the summary's week
}

}  // namespace

void FillCategoryBranch(SummaryState* state) {
  state->CategoryBranch.fill(0);
  for (const CategoryBranchEntry& entry : kCategoryBranches) {
    state->CategoryBranch[entry.category] = entry.branch;
  }
}

void TakeActSlots(std::string_view line, SummaryState* state) {
  int32_t count = ParseCount(state->Record.Field(wr_field::kActCount));
  if (count > kMaxActSlots) count = kMaxActSlots;
  state->ActSlotCount = static_cast<int16_t>(count);
  for (int k = 0; k < count; ++k) {
    std::array<char, kActCodeLength>& slot = state->ActSlots[k];
    slot.fill(' ');
    size_t at = static_cast<size_t>(line_field::kActsOffset + kActCodeLength * k);
    if (at < line.size()) line.copy(slot.data(), kActCodeLength, at);
  }
}

void DeriveDates(SummaryState* state) {
  state->AgeInYears = -1;
  state->RefDelay = -1;

  const WorkingRecord& record = state->Record;
  std::string_view week = record.Field(wr_field::kWeekNo);
  if (MatchMask(week, kWeekMask, TrimLeading, kWeekMinLength) != MaskOk ||
      WeekNoIsPlausible(week) != 0) {
    state->WeekStart.fill(' ');
    state->WeekStart[8] = '\0';
    state->WeekStartDay = DayNumber(DateView(state->WeekStart));
    return;
  }
  WeekStartDate(week, &state->WeekStart);
  const SplitDateResult week_start = SplitDate(DateView(state->WeekStart));
  state->WeekStartDay = DayNumber(week_start);

  SplitDateResult birth;
  if (DateIsUsable(record.Field(wr_field::kBirthDate), &birth)) {
    state->AgeInYears = AgeBetween(week_start, birth);
  }

  SplitDateResult ref;
  if (DateIsUsable(record.Field(wr_field::kRefDate), &ref)) {
    int32_t days = state->WeekStartDay - DayNumber(ref);
    state->RefDelay = FoldRefDelay(days);
  }
}

void CountPresenceDays(SummaryState* state) {
  int16_t count = 0;
  for (char flag : state->Record.Field(wr_field::kPresenceDays)) {
    if (flag == '1') ++count;
  }
  state->PresenceCount = count;
}

void SumScores(SummaryState* state) {
  std::string_view scores = state->Record.Field(wr_field::kScores);
  int sum = 0;
  for (int i = 0; i < kScoresSummed; ++i) {
    sum += static_cast<unsigned char>(scores[i]) - '0';
  }
  state->ScoreSum = static_cast<int16_t>(sum);
}

}  // namespace grulo
