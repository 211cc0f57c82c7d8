#include "summary_generator.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "gen_dates.h"

namespace grulo {
namespace gen {
namespace {

namespace lf = line_field;
using E = ErrorNumber;

// Field groups: two faults that share one are not put into the same summary,
// since the second could undo the first or move the error it gives.
enum FieldGroup : uint32_t {
  kFEstablishment = 1u << 0,
  kFStay = 1u << 1,
  kFKind = 1u << 2,
  kFBirth = 1u << 3,
  kFSex = 1u << 4,
  kFEntry = 1u << 5,
  kFExit = 1u << 6,
  kFPost = 1u << 7,
  kFWeek = 1u << 8,
  kFPresence = 1u << 9,
  kFUnit = 1u << 10,
  kFRef = 1u << 11,
  kFDiag0 = 1u << 12,
  kFDiag1 = 1u << 13,
  kFDiag2 = 1u << 14,
  kFAssoc = 1u << 15,
  kFScores = 1u << 16,
  kFIndicator = 1u << 17,
  kFDurations = 1u << 18,
  kFActs = 1u << 19,
};
// A fault of the week moves every date check.
constexpr uint32_t kFDates = kFWeek | kFBirth | kFEntry | kFExit | kFRef | kFKind | kFPresence;
constexpr uint32_t kFStayDates = kFEntry | kFExit;

constexpr FaultInfo kFaultInfos[] = {
    {{E::kEstablishmentNoForm}, kFEstablishment, "establishment number not 9F9999999"},
    {{E::kStayNoBlank}, kFStay, "blank stay number"},
    {{E::kStayNoForm}, kFStay, "stay number not digits"},
    {{E::kStayKindNotDigit}, kFKind, "stay kind not a digit"},
    {{E::kStayKindUnknown}, kFKind, "unknown stay kind"},
    {{E::kBirthDateBlank}, kFBirth, "blank birth date"},
    {{E::kBirthDateForm}, kFBirth, "birth date not Z9Z99999"},
    {{E::kBirthDateInvalid}, kFBirth, "impossible birth date"},
    {{E::kBirthAfterWeek}, kFBirth, "birth after the week"},
    {{E::kBirthTooLongAgo}, kFBirth, "birth 121 years or more before the week"},
    {{E::kSexNotDigit}, kFSex, "sex not a digit"},
    {{E::kSexUnknown}, kFSex, "unknown sex"},
    {{E::kUnitNoBlank}, kFUnit, "blank unit number"},
    {{E::kEntryDateForm}, kFKind | kFStayDates, "entry date missing or not Z9Z99999"},
    {{E::kEntryDateInvalid}, kFStayDates, "impossible entry date"},
    {{E::kEntryAfterToday}, kFStayDates, "entry after today"},
    {{E::kEntryYearTooOld}, kFStayDates, "entry in 1990 or earlier"},
    {{E::kEntryModeNotDigit}, kFKind | kFStayDates, "entry mode missing or not a digit"},
    {{E::kEntryModeUnknown}, kFStayDates, "unknown entry mode"},
    {{E::kProvenanceBlank}, kFStayDates, "blank provenance after a transfer"},
    {{E::kProvenanceUnknown}, kFStayDates, "provenance that does not fit the entry mode"},
    {{E::kProvenanceUnexpected}, kFKind | kFStayDates, "provenance without entry mode"},
    {{E::kExitDateTooShort}, kFStayDates, "exit date too short"},
    {{E::kExitDateForm}, kFStayDates, "exit date not Z9Z99999"},
    {{E::kExitDateInvalid}, kFStayDates, "impossible exit date"},
    {{E::kExitBeforeEntry}, kFStayDates, "exit before entry"},
    {{E::kExitAfterToday}, kFStayDates, "exit after today"},
    {{E::kExitModeBlank}, kFStayDates, "exit date without exit mode"},
    {{E::kExitModeNotDigit}, kFStayDates, "exit mode not a digit"},
    {{E::kExitModeUnknown}, kFStayDates, "unknown exit mode"},
    {{E::kDestinationBlank}, kFStayDates, "blank destination after a transfer"},
    {{E::kDestinationUnknown}, kFStayDates, "destination that does not fit a transfer"},
    {{E::kDestinationUnexpected}, kFStayDates, "destination that does not fit the exit mode"},
    {{E::kPostCodeBlank}, kFPost, "blank post code"},
    {{E::kPostCodeForm}, kFPost, "post code not five digits"},
    {{E::kWeekOutOfRange}, kFDates, "week number outside 1 to 53"},
    {{E::kWeekYearFuture}, kFDates, "week in a future year"},
    {{E::kWeekYearTooOld}, kFDates, "week before 1990"},
    {{E::kWeekBeforeEntry}, kFKind | kFStayDates, "week before the week of entry"},
    {{E::kWeekAfterExit}, kFKind | kFStayDates, "week after the week of exit"},
    {{E::kPresenceDaysBad}, kFPresence, "no day of presence, or a bad day flag"},
    {{E::kRefDateInvalid}, kFRef, "impossible reference date"},
    {{E::kRefDateAfterWeek}, kFRef, "reference date after the week"},
    {{E::kDiag0Bad}, kFDiag0, "first diagnosis blank, malformed or unknown"},
    {{E::kDiag0LetterOrFirstPair}, kFDiag0, "first diagnosis not a Z code"},
    {{E::kDiag0LetterOrFirstPair, 1}, kFDiag0, "first diagnosis with the pair (38, 210)"},
    {{E::kDiag0SecondPair}, kFDiag0, "first diagnosis with the pair (38, 212)"},
    {{E::kDiag0Position}, kFDiag0, "first diagnosis not allowed first"},
    {{E::kDiag1Blank}, kFDiag0 | kFDiag1, "blank second diagnosis"},
    {{E::kDiag1Letter}, kFDiag0 | kFDiag1, "second diagnosis U to Y"},
    {{E::kDiag1ZAfterPlaceholder}, kFDiag0 | kFDiag1, "second diagnosis Z after ZAIGU"},
    {{E::kDiag1SameAsFirst}, kFDiag0 | kFDiag1, "second diagnosis equal to the first"},
    {{E::kDiag1Bad}, kFDiag0 | kFDiag1, "second diagnosis malformed or unknown"},
    {{E::kDiag1FirstPair}, kFDiag0 | kFDiag1, "second diagnosis with the pair (38, 210)"},
    {{E::kDiag1SecondPair}, kFDiag0 | kFDiag1, "second diagnosis with the pair (38, 212)"},
    {{E::kDiag1Position}, kFDiag0 | kFDiag1, "second diagnosis not allowed second"},
    {{E::kDiag2Letter}, kFDiag1 | kFDiag2, "third diagnosis R or U to Z"},
    {{E::kDiag2Repeated}, kFDiag1 | kFDiag2, "third diagnosis repeats the second"},
    {{E::kDiag2Bad}, kFDiag1 | kFDiag2, "third diagnosis malformed or unknown"},
    {{E::kDiag2FirstPair}, kFDiag1 | kFDiag2, "third diagnosis with the pair (38, 210)"},
    {{E::kDiag2SecondPair}, kFDiag1 | kFDiag2, "third diagnosis with the pair (38, 212)"},
    {{E::kDiag2Position}, kFDiag1 | kFDiag2, "third diagnosis not allowed third"},
    {{E::kAssociatedBad}, kFAssoc, "associated diagnosis malformed or unknown"},
    {{E::kAssociatedFirstPair}, kFAssoc, "associated diagnosis with the pair (38, 210)"},
    {{E::kAssociatedSecondPair}, kFAssoc, "associated diagnosis with the pair (38, 212)"},
    {{E::kAssociatedPosition}, kFAssoc, "associated diagnosis not allowed associated"},
    {{E::kActCountBlank}, kFActs, "blank act count"},
    {{E::kActCountForm}, kFActs, "act count not digits"},
    {{E::kTooManyActs}, kFActs, "more than 10 acts"},
    {{E::kScoreBad}, kFScores, "score other than 1 to 4"},
    {{E::kIndicatorBad}, kFIndicator, "indicator other than 1 or 2"},
    {{E::kDurationBlank}, kFDurations, "blank duration"},
    {{E::kDurationForm}, kFDurations, "duration not digits"},
    {{E::kActForm}, kFActs, "act not four letters and four digits"},
    {{E::kActUnknown}, kFActs, "act unknown to the act table"},
};
static_assert(std::size(kFaultInfos) == kFaultCount);


constexpr const char* kMalformedNames[kMalformedCount] = {"empty line",
                                                          "fewer than 12 characters",
                                                          "unknown format number",
                                                          "length that does not fit the act count",
                                                          "more than 498 characters",
                                                          "NUL byte",
                                                          "CR LF line ending"};

constexpr int32_t kBlankCode = -1;
constexpr int32_t kPlaceholderCode = -2;  // "ZAIGU "
constexpr char kPlaceholder[] = "ZAIGU ";
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

// A day of a far future year, after any plausible day of a run.
int32_t FarFutureDay(Random* rng) {
  return DayFromCivil(rng->Between(2090, 2099), rng->Between(1, 12), rng->Between(1, 28));
}

const int32_t kEarliestEntry = DayFromCivil(1991, 1, 2);

// The way of error 51 that the table's pair (38, 210) gives.
constexpr uint8_t kByFirstPair = 1;

// The place of a fault in kFaultInfos; 0 for a fault that is not there.
int IndexOf(Fault fault) {
  for (int i = 0; i < kFaultCount; ++i) {
    if (kFaultInfos[i].fault == fault) return i;
  }
  return 0;
}

}  // namespace

const FaultInfo& FaultInfoAt(int index) { return kFaultInfos[index]; }

const FaultInfo& InfoOf(Fault fault) { return kFaultInfos[IndexOf(fault)]; }

const char* NameOf(Malformed kind) { return kMalformedNames[static_cast<int>(kind)]; }

bool ParseShare(std::string_view text, uint32_t* ppb) {
  size_t i = 0;
  uint64_t whole = 0;
  bool digits = false;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    whole = whole * 10 + static_cast<uint64_t>(text[i] - '0');
    if (whole > 1) return false;
    digits = true;
    ++i;
  }
  uint64_t fraction = 0;
  uint64_t scale = kBillion;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
      if (scale == 1) return false;  // more than nine decimals
      scale /= 10;
      fraction += static_cast<uint64_t>(text[i] - '0') * scale;
      digits = true;
      ++i;
    }
  }
  if (!digits || i != text.size()) return false;
  const uint64_t value = whole * kBillion + fraction;
  if (value > kBillion) return false;
  *ppb = static_cast<uint32_t>(value);
  return true;
}

