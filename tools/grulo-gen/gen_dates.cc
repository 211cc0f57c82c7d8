#include "gen_dates.h"

namespace grulo {
namespace gen {

// The civil-from-days conversions count in eras of 400 years (146097 days)
// starting on 1 March, so that the leap day ends the counted year.

int32_t DayFromCivil(int year, int month, int day) {
  const int y = month <= 2 ? year - 1 : year;
  const int era = (y >= 0 ? y : y - 399) / 400;
  const int yoe = y - era * 400;                                             // 0..399
  const int doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;  // 0..365
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;                     // 0..146096
  return era * 146097 + doe - 719468;
}

void CivilFromDay(int32_t days, int* year, int* month, int* day) {
  const int32_t z = days + 719468;
  const int32_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int32_t doe = z - era * 146097;                                       // 0..146096
  const int32_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;  // 0..399
  const int32_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);                // 0..365
  const int32_t mp = (5 * doy + 2) / 153;                                     // 0..11
  *day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  *month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  *year = static_cast<int>(yoe + era * 400 + (*month <= 2 ? 1 : 0));
}

int WeekdayOfDay(int32_t days) {
  // 1 January 1970 was a Thursday (3).
  const int32_t r = (days + 3) % 7;
  return static_cast<int>(r < 0 ? r + 7 : r);
}

bool YearHasWeek53(int year) {
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  const int jan1 = WeekdayOfDay(DayFromCivil(year, 1, 1));
  return jan1 == 3 || (leap && jan1 == 2);
}

int32_t IsoWeekMonday(int week, int year) {
  const int32_t jan4 = DayFromCivil(year, 1, 4);
  return jan4 - WeekdayOfDay(jan4) + 7 * (week - 1);
}

void IsoWeekOf(int32_t days, int* week, int* year) {
  // The week belongs to the year of its Thursday.
  const int32_t thursday = days - WeekdayOfDay(days) + 3;
  int y = 0, m = 0, d = 0;
  CivilFromDay(thursday, &y, &m, &d);
  *year = y;
  *week = static_cast<int>((thursday - DayFromCivil(y, 1, 1)) / 7 + 1);
}

void WriteDigits(int value, int width, char* out) {
  for (int i = width - 1; i >= 0; --i) {
    out[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
}

void WriteDateText(int day, int month, int year, char* out) {
  WriteDigits(day, 2, out);
  WriteDigits(month, 2, out + 2);
  WriteDigits(year, 4, out + 4);
}

void WriteDate(int32_t days, char* out) {
  int y = 0, m = 0, d = 0;
  CivilFromDay(days, &y, &m, &d);
  WriteDateText(d, m, y, out);
}

}  // namespace gen
}  // namespace grulo
