#include "checks/error_catalogue.h"

namespace grulo {
namespace {

constexpr bool kProduced = true;
constexpr bool kNeverProduced = false;
constexpr bool kBlocks = true;
constexpr bool kDoesNotBlock = false;

constexpr std::array<ErrorInfo, kErrorNumberCount> kCatalogue = {{
    {1, "EstablishmentNo", kProduced, kDoesNotBlock,
     "blank, or not a digit, a digit or A or B, and seven digits"},
    {2, "StayNo", kProduced, kBlocks, "blank"},
    {3, "StayNo", kProduced, kBlocks, "not digits after optional leading blanks"},
    {4, "", kNeverProduced, kDoesNotBlock, "reserved"},
    {5, "", kNeverProduced, kDoesNotBlock, "reserved"},
    {6, "", kNeverProduced, kDoesNotBlock, "reserved"},
    {7, "", kNeverProduced, kDoesNotBlock, "reserved"},
    {8, "StayKind", kProduced, kBlocks, "blank or not a digit"},
    {9, "StayKind", kProduced, kBlocks, "a digit other than 1 to 8"},
    {10, "BirthDate", kProduced, kBlocks, "blank"},
    {11, "BirthDate", kProduced, kBlocks,
     "not a date text after leading blanks, or fewer than 7 characters left"},
    {12, "BirthDate", kProduced, kBlocks, "not a valid date"},
    {13, "BirthDate", kProduced, kBlocks,
     "after the Sunday of the summary's week, or the week gives no Monday"},
    {14, "BirthDate", kProduced, kBlocks,
     "at least 44165 days (121 x 365) before the Monday of the week"},
    {15, "Sex", kProduced, kBlocks, "blank or not a digit"},
    {16, "Sex", kProduced, kBlocks, "a digit other than 1 and 2"},
    {17, "UnitNo", kProduced, kDoesNotBlock, "blank"},
    {18, "", kNeverProduced, kDoesNotBlock, "reserved"},
    {19, "EntryDate", kProduced, kBlocks,
     "blank for stay kinds 1 and 5, or not a date text after leading blanks, or "
     "fewer than 7 characters left"},
    {20, "EntryDate", kProduced, kBlocks, "not a valid date"},
    {21, "EntryDate", kProduced, kDoesNotBlock, "after today"},
    {22, "EntryDate", kProduced, kDoesNotBlock, "year 1990 or earlier"},
    {23, "EntryMode", kProduced, kDoesNotBlock,
     "blank for stay kinds 1 and 5, or not a digit"},
    {24, "EntryMode", kProduced, kDoesNotBlock, "a digit other than 0, 6, 7, 8"},
    {25, "Provenance", kProduced, kDoesNotBlock, "blank after entry mode 0, 6 or 7"},
    {26, "Provenance", kProduced, kDoesNotBlock,
     "not 1 to 4 after entry mode 0, 6 or 7; not blank or 5 to 7 after mode 8"},
    {27, "Provenance", kProduced, kDoesNotBlock,
     "given without entry mode (kinds other than 1, 5); not blank or 1 to 7 after "
     "any other entry mode"},
    {28, "", kNeverProduced, kDoesNotBlock, "reserved"},
    {29, "ExitDate", kProduced, kDoesNotBlock, "fewer than 7 characters after leading blanks"},
    {30, "ExitDate", kProduced, kDoesNotBlock, "not a date text after leading blanks"},
    {31, "ExitDate", kProduced, kDoesNotBlock, "not a valid date"},
    {32, "ExitDate", kProduced, kBlocks, "before a correct, present entry date"},
    {33, "ExitDate", kProduced, kDoesNotBlock,
     "after today (not tested while a correct entry date is left out)"},
    {34, "ExitMode", kProduced, kDoesNotBlock, "blank while an exit date is given"},
    {35, "ExitMode", kProduced, kDoesNotBlock, "not a digit"},
    {36, "ExitMode", kProduced, kDoesNotBlock, "a digit other than 0, 6, 7, 8, 9"},
    {37, "Destination", kProduced, kDoesNotBlock, "blank after exit mode 0, 6 or 7"},
    {38, "Destination", kProduced, kDoesNotBlock, "not 1 to 4 after exit mode 0, 6 or 7"},
    {39, "Destination", kProduced, kDoesNotBlock,
     "given without exit mode (kinds other than 1, 5) or after mode 9; not blank "
     "or 5 to 7 after mode 8; not blank or 1 to 4 after any other exit mode"},
    {40, "PostCode", kProduced, kDoesNotBlock, "blank"},
    {41, "PostCode", kProduced, kDoesNotBlock, "not five digits"},
    {42, "WeekNo", kProduced, kBlocks, "week below 1 or above 53"},
    {43, "WeekNo", kProduced, kBlocks, "year after the current year"},
    {44, "WeekNo", kProduced, kDoesNotBlock, "year before 1990"},
    {45, "WeekNo", kProduced, kBlocks,
     "stay kinds 1 and 5: before the week of a correct, present entry date"},
    {46, "WeekNo", kProduced, kBlocks,
     "stay kinds 1 and 5: after the week of a correct, present exit date"},
    {47, "PresenceDays", kProduced, kBlocks,
     "a flag other than blank, 0 and 1, or no day of presence at all"},
    {48, "RefDate", kProduced, kBlocks, "given but not a valid date"},
    {49, "RefDate", kProduced, kBlocks, "the summary's week lies before its week"},
    {50, "Diag[0]", kProduced, kBlocks,
     "blank; not a code of the form X99++Z (other than ZAIGU); or not in the table"},
    {51, "Diag[0]", kProduced, kBlocks,
     "first letter not Z; or category 99 with the attribute pair 38, 210"},
    {52, "Diag[0]", kProduced, kBlocks, "category 99 with the attribute pair 38, 212"},
    {53, "Diag[0]", kProduced, kBlocks, "not allowed in this position"},
    {54, "Diag[1]", kProduced, kBlocks, "blank"},
    {55, "Diag[1]", kProduced, kBlocks, "first letter U to Y"},
    {56, "Diag[1]", kProduced, kBlocks, "first letter Z while Diag[0] is ZAIGU"},
    {57, "Diag[1]", kProduced, kBlocks, "equal to Diag[0]"},
    {58, "Diag[1]", kProduced, kBlocks,
     "not of the form X99++Z (other than ZAIGU), or not in the table"},
    {59, "Diag[1]", kProduced, kBlocks, "category 99 with the attribute pair 38, 210"},
    {60, "Diag[1]", kProduced, kBlocks, "category 99 with the attribute pair 38, 212"},
    {61, "Diag[1]", kProduced, kBlocks, "not allowed in this position"},
    {62, "", kNeverProduced, kBlocks, "reserved"},
    {63, "Diag[2]", kProduced, kBlocks, "first letter R or U to Z"},
    {64, "Diag[2]", kProduced, kDoesNotBlock, "equal to Diag[0] or to Diag[1]"},
    {65, "Diag[2]", kProduced, kBlocks,
     "not of the form X99++Z (other than ZAIGU), or not in the table"},
    {66, "Diag[2]", kProduced, kBlocks, "category 99 with the attribute pair 38, 210"},
    {67, "Diag[2]", kProduced, kBlocks, "category 99 with the attribute pair 38, 212"},
    {68, "Diag[2]", kProduced, kBlocks, "not allowed in this position"},
    {69, "", kNeverProduced, kDoesNotBlock, "reserved"},
    {70, "Diag[3..22]", kProduced, kDoesNotBlock,
     "not of the form X99++Z (other than ZAIGU), or not in the table"},
    {71, "Diag[3..22]", kProduced, kDoesNotBlock,
     "category 99 with the attribute pair 38, 210"},
    {72, "Diag[3..22]", kProduced, kDoesNotBlock,
     "category 99 with the attribute pair 38, 212"},
    {73, "Diag[3..22]", kProduced, kDoesNotBlock, "not allowed in this position"},
    {74, "ActCount", kProduced, kBlocks, "blank"},
    {75, "ActCount", kProduced, kBlocks, "not digits after optional leading blanks"},
    {76, "ActCount", kProduced, kBlocks, "more than 10"},
    {77, "Scores", kProduced, kBlocks, "a score other than 1 to 4 (once per score)"},
    {78, "Indicator", kProduced, kBlocks, "neither 1 nor 2"},
    {79, "Durations", kProduced, kBlocks, "a blank duration (once per duration)"},
    {80, "Durations", kProduced, kBlocks,
     "a blank between digits or a non-digit (once per duration)"},
    {81, "Acts", kProduced, kBlocks,
     "not four letters and four digits (once per act)"},
    {82, "Acts", kProduced, kDoesNotBlock, "not in the act table (once per act)"},
}};

constexpr bool NumberedInOrder() {
  for (int i = 0; i < kErrorNumberCount; ++i) {
    if (kCatalogue[i].number != i + 1) return false;
  }
  return true;
}
static_assert(NumberedInOrder(), "entry i must describe error number i + 1");

}  // namespace

const std::array<ErrorInfo, kErrorNumberCount>& ErrorCatalogue() { return kCatalogue; }

const ErrorInfo* FindErrorInfo(int16_t number) {
  if (number < 1 || number > kErrorNumberCount) return nullptr;
  return &kCatalogue[number - 1];
}

}  // namespace grulo
