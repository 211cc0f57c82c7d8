// Faults of the act count, the scores, the indicator, the durations and the
// acts.

#include <algorithm>
#include <cstring>
#include <iterator>

#include "gen_dates.h"
#include "summary_generator.h"

namespace grulo {
namespace gen {
namespace {

namespace lf = line_field;
using E = ErrorNumber;

}  // namespace

int SummaryGenerator::AnyActSlot(Summary* s) {
  if (s->acts == 0) PutActs(s, 1);
  return static_cast<int>(rng_.Below(std::min(s->acts, kMaxActSlots)));
}

bool SummaryGenerator::ApplyCareFault(Fault fault, Summary* s) {
  char* t = s->text.data();
  switch (fault.error) {
    case E::kActCountBlank:
      PutActs(s, 0);
      t[lf::kActCount.offset] = t[lf::kActCount.offset + 1] = ' ';
      break;
    case E::kActCountForm: {
      // The driver reads '3 ' and '+3' as 3 acts, so the line keeps its
      // length; the check wants right-aligned digits.
      const int count = rng_.Between(1, 9);
      PutActs(s, count);
      char* field = t + lf::kActCount.offset;
      switch (rng_.Below(3)) {
        case 0:
          field[0] = static_cast<char>('0' + count);
          field[1] = ' ';
          break;
        case 1:
          field[0] = '+';
          field[1] = static_cast<char>('0' + count);
          break;
        default:
          field[0] = static_cast<char>('0' + count);
          field[1] = rng_.OneOf("AX");
          break;
      }
      break;
    }
    case E::kTooManyActs:
      PutActs(s, rng_.Between(kMaxActSlots + 1, 19));
      break;
    case E::kScoreBad: {
      const int bad = rng_.Between(1, 2);
      for (int i = 0; i < bad; ++i) {
        t[lf::kScores.offset + rng_.Below(6)] = rng_.OneOf("056789 X");
      }
      break;
    }
    case E::kIndicatorBad:
      t[lf::kIndicator.offset] = rng_.OneOf("03 X");
      break;
    case E::kDurationBlank:
      std::memset(t + lf::kDurations.offset + kDurationLength * rng_.Below(kDurationCount), ' ',
                  kDurationLength);
      break;
    case E::kDurationForm: {
      static constexpr const char* kBad[] = {"1 2 ", "12A ", "-5  ", " 9 0", "3O  "};
      std::memcpy(t + lf::kDurations.offset + kDurationLength * rng_.Below(kDurationCount),
                  kBad[rng_.Below(std::size(kBad))], kDurationLength);
      break;
    }
    case E::kActForm: {
      static constexpr const char* kBad[] = {"ABC12345", "AB1D1234", "ABCD12E4", "ABCD 123",
                                             "1BCD1234"};
      const int k = AnyActSlot(s);
      std::memcpy(t + lf::kActsOffset + kActCodeLength * k, kBad[rng_.Below(std::size(kBad))],
                  kActCodeLength);
      break;
    }
    case E::kActUnknown: {
      const int k = AnyActSlot(s);
      char* act = t + lf::kActsOffset + kActCodeLength * k;
      for (int tries = 0; tries < 1000; ++tries) {
        for (int i = 0; i < 4; ++i) act[i] = static_cast<char>('A' + rng_.Below(26));
        WriteDigits(rng_.Between(0, 9999), 4, act + 4);
        if (!pools_.KnownAct(std::string_view(act, kActCodeLength))) break;
      }
      break;
    }
    default:
      return false;
  }
  return true;
}

}  // namespace gen
}  // namespace grulo
