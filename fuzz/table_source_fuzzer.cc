// The text sources of the three tables (the first byte chooses the kind):
// parsed, and when they parse, written; a table the tool writes must open
// in the program, and its dump must build back to the same bytes.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "authoring/table_build.h"
#include "authoring/table_dump.h"
#include "authoring/table_kind.h"
#include "fuzz/fuzz_support.h"
#include "tables/open_tables.h"
#include "tables/table_file.h"

namespace {

constexpr grulo::TableKind kKinds[] = {grulo::TableKind::kTree, grulo::TableKind::kAct,
                                       grulo::TableKind::kDiag};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace grulo;
  if (size < 1 || size > (size_t{1} << 16)) return 0;
  const TableKind kind = kKinds[data[0] % 3];
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);

  // A cap far below the writer's own keeps one input from taking minutes.
  constexpr int64_t kMaxBytes = int64_t{4} << 20;
  std::vector<uint8_t> bytes;
  if (!BuildTable(kind, text, "fuzz.txt", &bytes, kMaxBytes).ok()) return 0;
  fuzz::Require(static_cast<int64_t>(bytes.size()) <= kMaxBytes, "the cap holds");

  std::unique_ptr<TableFile> file = TableFile::FromBytes(bytes);
  std::string dump;
  Status round_trip;
  Status status = DumpTable(*file, "fuzz.tab", kind, &dump, &round_trip);
  if (!status.ok()) {
    // Only a file too short for its header and descriptors has no dump: the
    // writer always writes them.
    fuzz::Require(false, "a built table dumps");
  }
  fuzz::Require(round_trip.ok(), "a built table's dump builds back to its bytes");
  std::vector<uint8_t> rebuilt;
  fuzz::Require(BuildTable(kind, dump, "dump.txt", &rebuilt).ok() && rebuilt == bytes,
                "building the dump gives the same bytes");
  return 0;
}
