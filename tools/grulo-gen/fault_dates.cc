#include "fault_dates.h"

#include <iterator>

#include "gen_dates.h"

namespace grulo {
namespace gen {

int32_t EarliestEntryDay() { return DayFromCivil(1991, 1, 2); }

int32_t FarFutureDay(Random* rng) {
  return DayFromCivil(rng->Between(2090, 2099), rng->Between(1, 12), rng->Between(1, 28));
}

void WriteImpossibleDate(Random* rng, int year, char* out) {
  static constexpr int kDays[] = {30, 31, 31, 31, 31, 0, 32};
  static constexpr int kMonths[] = {2, 4, 6, 9, 11, 5, 1};
  const int r = static_cast<int>(rng->Below(9));
  if (r < 7) {
    WriteDateText(kDays[r], kMonths[r], year, out);
  } else {
    WriteDateText(rng->Between(1, 28), r == 7 ? 13 : 0, year, out);
  }
}

int YearOf(int32_t day) {
  int y = 0, m = 0, d = 0;
  CivilFromDay(day, &y, &m, &d);
  return y;
}

void PutLetterInDate(Random* rng, char* date) {
  static constexpr int kPositions[] = {1, 3, 4, 5, 6, 7};
  date[kPositions[rng->Below(std::size(kPositions))]] = rng->OneOf("OlIS");
}

}  // namespace gen
}  // namespace grulo
