#include "grouper/line_outcome.h"

namespace grulo {

const char* TableFileName(TableRole role) {
  switch (role) {
    case TableRole::kTree:
      return kTreeTableName;
    case TableRole::kActs:
      return kActTableName;
    case TableRole::kDiags:
      return kDiagTableName;
  }
  return kTreeTableName;
}

void LineOutcome::Start(LineFormat line_format) {
  format = line_format;
  kind = line_format == LineFormat::kWellFormed ? OutcomeKind::kGrouped
                                                : OutcomeKind::kFormatProblem;
  result = GroupResult();
  version = VersionText{};
  ClearErrors(&errors);
  table_problem = nullptr;
}

RunCounters& RunCounters::operator+=(const RunCounters& other) {
  NbLus += other.NbLus;
  NbErrBloq += other.NbErrBloq;
  NbErrNonBloq += other.NbErrNonBloq;
  NbErrForm += other.NbErrForm;
  NbGrp += other.NbGrp;
  NbErrTab += other.NbErrTab;
  NbErrArbre += other.NbErrArbre;
  NbErrArbreNonBloq += other.NbErrArbreNonBloq;
  return *this;
}

}  // namespace grulo
