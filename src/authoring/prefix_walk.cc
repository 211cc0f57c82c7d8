#include "authoring/prefix_walk.h"

namespace grulo {
namespace {

std::string Num(int64_t n) { return std::to_string(n); }

constexpr char kNotFound[] = ": the prefix's codes are not found";

}  // namespace

void WalkPrefixIndex(const TableFile& file, const PrefixIndexPlace& place,
                     const std::function<std::string(int)>& prefix_text,
                     const std::function<void(int, const PrefixRange&)>& visit,
                     const std::function<void(std::string)>& problem) {
  const int64_t index_bytes = int64_t{kPrefixIndexEntrySize} * place.prefix_count;
  if (file.Peek(place.offset, index_bytes) == nullptr) {
    problem("the prefix index (" + Num(index_bytes) + " bytes at offset " + Num(place.offset) +
            ") is not inside the file (" + Num(file.size()) + " bytes)");
  }
  int64_t read = 0;
  int64_t unread_prefixes = 0;
  for (int p = 0; p < place.prefix_count; ++p) {
    const PrefixRange range =
        FindPrefixRange(file, place.offset, place.index_size, p, place.entry_size);
    switch (range.state) {
      case RangeState::kUsable:
        if (read + range.count() > kMaxWalkedEntries) {
          ++unread_prefixes;
        } else {
          read += range.count();
          visit(p, range);
        }
        break;
      case RangeState::kIndexOutsideFile:  // reported once above
      case RangeState::kEmpty:
        break;
      case RangeState::kEndBelowStart:
        problem("prefix " + prefix_text(p) + ": the index end " + Num(range.end) +
                " is below the end " + Num(range.start) +
                " of the prefix before: the index decreases, the prefix's codes are not found");
        break;
      case RangeState::kTooManyEntries:
        problem("prefix " + prefix_text(p) + ": " + Num(range.count()) + " entries, more than " +
                Num(kMaxRangeEntries) + kNotFound);
        break;
      case RangeState::kEntriesOutsideFile:
        problem("prefix " + prefix_text(p) + ": entries " + Num(range.start) + " to " +
                Num(range.end - 1) + " lie beyond the end of the file" + kNotFound);
        break;
    }
  }
  if (unread_prefixes > 0) {
    problem("the ranges hold more than " + Num(kMaxWalkedEntries) +
            " entries in all (they overlap where the index decreases): the entries of " +
            Num(unread_prefixes) + " more prefixes are not read");
  }
}

}  // namespace grulo
