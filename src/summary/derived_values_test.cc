#include "summary/derived_values.h"

#include <string>
#include <string_view>

#include "checks/summary_testutil.h"
#include "gtest/gtest.h"
#include "record/summary_layout.h"
#include "record/working_record.h"

namespace grulo {
namespace {

// A blank summary line with `acts` act codes "ACTS000a", "ACTS000b", ...
std::string Line(std::string_view act_count, int acts) {
  std::string line(kSummaryBaseLength, ' ');
  line.replace(line_field::kActCount.offset, 2, act_count);
  for (int k = 0; k < acts; ++k) line += std::string("ACTS000") + static_cast<char>('a' + k);
  return line;
}

SummaryState StateOf(const std::string& line) {
  SummaryState state;
  BuildWorkingRecord(line, &state.Record);
  return state;
}

TEST(DerivedValuesTest, CategoryBranch) {
  const std::pair<int, int16_t> cases[] = {{10, 0}, {11, 0},  {18, 7},  {19, 0},
                                           {20, 8}, {60, 12}, {99, 13}, {255, 0}};
  SummaryState state;
  state.CategoryBranch.fill(77);  // left by an earlier summary
  FillCategoryBranch(&state);
  for (auto [category, branch] : cases) EXPECT_EQ(state.CategoryBranch[category], branch);
}

TEST(DerivedValuesTest, ActSlotsFollowTheActCount) {
  const struct {
    std::string_view act_count;
    int acts_in_line;
    int16_t count;
    std::string_view last;  // the last act taken
  } cases[] = {{" 2", 2, 2, "ACTS000b"},
               {"+3", 3, 0, ""},
               {"12", 12, 10, "ACTS000j"},
               {"02", 1, 2, "        "}};  // a line too short for its count: a blank act
  for (const auto& c : cases) {
    std::string line = Line(c.act_count, c.acts_in_line);
    SummaryState state = StateOf(line);
    TakeActSlots(line, &state);
    ASSERT_EQ(state.ActSlotCount, c.count) << c.act_count;
    if (c.count > 0) {
      EXPECT_EQ(state.ActSlot(c.count - 1), c.last) << c.act_count;
    }
  }
}

TEST(DerivedValuesTest, WeekStartAgeAndRefDelay) {
  // Week 10 of 2008 begins on Monday 3 March 2008.
  const struct {
    std::string_view week, birth, ref, week_start;
    int16_t age, ref_delay;
  } cases[] = {
      {"102008", "03031950", "03032008", "03032008", 58, 0},
      {"102008", "04031950", "        ", "03032008", 57, -1},   // birthday after the Monday
      {"102008", "03032010", "09032008", "03032008", -2, 0},    // ref on the Sunday
      {"102008", "31041950", "10032008", "03032008", -1, -1},   // ref on the next Monday
      {"102008", "        ", "08062005", "03032008", -1, 999},  // 999 days
      {"102008", "        ", "06062005", "03032008", -1, 999},  // 1001 days
      {"102008", "        ", " 2032008", "03032008", -1, 1},
      {"102008", "        ", "30022008", "03032008", -1, -1},
      {"532008", "29122000", "        ", "29122008", 8, -1},
      {" 12008", "31122006", "        ", "31122007", 1, -1},
      {"542008", "03031950", "03032008", "        ", -1, -1},
      {"101989", "03031950", "03032008", "        ", -1, -1},
      {"1 2008", "03031950", "03032008", "        ", -1, -1},
  };
  for (const auto& c : cases) {
    std::string line = Line("00", 0);
    testing::SetField(&line, line_field::kWeekNo, c.week);
    testing::SetField(&line, line_field::kBirthDate, c.birth);
    testing::SetField(&line, line_field::kRefDate, c.ref);
    SummaryState state = StateOf(line);
    state.AgeInYears = state.RefDelay = 12;  // left by an earlier summary
    DeriveDates(&state);
    std::string what = std::string(c.week) + " " + std::string(c.birth) + " " + std::string(c.ref);
    EXPECT_EQ(DateView(state.WeekStart), c.week_start) << what;
    EXPECT_EQ(state.WeekStart[8], '\0') << what;
    EXPECT_EQ(state.AgeInYears, c.age) << what;
    EXPECT_EQ(state.RefDelay, c.ref_delay) << what;
  }
}

TEST(DerivedValuesTest, PresenceCountAndScoreSum) {
  const struct {
    std::string_view presence, scores;
    int16_t count, sum;
  } cases[] = {{"1101100", "432144", 4, 10},
               {"       ", "111144", 0, 4},
               {"1111111", "444411", 7, 16},
               {"1 0 1 2", "1234 A", 2, 10}};
  for (const auto& c : cases) {
    std::string line = Line("00", 0);
    testing::SetField(&line, line_field::kPresenceDays, c.presence);
    testing::SetField(&line, line_field::kScores, c.scores);
    SummaryState state = StateOf(line);
    CountPresenceDays(&state);
    SumScores(&state);
    EXPECT_EQ(state.PresenceCount, c.count) << c.presence;
    EXPECT_EQ(state.ScoreSum, c.sum) << c.scores;
  }
}

}  // namespace
}  // namespace grulo
