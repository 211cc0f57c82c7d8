// Faults of the diagnoses: the first, second and third diagnosis and the
// associated ones, by their form, their letter, their repetition, and what
// the diagnosis table says of them.

#include <cstring>
#include <string_view>
#include <vector>

#include "gen_dates.h"
#include "summary_generator.h"

namespace grulo {
namespace gen {
namespace {

namespace lf = line_field;
using E = ErrorNumber;

}  // namespace

void SummaryGenerator::FabricatedDiagField(const char* letters, char* field) {
  std::memset(field, ' ', kDiagCodeLength);
  field[0] = letters[rng_.Below(std::strlen(letters))];
  WriteDigits(rng_.Between(0, 99), 2, field + 1);
  if (rng_.Percent(60)) field[3] = static_cast<char>('0' + rng_.Below(10));
}

void SummaryGenerator::UnknownDiagField(SlotKind kind, char* field) {
  // A code of the right form and letter that the table does not know.
  for (int tries = 0; tries < 1000; ++tries) {
    std::memset(field, ' ', kDiagCodeLength);
    char letter = 'Z';
    if (kind != kSlotFirst) {
      do {
        letter = static_cast<char>('A' + rng_.Below(26));
      } while (!LetterFitsSlot(letter, kind));
    }
    field[0] = letter;
    WriteDigits(rng_.Between(0, 99), 2, field + 1);
    const int suffix = rng_.Weighted({30, 50, 20});
    for (int i = 0; i < suffix; ++i) field[3 + i] = static_cast<char>('0' + rng_.Below(10));
    if (!pools_.KnownDiag(std::string_view(field, kDiagCodeLength))) return;
  }
}

void SummaryGenerator::MalformedDiagField(SlotKind kind, char* field) {
  // A letter where a digit belongs, a blank inside, or a digit first.
  std::memset(field, ' ', kDiagCodeLength);
  field[0] = kind == kSlotFirst ? 'Z' : static_cast<char>('A' + rng_.Below(20));
  WriteDigits(rng_.Between(0, 99), 2, field + 1);
  switch (rng_.Below(4)) {
    case 0:
      field[1 + rng_.Below(2)] = rng_.OneOf("OIL");
      break;
    case 1:
      field[3] = rng_.OneOf("ABX");
      break;
    case 2:
      field[2] = ' ';
      field[5] = '9';
      break;
    default:
      field[0] = static_cast<char>('0' + rng_.Below(10));
      break;
  }
}

void SummaryGenerator::PutBadDiag(Summary* s, int slot, SlotKind kind, bool may_be_blank) {
  char field[kDiagCodeLength];
  const int r = rng_.Weighted({may_be_blank ? 20 : 0, 30, 50});
  if (r == 0) {
    PutDiag(s, slot, "", kBlankCode);
    return;
  }
  if (r == 1) {
    MalformedDiagField(kind, field);
  } else {
    // The second slot must not take a Z behind "ZAIGU " (another error).
    do {
      UnknownDiagField(kind, field);
    } while (kind == kSlotSecond && field[0] == 'Z' && Diag0IsPlaceholder(*s));
  }
  PutDiag(s, slot, std::string_view(field, kDiagCodeLength), kBlankCode);
}

// Puts a code of the pool into the slot: not equal to the other named
// diagnoses, and in the second slot no Z behind "ZAIGU ".
bool SummaryGenerator::PutCodeFrom(Summary* s, int slot, const std::vector<uint32_t>& pool) {
  if (pool.empty()) return false;
  const std::vector<uint32_t>& first = pools_.Valid(kSlotFirst);
  if (slot == 1 && Diag0IsPlaceholder(*s) && !first.empty()) {
    PutDiagCode(s, 0, first[rng_.Below(first.size())]);
  }
  uint32_t code = pool[rng_.Below(pool.size())];
  for (int tries = 0; tries < 20; ++tries) {
    const std::string_view field(pools_.diags()[code].field.data(), kDiagCodeLength);
    bool clash = false;
    for (int other = 0; other < 3 && slot < 3; ++other) {
      if (other != slot && SameDiag(*s, other, field)) clash = true;
    }
    if (!clash) break;
    code = pool[rng_.Below(pool.size())];
  }
  PutDiagCode(s, slot, code);
  return true;
}

int SummaryGenerator::FreeAssociatedSlot(Summary* s) {
  for (int slot = 3; slot < kDiagSlotCount; ++slot) {
    if (DiagField(*s, slot) == "      ") return slot;
  }
  return 3 + static_cast<int>(rng_.Below(kAssociatedDiagCount));
}

bool SummaryGenerator::PoolsAllow(Fault fault) const {
  switch (fault.error) {
    case E::kDiag0LetterOrFirstPair:
      return fault.way != kByFirstPair || !pools_.WithFirstPair(kSlotFirst).empty();
    case E::kDiag0SecondPair:
      return !pools_.WithSecondPair(kSlotFirst).empty();
    case E::kDiag0Position:
      return !pools_.BadPosition(kSlotFirst).empty();
    case E::kDiag1FirstPair:
      return !pools_.WithFirstPair(kSlotSecond).empty();
    case E::kDiag1SecondPair:
      return !pools_.WithSecondPair(kSlotSecond).empty();
    case E::kDiag1Position:
      return !pools_.BadPosition(kSlotSecond).empty();
    case E::kDiag1SameAsFirst:
      return !pools_.Valid(kSlotFirst).empty();
    case E::kDiag2Repeated:
      return !pools_.ValidSecondAndThird().empty();
    case E::kDiag2FirstPair:
      return !pools_.WithFirstPair(kSlotThird).empty();
    case E::kDiag2SecondPair:
      return !pools_.WithSecondPair(kSlotThird).empty();
    case E::kDiag2Position:
      return !pools_.BadPosition(kSlotThird).empty();
    case E::kAssociatedFirstPair:
      return !pools_.WithFirstPair(kSlotAssociated).empty();
    case E::kAssociatedSecondPair:
      return !pools_.WithSecondPair(kSlotAssociated).empty();
    case E::kAssociatedPosition:
      return !pools_.BadPosition(kSlotAssociated).empty();
    default:
      return true;
  }
}

bool SummaryGenerator::ApplyDiagnosisFault(Fault fault, Summary* s) {
  switch (fault.error) {
    case E::kDiag0Bad:
      PutBadDiag(s, 0, kSlotFirst, true);
      break;
    case E::kDiag0LetterOrFirstPair: {
      if (fault.way == kByFirstPair) return PutCodeFrom(s, 0, pools_.WithFirstPair(kSlotFirst));
      char field[kDiagCodeLength];
      FabricatedDiagField("ABCDEFGHIJKLMNOPQRST", field);
      PutDiag(s, 0, std::string_view(field, kDiagCodeLength), kBlankCode);
      break;
    }
    case E::kDiag0SecondPair:
      return PutCodeFrom(s, 0, pools_.WithSecondPair(kSlotFirst));
    case E::kDiag0Position:
      return PutCodeFrom(s, 0, pools_.BadPosition(kSlotFirst));
    case E::kDiag1Blank:
      PutDiag(s, 1, "", kBlankCode);
      break;
    case E::kDiag1Letter: {
      char field[kDiagCodeLength];
      FabricatedDiagField(rng_.Percent(20) ? "uvwxy" : "UVWXY", field);
      PutDiag(s, 1, std::string_view(field, kDiagCodeLength), kBlankCode);
      break;
    }
    case E::kDiag1ZAfterPlaceholder: {
      PutDiag(s, 0, kPlaceholder, kPlaceholderCode);
      const std::vector<uint32_t>& z_codes = pools_.Valid(kSlotFirst);
      if (!z_codes.empty()) {
        PutDiagCode(s, 1, z_codes[rng_.Below(z_codes.size())]);
      } else {
        char field[kDiagCodeLength];
        FabricatedDiagField("Z", field);
        PutDiag(s, 1, std::string_view(field, kDiagCodeLength), kBlankCode);
      }
      break;
    }
    case E::kDiag1SameAsFirst:
      if (Diag0IsPlaceholder(*s)) {
        const std::vector<uint32_t>& first = pools_.Valid(kSlotFirst);
        PutDiagCode(s, 0, first[rng_.Below(first.size())]);
      }
      PutDiag(s, 1, DiagField(*s, 0), s->diag_codes[0]);
      break;
    case E::kDiag1Bad:
      PutBadDiag(s, 1, kSlotSecond, false);
      break;
    case E::kDiag1FirstPair:
      return PutCodeFrom(s, 1, pools_.WithFirstPair(kSlotSecond));
    case E::kDiag1SecondPair:
      return PutCodeFrom(s, 1, pools_.WithSecondPair(kSlotSecond));
    case E::kDiag1Position:
      return PutCodeFrom(s, 1, pools_.BadPosition(kSlotSecond));
    case E::kDiag2Letter: {
      char field[kDiagCodeLength];
      FabricatedDiagField("RUVWXYZ", field);
      PutDiag(s, 2, std::string_view(field, kDiagCodeLength), kBlankCode);
      break;
    }
    case E::kDiag2Repeated: {
      const std::vector<uint32_t>& both = pools_.ValidSecondAndThird();
      const uint32_t code = both[rng_.Below(both.size())];
      PutDiagCode(s, 1, code);
      PutDiagCode(s, 2, code);
      break;
    }
    case E::kDiag2Bad:
      PutBadDiag(s, 2, kSlotThird, false);
      break;
    case E::kDiag2FirstPair:
      return PutCodeFrom(s, 2, pools_.WithFirstPair(kSlotThird));
    case E::kDiag2SecondPair:
      return PutCodeFrom(s, 2, pools_.WithSecondPair(kSlotThird));
    case E::kDiag2Position:
      return PutCodeFrom(s, 2, pools_.BadPosition(kSlotThird));
    case E::kAssociatedBad:
      PutBadDiag(s, FreeAssociatedSlot(s), kSlotAssociated, false);
      break;
    case E::kAssociatedFirstPair:
      return PutCodeFrom(s, FreeAssociatedSlot(s), pools_.WithFirstPair(kSlotAssociated));
    case E::kAssociatedSecondPair:
      return PutCodeFrom(s, FreeAssociatedSlot(s), pools_.WithSecondPair(kSlotAssociated));
    case E::kAssociatedPosition:
      return PutCodeFrom(s, FreeAssociatedSlot(s), pools_.BadPosition(kSlotAssociated));

    default:
      return false;
  }
  return true;
}

}  // namespace gen
}  // namespace grulo
