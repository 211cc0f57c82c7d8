// Faults of the fields judged against the summary's week: birth date, week
// number, presence days, reference date.

#include <cstring>

#include "fault_dates.h"
#include "gen_dates.h"
#include "summary_generator.h"

namespace grulo {
namespace gen {
namespace {

namespace lf = line_field;
using E = ErrorNumber;

}  // namespace

bool SummaryGenerator::ApplyWeekFault(Fault fault, Summary* s) {
  char* t = s->text.data();
  const int32_t sunday = s->monday + 6;
  switch (fault.error) {
    case E::kBirthDateBlank:
      std::memset(t + lf::kBirthDate.offset, ' ', lf::kBirthDate.length);
      break;
    case E::kBirthDateForm: {
      char* birth = t + lf::kBirthDate.offset;
      switch (rng_.Below(3)) {
        case 0:
          PutLetterInDate(&rng_, birth);
          break;
        case 1:
          birth[0] = birth[1] = ' ';
          break;  // six characters left
        default:
          birth[rng_.Between(4, 7)] = ' ';
          break;
      }
      break;
    }
    case E::kBirthDateInvalid: {
      char* birth = t + lf::kBirthDate.offset;
      const int year = (birth[4] - '0') * 1000 + (birth[5] - '0') * 100 + (birth[6] - '0') * 10 +
                       (birth[7] - '0');
      WriteImpossibleDate(&rng_, year, birth);
      break;
    }
    case E::kBirthAfterWeek:
      WriteDate(sunday + rng_.Between(1, 300), t + lf::kBirthDate.offset);
      break;
    case E::kBirthTooLongAgo:
      WriteDate(s->monday - 44165 - rng_.Between(0, 2000), t + lf::kBirthDate.offset);
      break;
    case E::kWeekOutOfRange:
      WriteDigits(rng_.Percent(30) ? 0 : rng_.Between(54, 99), 2, t + lf::kWeekNo.offset);
      break;
    case E::kWeekYearFuture:
      WriteDigits(rng_.Between(2090, 2099), 4, t + lf::kWeekNo.offset + 2);
      break;
    case E::kWeekYearTooOld:
      WriteDigits(rng_.Between(1960, 1989), 4, t + lf::kWeekNo.offset + 2);
      break;
    case E::kPresenceDaysBad: {
      char* days = t + lf::kPresenceDays.offset;
      switch (rng_.Below(3)) {
        case 0:
          std::memset(days, '0', 7);
          break;
        case 1:
          std::memset(days, ' ', 7);
          break;
        default:
          days[rng_.Below(7)] = rng_.OneOf("2X.");
          break;
      }
      break;
    }
    case E::kRefDateInvalid:
      WriteImpossibleDate(&rng_, YearOf(s->monday) - rng_.Between(0, 2), t + lf::kRefDate.offset);
      break;
    case E::kRefDateAfterWeek:
      WriteDate(sunday + rng_.Between(1, 60), t + lf::kRefDate.offset);
      break;

    default:
      return false;
  }
  return true;
}

}  // namespace gen
}  // namespace grulo
