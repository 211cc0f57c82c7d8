#include "summary_generator.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "fault_dates.h"
#include "gen_dates.h"

namespace grulo {
namespace gen {
namespace {

namespace lf = line_field;
using E = ErrorNumber;

constexpr const char* kMalformedNames[kMalformedCount] = {"empty line",
                                                          "fewer than 12 characters",
                                                          "unknown format number",
                                                          "length that does not fit the act count",
                                                          "more than 498 characters",
                                                          "NUL byte",
                                                          "CR LF line ending"};

constexpr int kEstablishmentCount = 5;
constexpr int kUnitsPerEstablishment = 4;

// Free texts that a producer may carry in the unread part of a line, in
// Windows-1252.
constexpr const char* kFreeTexts[] = {
    "S\xE9jour programm\xE9",
    "R\xE9\xE9"
    "ducation",
    "Pr\xE9"
    "admission",
    "H\xF4pital de jour",
    "Unit\xE9 B2",
    "Soins de suite",
    "Cardiologie",
    "Neurologie n\xB0"
    "2",
    "G\xE9riatrie",
};

}  // namespace

const char* NameOf(Malformed kind) { return kMalformedNames[static_cast<int>(kind)]; }

SummaryGenerator::SummaryGenerator(const GeneratorOptions& options, const CodePools& pools)
    : options_(options),
      pools_(pools),
      rng_(options.seed),
      base_monday_(IsoWeekMonday(options.week, options.year)) {
  // A few establishments (department, then digits; Corsica as 2A and 2B)
  // with a few care units each.
  for (int e = 0; e < kEstablishmentCount; ++e) {
    std::array<char, 9> number;
    const int department = rng_.Between(1, 95);
    WriteDigits(department, 2, number.data());
    if (department == 20) number[1] = rng_.Percent(50) ? 'A' : 'B';
    WriteDigits(rng_.Between(0, 9999999), 7, number.data() + 2);
    establishments_.push_back(number);
    for (int u = 0; u < kUnitsPerEstablishment; ++u) {
      std::array<char, 4> unit;
      if (rng_.Percent(70)) {
        WriteDigits(rng_.Between(1, 40) * 100 + u + 1, 4, unit.data());
      } else {
        std::memcpy(unit.data(), "UM0", 3);
        unit[3] = static_cast<char>('1' + u);
      }
      units_.push_back(unit);
    }
  }

  for (const DiagCode& code : pools_.diags()) {
    if (std::string_view(code.field.data(), kDiagCodeLength) == "Z00   ") {
      placeholder_record_ = code.record;
    }
  }

  for (int f = 0; f < kFaultCount; ++f) {
    const bool applies = PoolsAllow(FaultInfoAt(f).fault);
    applies_[f] = applies;
    if (applies) deck_.push_back(static_cast<uint8_t>(f));
  }
  ShuffleDeck();
}

void SummaryGenerator::ShuffleDeck() {
  for (size_t i = deck_.size(); i > 1; --i) {
    std::swap(deck_[i - 1], deck_[rng_.Below(i)]);
  }
  deck_next_ = 0;
}

void SummaryGenerator::AppendLine(const Summary& s, bool crlf, std::string* out) {
  out->append(s.text.data(), static_cast<size_t>(s.length));
  out->append(crlf ? "\r\n" : "\n");
}

void SummaryGenerator::AppendNext(std::string* out) {
  Summary* s = &scratch_;
  last_faults_.clear();
  if (options_.malformed_ppb > 0 && rng_.Chance(options_.malformed_ppb)) {
    BuildMalformed(static_cast<Malformed>(rng_.Weighted({10, 15, 20, 25, 10, 5, 15})), s);
  } else {
    BuildValid(s);
    if (options_.faulty_ppb > 0 && rng_.Chance(options_.faulty_ppb)) ApplyFaults(s);
  }
  AppendLine(*s, options_.crlf || s->crlf, out);
}

void SummaryGenerator::ApplyFaults(Summary* s) {
  if (deck_.empty()) return;
  const int wanted = 1 + rng_.Weighted({70, 20, 10});
  uint32_t used = 0;
  for (int i = 0; i < wanted; ++i) {
    if (deck_next_ == deck_.size()) ShuffleDeck();
    const FaultInfo& info = FaultInfoAt(deck_[deck_next_]);
    // A fault that clashes with one already made waits for the next summary.
    if ((info.fields & used) != 0) break;
    ++deck_next_;
    if (ApplyFault(info.fault, s)) {
      used |= info.fields;
      last_faults_.push_back(info.fault);
    }
  }
}

// ---------------------------------------------------------------------------
// Valid summaries.

void SummaryGenerator::BuildValid(Summary* s) {
  char* t = s->text.data();
  std::memset(t, ' ', kSummaryBaseLength + kActCodeLength * kMaxActSlots);
  s->crlf = false;

  // Most summaries belong to the week asked for, some come late.
  s->monday = base_monday_ - (rng_.Percent(8) ? 7 * rng_.Between(1, 4) : 0);
  int week = 0, year = 0;
  IsoWeekOf(s->monday, &week, &year);
  WriteDigits(week, 2, t + lf::kWeekNo.offset);
  WriteDigits(year, 4, t + lf::kWeekNo.offset + 2);

  const size_t establishment = rng_.Below(establishments_.size());
  std::memcpy(t + lf::kEstablishmentNo.offset, establishments_[establishment].data(), 9);
  std::memcpy(t + lf::kFormatNo.offset, rng_.Percent(85) ? "M04" : "MA4", 3);
  std::memcpy(
      t + lf::kUnitNo.offset,
      units_[establishment * kUnitsPerEstablishment + rng_.Below(kUnitsPerEstablishment)].data(),
      4);

  char* stay = t + lf::kStayNo.offset;
  WriteDigits(rng_.Between(1, 2999999), 7, stay);
  if (rng_.Percent(35)) {
    for (int i = 0; i < 6 && stay[i] == '0'; ++i) stay[i] = ' ';
  }
  const char kind = "12345678"[rng_.Weighted({55, 10, 8, 5, 10, 4, 4, 4})];
  t[lf::kStayKind.offset] = kind;

  switch (rng_.Weighted({60, 25, 15})) {
    case 1:
      std::memcpy(t + lf::kFiller1.offset, "IPP", 3);
      WriteDigits(rng_.Between(0, 9999999), 7, t + lf::kFiller1.offset + 3);
      break;
    case 2: {
      const char* text = kFreeTexts[rng_.Below(std::size(kFreeTexts))];
      std::memcpy(t + lf::kFiller1.offset, text,
                  std::min<size_t>(std::strlen(text), lf::kFiller1.length));
      break;
    }
    default:
      break;
  }

  // Ages of follow-up care: mostly old, some children.
  static constexpr int kAgeLow[] = {0, 18, 60, 80, 100};
  static constexpr int kAgeHigh[] = {17, 59, 79, 99, 104};
  const int band = rng_.Weighted({6, 30, 36, 26, 2});
  const int age = rng_.Between(kAgeLow[band], kAgeHigh[band]);
  WriteDate(s->monday - (age * 365 + age / 4) - rng_.Between(0, 364), t + lf::kBirthDate.offset);
  t[lf::kSex.offset] = rng_.Percent(52) ? '2' : '1';
  WriteDigits(rng_.Between(1, 95) * 1000 + rng_.Between(0, 99) * 10, 5, t + lf::kPostCode.offset);

  PutStayDates(s, kind);
  PutPresence(s, kind == '1' || kind == '5');
  const int presence = static_cast<int>(
      std::count(t + lf::kPresenceDays.offset, t + lf::kPresenceDays.offset + 7, '1'));

  // The reference date (an operation, an acute event) lies before entry.
  if (rng_.Percent(55)) {
    const int32_t base = s->entry != kNoDay ? s->entry : s->monday;
    WriteDate(base - (rng_.Percent(80) ? rng_.Between(0, 45) : rng_.Between(46, 1500)),
              t + lf::kRefDate.offset);
  }

  PutDiagnoses(s);
  if (rng_.Percent(10)) WriteDigits(rng_.Between(0, 999), 3, t + lf::kFiller2.offset);
  for (int i = 0; i < 6; ++i) {
    t[lf::kScores.offset + i] = static_cast<char>('1' + rng_.Weighted({35, 30, 20, 15}));
  }
  t[lf::kIndicator.offset] = rng_.Percent(70) ? '1' : '2';
  PutDurations(s, presence);

  int acts = 0;
  if (!pools_.acts().empty()) {
    const int r = rng_.Weighted({45, 35, 20});
    acts = r == 0 ? 0 : r == 1 ? rng_.Between(1, 3) : rng_.Between(4, 10);
  }
  PutActs(s, acts);
  if (acts < 10 && rng_.Percent(10)) t[lf::kActCount.offset] = ' ';
}

void SummaryGenerator::PutStayDates(Summary* s, char kind) {
  char* t = s->text.data();
  const int32_t sunday = s->monday + 6;
  const bool full_stay = kind == '1' || kind == '5';
  s->entry = kNoDay;
  s->exit = kNoDay;
  if (full_stay || rng_.Percent(85)) {
    int32_t entry = 0;
    if (rng_.Percent(20)) {
      entry = rng_.Between(s->monday, sunday);  // a stay that begins this week
    } else {
      const int r = rng_.Weighted({40, 35, 25});
      entry = s->monday - (r == 0   ? rng_.Between(1, 14)
                           : r == 1 ? rng_.Between(15, 60)
                                    : rng_.Between(61, 365));
    }
    s->entry = std::max(entry, EarliestEntryDay());
    WriteDate(s->entry, t + lf::kEntryDate.offset);
    const char mode = "8670"[rng_.Weighted({50, 30, 15, 5})];
    t[lf::kEntryMode.offset] = mode;
    t[lf::kProvenance.offset] = mode == '8' ? " 756"[rng_.Weighted({40, 40, 10, 10})]
                                            : "1234"[rng_.Weighted({50, 30, 15, 5})];
  }
  if (rng_.Percent(18)) {
    const int32_t first = s->entry != kNoDay ? std::max(s->entry, s->monday) : s->monday;
    s->exit = rng_.Between(first, sunday);
    WriteDate(s->exit, t + lf::kExitDate.offset);
    const char mode = "86790"[rng_.Weighted({60, 12, 13, 5, 10})];
    t[lf::kExitMode.offset] = mode;
    t[lf::kDestination.offset] = mode == '8'   ? " 756"[rng_.Weighted({50, 30, 10, 10})]
                                 : mode == '9' ? ' '
                                               : "1234"[rng_.Weighted({50, 30, 15, 5})];
  }
}

void SummaryGenerator::PutPresence(Summary* s, bool full_stay) {
  char* days = s->text.data() + lf::kPresenceDays.offset;
  const int first = s->entry != kNoDay ? std::max(0, s->entry - s->monday) : 0;
  const int last = s->exit != kNoDay ? s->exit - s->monday : 6;
  const char absent = rng_.Percent(80) ? '0' : ' ';
  bool any = false;
  for (int i = 0; i < 7; ++i) {
    bool present = false;
    if (i >= first && i <= last) {
      present = full_stay ? !rng_.Percent(4) : rng_.Percent(i < 5 ? 75 : 15);
    }
    days[i] = present ? '1' : absent;
    any = any || present;
  }
  if (!any) days[rng_.Between(first, last)] = '1';
}

std::string_view SummaryGenerator::DiagField(const Summary& s, int slot) const {
  return std::string_view(s.text.data() + lf::kDiagOffset + lf::kDiagStride * slot,
                          kDiagCodeLength);
}

bool SummaryGenerator::Diag0IsPlaceholder(const Summary& s) const {
  return SameDiag(s, 0, kPlaceholder);
}

bool SummaryGenerator::SameDiag(const Summary& s, int slot, std::string_view field) const {
  return NormalizedDiag(DiagField(s, slot)) == NormalizedDiag(field);
}

std::array<char, kDiagCodeLength> NormalizedDiag(std::string_view field) {
  std::array<char, kDiagCodeLength> code;
  std::fill(code.begin(), code.end(), ' ');
  std::copy_n(field.begin(), std::min<size_t>(field.size(), kDiagCodeLength), code.begin());
  for (int i = kDiagCodeLength - 1; i >= 2 && code[i] == '+'; --i) code[i] = ' ';
  return code;
}

void SummaryGenerator::PutDiag(Summary* s, int slot, std::string_view field, int32_t code) {
  char* at = s->text.data() + lf::kDiagOffset + lf::kDiagStride * slot;
  std::memset(at, ' ', lf::kDiagStride);
  std::memcpy(at, field.data(), std::min<size_t>(field.size(), kDiagCodeLength));
  s->diag_codes[slot] = code;
}

void SummaryGenerator::PutDiagCode(Summary* s, int slot, uint32_t code) {
  const DiagCode& diag = pools_.diags()[code];
  PutDiag(s, slot, std::string_view(diag.field.data(), kDiagCodeLength),
          static_cast<int32_t>(code));
  // Some producers fill a code up with '+', which the program drops again;
  // not behind a code that ends in '+' itself.
  int end = kDiagCodeLength;
  while (end > 0 && diag.field[end - 1] == ' ') --end;
  if (end > 0 && end < kDiagCodeLength && diag.field[end - 1] != '+' && rng_.Percent(3)) {
    char* at = s->text.data() + lf::kDiagOffset + lf::kDiagStride * slot;
    std::memset(at + end, '+', lf::kDiagStride - end);
  }
}

void SummaryGenerator::PutDiagnoses(Summary* s) {
  const std::vector<uint32_t>& first = pools_.Valid(kSlotFirst);
  const std::vector<uint32_t>& second = pools_.Valid(kSlotSecond);
  const std::vector<uint32_t>& third = pools_.Valid(kSlotThird);
  const std::vector<uint32_t>& associated = pools_.Valid(kSlotAssociated);
  for (int attempt = 0; attempt < 8; ++attempt) {
    for (int slot = 0; slot < kDiagSlotCount; ++slot) PutDiag(s, slot, "", kBlankCode);

    if (first.empty() || rng_.Percent(1)) {
      PutDiag(s, 0, kPlaceholder, kPlaceholderCode);
    } else {
      PutDiagCode(s, 0, first[rng_.Below(first.size())]);
    }
    for (int tries = 0; tries < 20 && !second.empty(); ++tries) {
      const uint32_t code = second[rng_.Below(second.size())];
      const DiagCode& diag = pools_.diags()[code];
      if (SameDiag(*s, 0, std::string_view(diag.field.data(), kDiagCodeLength))) continue;
      if (diag.field[0] == 'Z' && Diag0IsPlaceholder(*s)) continue;
      PutDiagCode(s, 1, code);
      break;
    }
    if (!third.empty() && rng_.Percent(55)) {
      for (int tries = 0; tries < 20; ++tries) {
        const uint32_t code = third[rng_.Below(third.size())];
        const std::string_view field(pools_.diags()[code].field.data(), kDiagCodeLength);
        if (SameDiag(*s, 0, field) || SameDiag(*s, 1, field)) continue;
        PutDiagCode(s, 2, code);
        break;
      }
    }
    if (!associated.empty()) {
      const int r = rng_.Weighted({25, 40, 28, 7});
      const int count = r == 0   ? 0
                        : r == 1 ? rng_.Between(1, 3)
                        : r == 2 ? rng_.Between(4, 8)
                                 : rng_.Between(9, kAssociatedDiagCount);
      for (int k = 0; k < count; ++k) {
        PutDiagCode(s, 3 + k, associated[rng_.Below(associated.size())]);
      }
    }
    if (DiagPairsClean(*s)) return;
  }
}

// The pair scan of a category-99 slot reads one or two bytes past its own
// block, into the next slot's: so a valid summary is checked as a whole, the
// way the program stores the 23 blocks.
bool SummaryGenerator::DiagPairsClean(const Summary& s) const {
  const int attr_length = pools_.record_size() - 1;
  if (attr_length <= 0) return true;
  uint8_t blocks[256] = {};
  for (int slot = 0; slot < kDiagSlotCount; ++slot) {
    const int32_t code = s.diag_codes[slot];
    const uint32_t record = code >= 0                  ? pools_.diags()[code].record
                            : code == kPlaceholderCode ? placeholder_record_
                                                       : 0;
    std::memcpy(blocks + slot * attr_length, pools_.Record(record) + 1, attr_length);
  }
  for (int slot = 0; slot < kDiagSlotCount; ++slot) {
    const int b = slot * attr_length;
    if (blocks[b] != kSpecialCategory) continue;
    for (int i = 0; i < attr_length && b + 2 + i < 256; i += 2) {
      if (blocks[b + 1 + i] == kRejectPairTag &&
          (blocks[b + 2 + i] == kRejectPairFirst || blocks[b + 2 + i] == kRejectPairSecond)) {
        return false;
      }
    }
  }
  return true;
}

void SummaryGenerator::PutDurations(Summary* s, int presence) {
  int minutes[kDurationCount] = {};
  // Weekly minutes of up to four disciplines (durations 1 to 8), each a
  // number of minutes a day over the days of presence; now and then some of
  // the other four.
  const int disciplines = rng_.Weighted({15, 25, 30, 20, 10});
  for (int d = 0; d < disciplines; ++d) {
    const int j = rng_.Weighted({30, 20, 12, 10, 8, 8, 7, 5});
    minutes[j] = std::min(9999, rng_.Between(3, 24) * 5 * presence);
  }
  for (int j = 8; j < kDurationCount; ++j) {
    if (rng_.Percent(10)) minutes[j] = rng_.Between(1, 60) * 10;
  }
  const int style = rng_.Weighted({70, 20, 10});  // right-justified, zero-padded, left
  for (int j = 0; j < kDurationCount; ++j) {
    char* field = s->text.data() + lf::kDurations.offset + kDurationLength * j;
    char digits[4];
    WriteDigits(minutes[j], 4, digits);
    int lead = 0;
    while (lead < 3 && digits[lead] == '0') ++lead;
    if (style == 1) lead = 0;
    std::memset(field, ' ', kDurationLength);
    if (style == 2) {
      std::memcpy(field, digits + lead, 4 - lead);
    } else {
      std::memcpy(field + lead, digits + lead, 4 - lead);
    }
  }
}

void SummaryGenerator::PutActs(Summary* s, int count) {
  char* t = s->text.data();
  WriteDigits(count, 2, t + lf::kActCount.offset);
  const std::vector<ActCode>& acts = pools_.acts();
  for (int k = 0; k < count; ++k) {
    char* at = t + lf::kActsOffset + kActCodeLength * k;
    if (acts.empty()) {
      std::memcpy(at, "ZZQK0020", kActCodeLength);
    } else {
      std::memcpy(at, acts[rng_.Below(acts.size())].field.data(), kActCodeLength);
    }
  }
  s->acts = count;
  s->length = kSummaryBaseLength + kActCodeLength * count;
}

// ---------------------------------------------------------------------------
// Malformed lines.

void SummaryGenerator::BuildMalformed(Malformed kind, Summary* s) {
  BuildValid(s);
  char* t = s->text.data();
  switch (kind) {
    case Malformed::kEmpty:
      s->length = 0;
      break;
    case Malformed::kTooShort:
      s->length = rng_.Between(1, 11);
      break;
    case Malformed::kUnknownFormat: {
      static constexpr const char* kFormats[] = {"m04", "M05", "MA5", "M03", "ma4", "RSS", "   "};
      std::memcpy(t + lf::kFormatNo.offset, kFormats[rng_.Below(std::size(kFormats))], 3);
      if (rng_.Percent(25)) s->length = rng_.Between(12, 87);
      break;
    }
    case Malformed::kWrongLength:
      switch (rng_.Below(3)) {
        case 0:
          s->length = rng_.Between(12, s->length - 1);
          break;
        case 1: {
          const int extra = rng_.Between(1, 7);
          std::memset(t + s->length, ' ', extra);
          s->length += extra;
          break;
        }
        default:
          WriteDigits(s->acts == 0 || rng_.Percent(50) ? s->acts + 1 : s->acts - 1, 2,
                      t + lf::kActCount.offset);
          break;
      }
      break;
    case Malformed::kTooLong:
      if (rng_.Percent(50)) {
        PutActs(s, rng_.Between(20, 25));
      } else {
        const int length = rng_.Between(499, kMaxLineLength);
        for (int i = s->length; i < length; ++i) t[i] = static_cast<char>('A' + rng_.Below(26));
        s->length = length;
      }
      break;
    case Malformed::kNulByte:
      t[rng_.Below(static_cast<uint64_t>(s->length))] = '\0';
      break;
    case Malformed::kCrLfEnding:
      s->crlf = true;
      break;
  }
}

}  // namespace gen
}  // namespace grulo
