// The toolkit's walk over a whole prefix index (prefix_index.h): every range
// as the lookups see it, the usable ones read, the others reported with the
// reason the lookups do not search them. The dump and the check both walk
// indexes this way.

#ifndef GRULO_AUTHORING_PREFIX_WALK_H_
#define GRULO_AUTHORING_PREFIX_WALK_H_

#include <cstdint>
#include <functional>
#include <string>

#include "tables/prefix_index.h"
#include "tables/table_file.h"
#include "tables/table_layout.h"

namespace grulo {

// At most this many entries of usable ranges are read in one walk: as many
// as a 16-bit index addresses. Only ranges that overlap (after an index that
// decreases) can hold more; the ranges past the cap are not read.
inline constexpr int64_t kMaxWalkedEntries = kMaxIndexEnd;

// Where an index lies and what it indexes.
struct PrefixIndexPlace {
  int64_t offset = 0;      // the file offset of the index
  int64_t index_size = 0;  // its size; the entries follow it
  int prefix_count = 0;
  int entry_size = 0;
};

// Walks prefixes 0 to prefix_count - 1 in order. Calls visit(p, range) for
// each usable range while the entries read stay within kMaxWalkedEntries.
// Calls problem(message) once for an index that the file does not hold in
// full (instead of once per prefix), once for each range that is neither
// usable nor empty ("prefix A50: the index end 0 is below the end 2 of the
// prefix before: ..."; prefix_text(p) names the prefix), and once at the end
// for the usable ranges left unread past the cap.
void WalkPrefixIndex(const TableFile& file, const PrefixIndexPlace& place,
                     const std::function<std::string(int)>& prefix_text,
                     const std::function<void(int, const PrefixRange&)>& visit,
                     const std::function<void(std::string)>& problem);

}  // namespace grulo

#endif  // GRULO_AUTHORING_PREFIX_WALK_H_