bool ParseWeek(std::string_view text, int* week, int* year, std::string* error) {
  if (text.size() != 6 ||
      !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    *error = "a week is six digits WWYYYY";
    return false;
  }
  const int w = (text[0] - '0') * 10 + (text[1] - '0');
  const int y = std::stoi(std::string(text.substr(2)));
  if (y < 1992 || y > 2089) {
    *error = "the year of the week must lie between 1992 and 2089";
    return false;
  }
  if (w < 1 || w > 53 || (w == 53 && !YearHasWeek53(y))) {
    *error = "week " + std::to_string(w) + " does not exist in " + std::to_string(y);
    return false;
  }
  *week = w;
  *year = y;
  return true;
}

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
    const Fault fault = kFaultInfos[f].fault;
    bool applies = true;
    switch (fault.error) {
      case E::kDiag0LetterOrFirstPair:
        applies = fault.way != kByFirstPair || !pools_.WithFirstPair(kSlotFirst).empty();
        break;
      case E::kDiag0SecondPair:
        applies = !pools_.WithSecondPair(kSlotFirst).empty();
        break;
      case E::kDiag0Position:
        applies = !pools_.BadPosition(kSlotFirst).empty();
        break;
      case E::kDiag1FirstPair:
        applies = !pools_.WithFirstPair(kSlotSecond).empty();
        break;
      case E::kDiag1SecondPair:
        applies = !pools_.WithSecondPair(kSlotSecond).empty();
        break;
      case E::kDiag1Position:
        applies = !pools_.BadPosition(kSlotSecond).empty();
        break;
      case E::kDiag1SameAsFirst:
        applies = !pools_.Valid(kSlotFirst).empty();
        break;
      case E::kDiag2Repeated:
        applies = !pools_.ValidSecondAndThird().empty();
        break;
      case E::kDiag2FirstPair:
        applies = !pools_.WithFirstPair(kSlotThird).empty();
        break;
      case E::kDiag2SecondPair:
        applies = !pools_.WithSecondPair(kSlotThird).empty();
        break;
      case E::kDiag2Position:
        applies = !pools_.BadPosition(kSlotThird).empty();
        break;
      case E::kAssociatedFirstPair:
        applies = !pools_.WithFirstPair(kSlotAssociated).empty();
        break;
      case E::kAssociatedSecondPair:
        applies = !pools_.WithSecondPair(kSlotAssociated).empty();
        break;
      case E::kAssociatedPosition:
        applies = !pools_.BadPosition(kSlotAssociated).empty();
        break;
      default:
        break;
    }
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
    const FaultInfo& info = kFaultInfos[deck_[deck_next_]];
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
    s->entry = std::max(entry, kEarliestEntry);
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
// Faults.

