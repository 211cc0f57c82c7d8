// Table files read back into their models, whatever they hold, consistent
// or not, without reading outside them: what the dump prints.

#ifndef GRULO_AUTHORING_TABLE_DECODE_H_
#define GRULO_AUTHORING_TABLE_DECODE_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "authoring/table_model.h"
#include "base/status.h"
#include "tables/table_file.h"

namespace grulo {

// At most this many notes are kept by one reading.
inline constexpr int kMaxDecodeNotes = 200;

// What a reading could not take into its model, one text per part ("prefix
// A50: the index end 0 is below ..."): the first kMaxDecodeNotes texts, and
// a count of the others.
class DecodeNotes {
 public:
  void Add(std::string note);
  bool empty() const { return kept_.empty(); }
  const std::vector<std::string>& kept() const { return kept_; }
  int64_t dropped() const { return dropped_; }

 private:
  std::vector<std::string> kept_;
  int64_t dropped_ = 0;
};

// Reads a file into a model (replacing it). Records and nodes are kept as
// numbered: every record the file holds from the record offset on, in
// model.records, and the entries with their record numbers; every node the
// file holds from the node offset on. The layout stays empty. The entries
// are those of the ranges the lookups search (prefix_walk.h); the other
// ranges go to `notes`. Everything read is bounded by the file's size and
// the 16-bit numbers of entries, records and nodes. Not ok (kCorruption,
// naming `path`) when the file is shorter than its header and descriptors.
Status DecodeTable(const TableFile& file, std::string_view path, DiagTableModel* model,
                   DecodeNotes* notes);
Status DecodeTable(const TableFile& file, std::string_view path, ActTableModel* model,
                   DecodeNotes* notes);
Status DecodeTable(const TableFile& file, std::string_view path, TreeTableModel* model,
                   DecodeNotes* notes);

}  // namespace grulo

#endif  // GRULO_AUTHORING_TABLE_DECODE_H_
