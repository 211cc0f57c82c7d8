// Faults of the identification fields: establishment, stay number and kind,
// sex, unit number, post code.

#include <cstring>

#include "gen_dates.h"
#include "summary_generator.h"

namespace grulo {
namespace gen {
namespace {

namespace lf = line_field;
using E = ErrorNumber;

}  // namespace

bool SummaryGenerator::ApplyIdentityFault(Fault fault, Summary* s) {
  char* t = s->text.data();
  switch (fault.error) {
    case E::kEstablishmentNoForm: {
      char* number = t + lf::kEstablishmentNo.offset;
      switch (rng_.Below(4)) {
        case 0:
          std::memset(number, ' ', lf::kEstablishmentNo.length);
          break;
        case 1:
          number[1] = rng_.OneOf("CDXc");
          break;
        case 2:
          number[rng_.Between(2, 8)] = ' ';
          break;
        default:
          number[0] = rng_.OneOf("FEX");
          break;
      }
      break;
    }
    case E::kStayNoBlank:
      std::memset(t + lf::kStayNo.offset, ' ', lf::kStayNo.length);
      break;
    case E::kStayNoForm: {
      char* stay = t + lf::kStayNo.offset;
      WriteDigits(rng_.Between(100000, 2999999), 7, stay);
      switch (rng_.Below(3)) {
        case 0:
          stay[rng_.Between(2, 5)] = ' ';
          break;
        case 1:
          std::memmove(stay, stay + 1, 6);
          stay[6] = ' ';
          break;
        default:
          stay[rng_.Between(0, 6)] = rng_.OneOf("OAX");
          break;
      }
      break;
    }
    case E::kStayKindNotDigit:
      t[lf::kStayKind.offset] = rng_.OneOf(" HCP");
      break;
    case E::kStayKindUnknown:
      t[lf::kStayKind.offset] = rng_.OneOf("09");
      break;
    case E::kSexNotDigit:
      t[lf::kSex.offset] = rng_.OneOf(" MFX");
      break;
    case E::kSexUnknown:
      t[lf::kSex.offset] = rng_.OneOf("039");
      break;
    case E::kUnitNoBlank:
      std::memset(t + lf::kUnitNo.offset, ' ', lf::kUnitNo.length);
      break;
    case E::kPostCodeBlank:
      std::memset(t + lf::kPostCode.offset, ' ', lf::kPostCode.length);
      break;
    case E::kPostCodeForm: {
      char* code = t + lf::kPostCode.offset;
      switch (rng_.Below(3)) {
        case 0:
          code[rng_.Between(1, 3)] = ' ';
          break;
        case 1:
          code[rng_.Between(0, 4)] = rng_.OneOf("ABO");
          break;
        default:
          std::memmove(code + 1, code, 4);
          code[0] = ' ';
          break;
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