void SummaryGenerator::EnsureEntry(Summary* s) {
  char* t = s->text.data();
  if (s->entry == kNoDay) {
    s->entry = s->monday - rng_.Between(1, 60);
    WriteDate(s->entry, t + lf::kEntryDate.offset);
  }
  if (t[lf::kEntryMode.offset] == ' ') {
    t[lf::kEntryMode.offset] = '8';
    t[lf::kProvenance.offset] = ' ';
  }
}

void SummaryGenerator::EnsureFullStay(Summary* s) {
  char& kind = s->text[lf::kStayKind.offset];
  if (kind != '1' && kind != '5') kind = rng_.Percent(80) ? '1' : '5';
  EnsureEntry(s);
}

void SummaryGenerator::EnsureExit(Summary* s) {
  char* t = s->text.data();
  if (s->exit != kNoDay) return;
  const int32_t first = s->entry != kNoDay ? std::max(s->entry, s->monday) : s->monday;
  s->exit = rng_.Between(first, s->monday + 6);
  WriteDate(s->exit, t + lf::kExitDate.offset);
  t[lf::kExitMode.offset] = '8';
  t[lf::kDestination.offset] = ' ';
}

void SummaryGenerator::RemoveExit(Summary* s) {
  char* t = s->text.data();
  s->exit = kNoDay;
  std::memset(t + lf::kExitDate.offset, ' ', lf::kExitDate.length);
  t[lf::kExitMode.offset] = ' ';
  t[lf::kDestination.offset] = ' ';
}

