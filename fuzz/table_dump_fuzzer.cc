// Arbitrary bytes as a table file of the kind the first byte chooses: the
// dump and the consistency check read whatever the file holds, without
// reading outside it and without allocating more than its size and the
// toolkit's caps allow, and a dump that claims to round-trip does.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "authoring/check_report.h"
#include "authoring/table_build.h"
#include "authoring/table_check.h"
#include "authoring/table_dump.h"
#include "authoring/table_kind.h"
#include "authoring/tree_check.h"
#include "fuzz/fuzz_support.h"
#include "tables/table_file.h"

namespace {

constexpr grulo::TableKind kKinds[] = {grulo::TableKind::kTree, grulo::TableKind::kAct,
                                       grulo::TableKind::kDiag};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace grulo;
  if (size < 1 || size > (size_t{1} << 16)) return 0;  // an act table's index alone takes 35 kB
  const TableKind kind = kKinds[data[0] % 3];
  std::vector<uint8_t> bytes(data + 1, data + size);
  std::unique_ptr<TableFile> file = TableFile::FromBytes(bytes);

  std::string dump;
  Status round_trip;
  if (DumpTable(*file, "fuzz.tab", kind, &dump, &round_trip).ok() && round_trip.ok()) {
    std::vector<uint8_t> rebuilt;
    fuzz::Require(BuildTable(kind, dump, "dump.txt", &rebuilt).ok() && rebuilt == bytes,
                  "a dump said to round-trip builds the file's bytes");
  }

  CheckReport report;
  switch (kind) {
    case TableKind::kTree:
      CheckTreeFile(*file, "arbressr.tab", &report);
      break;
    case TableKind::kAct:
      CheckActFile(*file, "ccamcssr.tab", &report);
      break;
    case TableKind::kDiag:
      CheckDiagFile(*file, "diag10sr.tab", &report);
      break;
  }
  fuzz::Require(report.findings.size() <= 2 * kMaxFindingsPerFile + 2, "findings are capped");
  return 0;
}
