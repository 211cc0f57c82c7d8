// Where the three tables of a run come from: a table directory, three paths,
// or three byte buffers held in memory.

#ifndef GRULO_GROUPER_TABLE_SOURCE_H_
#define GRULO_GROUPER_TABLE_SOURCE_H_

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/status.h"
#include "grouper/line_outcome.h"
#include "tables/table_file.h"

namespace grulo {

class TableSource {
 public:
  // The tables of the batch: each file name put directly behind `rep_tab`,
  // as the configuration's RepTab gives it (nothing is inserted, so a
  // directory needs its separator at the end; an empty text is the current
  // directory).
  static TableSource InDirectory(std::string rep_tab);
  // The three files at these paths.
  static TableSource AtPaths(std::string tree, std::string acts, std::string diags);
  // Three tables held in memory; an absent one behaves as a missing file.
  static TableSource InMemory(std::optional<std::vector<uint8_t>> tree,
                              std::optional<std::vector<uint8_t>> acts,
                              std::optional<std::vector<uint8_t>> diags);

  // The table directory of InDirectory, as it was given; empty otherwise.
  const std::string& directory() const { return directory_; }

  // Where the table of `role` is looked for: its path, or its file name for
  // a table in memory.
  const std::string& PathOf(TableRole role) const { return paths_[Index(role)]; }

  // Opens the table file of `role` as it stands now (a file is read whole);
  // nullptr, with the reason in `why` (naming PathOf(role)), when there is
  // none that can be read.
  std::unique_ptr<TableFile> Open(TableRole role, Status* why) const;

 private:
  static size_t Index(TableRole role) { return static_cast<size_t>(role); }

  std::string directory_;
  std::array<std::string, 3> paths_;
  // For tables in memory: their bytes, shared by the copies of the source.
  std::shared_ptr<const std::array<std::optional<std::vector<uint8_t>>, 3>> bytes_;
};

}  // namespace grulo

#endif  // GRULO_GROUPER_TABLE_SOURCE_H_