namespace {

// A date text that names no day, in the given year.
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

// Breaks the form of a date that is given: a letter for a digit.
void PutLetterInDate(Random* rng, char* date) {
  static constexpr int kPositions[] = {1, 3, 4, 5, 6, 7};
  date[kPositions[rng->Below(std::size(kPositions))]] = rng->OneOf("OlIS");
}

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

int SummaryGenerator::AnyActSlot(Summary* s) {
  if (s->acts == 0) PutActs(s, 1);
  return static_cast<int>(rng_.Below(std::min(s->acts, kMaxActSlots)));
}

bool SummaryGenerator::FaultApplies(Fault fault) const {
  const int index = IndexOf(fault);
  return kFaultInfos[index].fault == fault && applies_[index];
}

bool SummaryGenerator::ApplyFault(Fault fault, Summary* s) {
  if (!FaultApplies(fault)) return false;
  char* t = s->text.data();
  char* entry_date = t + lf::kEntryDate.offset;
  char* exit_date = t + lf::kExitDate.offset;
  char& entry_mode = t[lf::kEntryMode.offset];
  char& provenance = t[lf::kProvenance.offset];
  char& exit_mode = t[lf::kExitMode.offset];
  char& destination = t[lf::kDestination.offset];
  const int32_t sunday = s->monday + 6;
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
    case E::kSexNotDigit:
      t[lf::kSex.offset] = rng_.OneOf(" MFX");
      break;
    case E::kSexUnknown:
      t[lf::kSex.offset] = rng_.OneOf("039");
      break;
    case E::kUnitNoBlank:
      std::memset(t + lf::kUnitNo.offset, ' ', lf::kUnitNo.length);
      break;
    case E::kEntryDateForm:
      if (rng_.Percent(50)) {
        EnsureFullStay(s);
        std::memset(entry_date, ' ', lf::kEntryDate.length);
        s->entry = kNoDay;
      } else {
        WriteDate(s->entry != kNoDay ? s->entry : s->monday - 10, entry_date);
        PutLetterInDate(&rng_, entry_date);
      }
      break;
    case E::kEntryDateInvalid:
      WriteImpossibleDate(&rng_, YearOf(s->entry != kNoDay ? s->entry : s->monday), entry_date);
      break;
    case E::kEntryAfterToday:
      s->entry = FarFutureDay(&rng_);
      WriteDate(s->entry, entry_date);
      break;
    case E::kEntryYearTooOld:
      s->entry = DayFromCivil(rng_.Between(1975, 1990), rng_.Between(1, 12), rng_.Between(1, 28));
      WriteDate(s->entry, entry_date);
      break;
    case E::kEntryModeNotDigit:
      if (rng_.Percent(50)) {
        EnsureFullStay(s);
        entry_mode = ' ';
      } else {
        entry_mode = rng_.OneOf("AX?");
      }
      break;
    case E::kEntryModeUnknown:
      entry_mode = rng_.OneOf("123459");
      break;
    case E::kProvenanceBlank:
      entry_mode = rng_.OneOf("067");
      provenance = ' ';
      break;
    case E::kProvenanceUnknown:
      if (rng_.Percent(50)) {
        entry_mode = rng_.OneOf("067");
        provenance = rng_.OneOf("5679A");
      } else {
        entry_mode = '8';
        provenance = rng_.OneOf("1234");
      }
      break;
    case E::kProvenanceUnexpected:
      t[lf::kStayKind.offset] = rng_.OneOf("234678");
      entry_mode = ' ';
      provenance = rng_.OneOf("1234567");
      break;
    case E::kExitDateTooShort:
      EnsureExit(s);
      exit_date[0] = exit_date[1] = ' ';
      break;
    case E::kExitDateForm:
      EnsureExit(s);
      PutLetterInDate(&rng_, exit_date);
      break;
    case E::kExitDateInvalid:
      EnsureExit(s);
      WriteImpossibleDate(&rng_, YearOf(s->exit), exit_date);
      break;
    case E::kExitBeforeEntry:
      EnsureEntry(s);
      RemoveExit(s);
      s->exit = s->entry - rng_.Between(1, 30);
      WriteDate(s->exit, exit_date);
      exit_mode = '8';
      break;
    case E::kExitAfterToday:
      EnsureEntry(s);
      RemoveExit(s);
      s->exit = FarFutureDay(&rng_);
      WriteDate(s->exit, exit_date);
      exit_mode = '8';
      break;
    case E::kExitModeBlank:
      EnsureExit(s);
      exit_mode = ' ';
      destination = ' ';
      break;
    case E::kExitModeNotDigit:
      exit_mode = rng_.OneOf("ADX");
      destination = ' ';
      break;
    case E::kExitModeUnknown:
      exit_mode = rng_.OneOf("12345");
      destination = ' ';
      break;
    case E::kDestinationBlank:
      EnsureExit(s);
      exit_mode = rng_.OneOf("067");
      destination = ' ';
      break;
    case E::kDestinationUnknown:
      EnsureExit(s);
      exit_mode = rng_.OneOf("067");
      destination = rng_.OneOf("5679");
      break;
    case E::kDestinationUnexpected:
      EnsureExit(s);
      if (rng_.Percent(50)) {
        exit_mode = '9';
        destination = rng_.OneOf("1234567");
      } else {
        exit_mode = '8';
        destination = rng_.OneOf("1234");
      }
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
    case E::kWeekOutOfRange:
      WriteDigits(rng_.Percent(30) ? 0 : rng_.Between(54, 99), 2, t + lf::kWeekNo.offset);
      break;
    case E::kWeekYearFuture:
      WriteDigits(rng_.Between(2090, 2099), 4, t + lf::kWeekNo.offset + 2);
      break;
    case E::kWeekYearTooOld:
      WriteDigits(rng_.Between(1960, 1989), 4, t + lf::kWeekNo.offset + 2);
      break;
    case E::kWeekBeforeEntry:
      EnsureFullStay(s);
      RemoveExit(s);
      s->entry = sunday + rng_.Between(1, 21);
      WriteDate(s->entry, entry_date);
      break;
    case E::kWeekAfterExit:
      EnsureFullStay(s);
      RemoveExit(s);
      s->exit = s->monday - rng_.Between(1, 14);
      s->entry = std::max(kEarliestEntry, s->exit - rng_.Between(0, 120));
      WriteDate(s->entry, entry_date);
      WriteDate(s->exit, exit_date);
      exit_mode = '8';
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
    default:  // no fault gives the numbers that no check produces
      return false;
  }
  return true;
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
