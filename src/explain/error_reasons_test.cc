#include "explain/error_reasons.h"

#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "checks/check_observer.h"
#include "checks/check_sequence.h"
#include "checks/summary_testutil.h"

namespace grulo {
namespace {

namespace lf = line_field;
using testing::DiagField;
using testing::DurationField;

class Recorder final : public CheckObserver {
 public:
  void OnError(ErrorNumber number, int index) override {
    errors.emplace_back(ToNumber(number), index);
  }
  std::vector<std::pair<int16_t, int>> errors;
};

#define DOT "\xC2\xB7"

// Each row changes the valid summary of the check tests (stay kind 1, entry
// mode 6, exit mode 7, week 11 of 2009, whose Monday is 9 March 2009) and
// what the lookups stored for some slots (the block from the category on),
// runs the checks, which must give the number, and finds the words of the
// case that applies in the number's reason.
TEST(ErrorReasonTest, NamesTheCaseThatApplies) {
  const struct {
    int16_t number;
    testing::FieldEdits edits;
    const char* says;
    std::vector<std::pair<int, std::vector<uint8_t>>> lookups = {};
  } rows[] = {
      {11, {{lf::kBirthDate, "  031950"}}, "starts with two or more spaces"},
      {11, {{lf::kBirthDate, "310719A0"}}, "column 47 holds \"A\" where a digit must stand"},
      {12, {{lf::kBirthDate, "31041950"}}, "month 4, year 1950: April 1950 has 30 days"},
      {12, {{lf::kBirthDate, "29021950"}}, "February 1950 has 28 days"},
      {12, {{lf::kBirthDate, "00011950"}}, "there is no day 0"},
      {13, {{lf::kWeekNo, "1 2009"}}, "gives no date: it is not six digits"},
      {13, {{lf::kWeekNo, "542009"}}, "its week reads as 54, not 1 to 53"},
      {13, {{lf::kWeekNo, "011989"}}, "its year reads as 1989, before 1990"},
      {13, {{lf::kBirthDate, "16032009"}}, "7 days after Monday 09/03/2009"},
      {14, {{lf::kBirthDate, "07041888"}}, "44165 days before Monday 09/03/2009"},
      {19, {{lf::kEntryDate, "        "}}, "The entry date is blank, and stay kind 1 requires"},
      {19, {{lf::kEntryDate, "0203 009"}}, "column 59 holds \"" DOT "\" where a digit"},
      {20, {{lf::kEntryDate, "01132009"}}, "there is no month 13"},
      {23, {{lf::kStayKind, "5"}, {lf::kEntryMode, " "}}, "blank, and stay kind 5 requires"},
      {23, {{lf::kEntryMode, "A"}}, "The entry mode \"A\" is not a digit"},
      {26, {{lf::kEntryMode, "8"}, {lf::kProvenance, "3"}}, "After entry mode 8 the provenance"},
      {26, {{lf::kProvenance, "5"}}, "After entry mode 6 the provenance must be 1 to 4"},
      {27, {{lf::kStayKind, "3"}, {lf::kEntryMode, " "}}, "blank and the stay kind is 3"},
      {27, {{lf::kEntryMode, "9"}, {lf::kProvenance, "8"}}, "After entry mode \"9\" (not 0,"},
      {31, {{lf::kExitDate, "31022009"}}, "February 2009 has 28 days"},
      {39, {{lf::kStayKind, "3"}, {lf::kExitMode, " "}}, "The exit mode is blank and the stay"},
      {39, {{lf::kExitMode, "9"}}, "After exit mode 9 the destination must be blank"},
      {39, {{lf::kExitMode, "8"}}, "After exit mode 8 the destination must be blank or 5"},
      {39, {{lf::kExitMode, "5"}, {lf::kDestination, "6"}}, "After exit mode \"5\" (not 0,"},
      {42, {{lf::kWeekNo, "-52026"}}, "\"-5\", reads as -5, not 1 to 53"},
      {45, {{lf::kWeekNo, "092009"}}, "week 9 of 2009, lies before week 10 of 2009, which "
                                      "holds the entry date 02/03/2009"},
      {46, {{lf::kWeekNo, "132009"}}, "lies after week 12 of 2009, which holds the exit date"},
      {47, {{lf::kPresenceDays, "0020000"}}, "Day 3 of the presence days holds \"2\""},
      {47, {{lf::kPresenceDays, "0000000"}}, "No day is marked 1"},
      {48, {{lf::kRefDate, "01-12009"}}, "month -1, year 2009: there is no month -1"},
      {49, {{lf::kRefDate, "01042009"}}, "lies before week 14 of 2009, which holds the reference"},
      {50, {{DiagField(0), "      "}}, "The first diagnosis is blank"},
      {50, {{DiagField(0), "Z5X   "}}, "is not of the form of a diagnosis code"},
      {50, {}, "\"Z501" DOT DOT "\" has the form of a diagnosis code, but the diagnosis table "
               "does not know it", {{0, {0}}}},
      {51, {{DiagField(0), "A00   "}}, "does not start with Z"},
      {51, {}, "the first of its two kinds of refusal", {{0, {99, 0, 0, 38, 210}}}},
      // The last pair of slot 0 is the first two bytes of slot 1's block.
      {51, {}, "into that of the next slot, whose code is \"I10" DOT DOT DOT "\"",
       {{0, {99}}, {1, {38, 210}}}},
      {52, {}, "the second of its two kinds of refusal", {{0, {99, 38, 212}}}},
      {58, {{DiagField(1), "I1X   "}}, "not of the form"},
      {58, {}, "\"I10" DOT DOT DOT "\" has the form", {{1, {0}}}},
      {60, {}, "the second of its two kinds", {{1, {99, 38, 212}}}},
      {65, {}, "\"E119" DOT DOT "\" has the form", {{2, {0}}}},
      {66, {}, "the first of its two kinds", {{2, {99, 38, 210}}}},
      {70, {{DiagField(5), "K9X   "}}, "\"K9X" DOT DOT DOT "\" is not of the form"},
      {70, {{DiagField(7), "K909  "}}, "\"K909" DOT DOT "\" has the form", {{7, {0}}}},
      {71, {}, "\"N18" DOT DOT DOT "\" (the first of its two kinds", {{4, {99, 38, 210}}}},
      {72, {}, "(the second of its two kinds", {{3, {99, 38, 212}}}},
      {75, {{lf::kActCount, "+2"}}, "holds \"+\", which is not a digit"},
      {75, {{lf::kActCount, "2 "}}, "has a space after its digit"},
      {80, {{DurationField(3), "9 0 "}}, "\"9" DOT "0" DOT "\" has a space between its digits"},
      {80, {{DurationField(5), "9A0 "}}, "holds \"A\", which is not a digit"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(std::to_string(r.number) + ": " + r.says);
    SummaryState state = testing::PreparedState(r.edits);
    for (const auto& [slot, attr] : r.lookups) testing::SetDiagLookup(&state, slot, attr);
    ErrorList list;
    Recorder recorder;
    RunFieldChecks(state, &list, recorder);
    int index = -2;
    for (const auto& [number, at] : recorder.errors) {
      if (number == r.number && index == -2) index = at;
    }
    ASSERT_NE(index, -2) << "the checks do not give " << r.number;
    const std::string reason = ErrorReason(state, r.number, index);
    EXPECT_NE(reason.find(r.says), std::string::npos) << reason;
  }
}

}  // namespace
}  // namespace grulo
