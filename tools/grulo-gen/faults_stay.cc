// Faults of the stay's entry and exit: dates, modes, provenance, destination,
// and a week that lies outside the stay.

#include <algorithm>
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

bool SummaryGenerator::ApplyStayFault(Fault fault, Summary* s) {
  char* t = s->text.data();
  char* entry_date = t + lf::kEntryDate.offset;
  char* exit_date = t + lf::kExitDate.offset;
  char& entry_mode = t[lf::kEntryMode.offset];
  char& provenance = t[lf::kProvenance.offset];
  char& exit_mode = t[lf::kExitMode.offset];
  char& destination = t[lf::kDestination.offset];
  const int32_t sunday = s->monday + 6;
  switch (fault.error) {
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
      s->entry = std::max(EarliestEntryDay(), s->exit - rng_.Between(0, 120));
      WriteDate(s->entry, entry_date);
      WriteDate(s->exit, exit_date);
      exit_mode = '8';
      break;
    default:
      return false;
  }
  return true;
}

}  // namespace gen
}  // namespace grulo
