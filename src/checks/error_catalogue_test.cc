#include "checks/error_catalogue.h"

#include <algorithm>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "checks/check_sequence.h"
#include "checks/error_list.h"
#include "checks/summary_testutil.h"

namespace grulo {
namespace {

// Numbers kept in the numbering that no check produces, and the numbers that
// do not block grouping.
const std::set<int16_t> kNeverProduced = {4, 5, 6, 7, 18, 28, 62, 69};
const std::set<int16_t> kNonBlocking = {1,  4,  5,  6,  7,  17, 18, 21, 22, 23, 24, 25,
                                        26, 27, 28, 29, 30, 31, 33, 34, 35, 36, 37, 38,
                                        39, 40, 41, 44, 64, 69, 70, 71, 72, 73, 82};

TEST(ErrorCatalogueTest, DescribesEachNumberOnce) {
  for (int16_t n = 1; n <= kErrorNumberCount; ++n) {
    const ErrorInfo* info = FindErrorInfo(n);
    ASSERT_NE(info, nullptr) << n;
    EXPECT_EQ(ToNumber(info->number), n);
    EXPECT_EQ(FindErrorInfo(info->number), info);
    EXPECT_EQ(info->produced, kNeverProduced.count(n) == 0) << n;
    EXPECT_EQ(info->field.name.empty(), !info->produced) << n;
    EXPECT_EQ(info->field.count == 0, !info->produced) << n;
    EXPECT_EQ(info->blocking, kNonBlocking.count(n) == 0) << n;
  }
  for (int16_t n : {-1, 0, 83, 100}) EXPECT_EQ(FindErrorInfo(n), nullptr) << n;
  EXPECT_EQ(FindErrorInfo(ErrorNumber::kNone), nullptr);
}

// The texts are read on a terminal and in listings: plain ASCII, one line
// each, a sentence; the one-line descriptions, which listings and the report
// show as they are, without the backticks of the examples.
TEST(ErrorCatalogueTest, TextsArePlainSentences) {
  for (const ErrorInfo& info : ErrorCatalogue()) {
    for (std::string_view text : {info.description, info.note}) {
      for (char c : text) {
        EXPECT_TRUE(c >= ' ' && c <= '~') << ToNumber(info.number) << ": " << text;
      }
      if (!text.empty()) {
        EXPECT_EQ(text.back(), '.') << ToNumber(info.number) << ": " << text;
      }
    }
    EXPECT_FALSE(info.description.empty()) << ToNumber(info.number);
    EXPECT_EQ(info.description.find('`'), std::string_view::npos) << ToNumber(info.number);
    EXPECT_LE(info.description.size(), 200u) << ToNumber(info.number);
  }
}

// Where the field of an error lies in the line: offset from 0 and length of
// the field given, or of field i of a run.
TEST(ErrorCatalogueTest, FieldsPointAtTheirColumns) {
  const struct {
    int16_t number;
    int i;  // field of the run
    int offset, length, count;
  } rows[] = {
      {1, 0, 0, 9, 1},     {3, 0, 12, 7, 1},    {9, 0, 19, 1, 1},    {13, 0, 40, 8, 1},
      {16, 0, 48, 1, 1},   {17, 0, 87, 4, 1},   {22, 0, 54, 8, 1},   {24, 0, 62, 1, 1},
      {27, 0, 63, 1, 1},   {32, 0, 64, 8, 1},   {36, 0, 72, 1, 1},   {39, 0, 73, 1, 1},
      {41, 0, 49, 5, 1},   {45, 0, 74, 6, 1},   {47, 0, 80, 7, 1},   {49, 0, 91, 8, 1},
      {53, 0, 99, 6, 1},   {61, 0, 107, 6, 1},  {68, 0, 115, 6, 1},  {70, 0, 123, 6, 20},
      {73, 19, 275, 6, 20}, {76, 0, 341, 2, 1}, {77, 5, 291, 1, 6},  {78, 0, 292, 1, 1},
      {80, 11, 337, 4, 12}, {81, 0, 343, 8, 10}, {82, 9, 415, 8, 10},
  };
  for (const auto& r : rows) {
    const ErrorField& field = FindErrorInfo(r.number)->field;
    FieldRef at = field.At(r.i);
    EXPECT_EQ(at.offset, r.offset) << r.number;
    EXPECT_EQ(at.length, r.length) << r.number;
    EXPECT_EQ(field.count, r.count) << r.number;
  }
}

// What the catalogue says where a rule surprises, put to the test: each row
// quotes the entry and gives a summary (the valid one of the check tests,
// week 11 of 2009, stay kind 1, changed) on which the checks must give the
// number, or not, as the quote says.
TEST(ErrorCatalogueTest, WhatItSaysIsWhatTheChecksDo) {
  namespace lf = line_field;
  const struct {
    int16_t number;
    const char* says;
    testing::FieldEdits edits;
    bool given;
  } rows[] = {
      {42, "`-52026` is week -5 and gets this error", {{lf::kWeekNo, "-52026"}}, true},
      {42, "`+12009` read as week 1 of 2009 and pass", {{lf::kWeekNo, "+12009"}}, false},
      {42, "`1 2009` and", {{lf::kWeekNo, "1 2009"}}, false},
      {13, "such as `1 2009` or `+12009`", {{lf::kWeekNo, "+12009"}}, true},
      {13, "from 1 January to 5 December of year 0000 is not caught",
       {{lf::kWeekNo, "1 2009"}, {lf::kBirthDate, "05120000"}}, false},
      {14, "in year 0000 gets this error only when the week number gives a date",
       {{lf::kWeekNo, "1 2009"}, {lf::kBirthDate, "01010000"}}, false},
      {14, "in year 0000 gets this error", {{lf::kBirthDate, "01010000"}}, true},
      {13, "to 5 December of year 0000", {{lf::kWeekNo, "1 2009"}, {lf::kBirthDate, "06120000"}},
       true},
      {14, "44165 days (121 x 365) or more", {{lf::kBirthDate, "07041888"}}, true},
      {14, "44165 days", {{lf::kBirthDate, "08041888"}}, false},
      {14, "born on 9 May 1903 gets this error in the week of Monday 8 April 2024",
       {{lf::kWeekNo, "152024"}, {lf::kBirthDate, "09051903"}}, true},
      {14, "at 120 years, 10 months and 30 days",
       {{lf::kWeekNo, "152024"}, {lf::kBirthDate, "10051903"}}, false},
      {27, "blank, for stay kinds other than 1 and 5",
       {{lf::kStayKind, "3"}, {lf::kEntryMode, " "}, {lf::kProvenance, "1"}}, true},
      {27, "for stay kinds other than 1 and 5",
       {{lf::kStayKind, "5"}, {lf::kEntryMode, " "}, {lf::kProvenance, "1"}}, false},
      {39, "blank for stay kinds other than 1 and 5",
       {{lf::kStayKind, "3"}, {lf::kExitMode, " "}, {lf::kDestination, "1"}}, true},
      {39, "for stay kinds other than 1 and 5",
       {{lf::kStayKind, "1"}, {lf::kExitMode, " "}, {lf::kDestination, "1"}}, false},
      {48, "the month -1 of `01-12009` gets this error", {{lf::kRefDate, "01-12009"}}, true},
      {57, "`Z5012+` is the same as `Z5012`",
       {{testing::DiagField(0), "Z5012 "}, {testing::DiagField(1), "Z5012+"}}, true},
      {57, "`z501` is not the same code as `Z501`",
       {{testing::DiagField(0), "Z501  "}, {testing::DiagField(1), "z501  "}}, false},
      {48, "`01+12009` as 1 January 2009", {{lf::kRefDate, "01+12009"}}, false},
  };
  for (const auto& r : rows) {
    const ErrorInfo& info = *FindErrorInfo(r.number);
    const std::string text = std::string(info.description) + " " + std::string(info.note);
    EXPECT_NE(text.find(r.says), std::string::npos) << r.number << " no longer says: " << r.says;
    ErrorList list;
    RunFieldChecks(testing::PreparedState(r.edits), &list);
    const std::vector<int16_t> errors = testing::ErrorsOf(list);
    EXPECT_EQ(std::count(errors.begin(), errors.end(), r.number) > 0, r.given)
        << r.number << ": " << r.says;
  }
}

}  // namespace
}  // namespace grulo
