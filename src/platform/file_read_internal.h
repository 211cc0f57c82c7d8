// The part of ReadWholeFile that is the same on every system: reading an
// open file of a known size to its end within the size limit.

#ifndef GRULO_PLATFORM_FILE_READ_INTERNAL_H_
#define GRULO_PLATFORM_FILE_READ_INTERNAL_H_

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/status.h"

namespace grulo::file_read_internal {

// A file of `size` bytes, or of more than `max_size` when `size` is -1.
inline Status TooLarge(int64_t size, int64_t max_size) {
  return Status::InvalidArgument(
      "", "is too large (" + (size < 0 ? "more than " : std::to_string(size) + " bytes, at most ") +
              std::to_string(max_size) + " bytes)");
}

// Refuses a file of more than `max_size` bytes, then reads it with
// `read_some(to, room, &got)`, which reads at most `room` bytes (`got` 0 at
// the end of the file) or returns why it failed. The buffer (a std::string
// or a std::vector<uint8_t>) is one byte larger than `size` and grows when
// it fills, so that a file that grew meanwhile (or a pipe, of size 0) is
// read whole, and refused once beyond the limit. On failure `bytes` is left
// empty.
template <typename Bytes, typename ReadSome>
Status ReadToEnd(int64_t size, int64_t max_size, ReadSome read_some, Bytes* bytes) {
  bytes->clear();
  if (size > max_size) return TooLarge(size, max_size);
  bytes->resize(static_cast<size_t>(size) + 1);
  size_t used = 0;
  for (;;) {
    if (used == bytes->size()) {
      if (static_cast<int64_t>(used) > max_size) {
        bytes->clear();
        return TooLarge(-1, max_size);
      }
      bytes->resize(used * 2 + 4096);
    }
    size_t got = 0;
    Status status = read_some(reinterpret_cast<char*>(bytes->data()) + used,
                              bytes->size() - used, &got);
    if (!status.ok()) {
      bytes->clear();
      return status;
    }
    if (got == 0) break;
    used += got;
  }
  if (static_cast<int64_t>(used) > max_size) {
    bytes->clear();
    return TooLarge(-1, max_size);
  }
  bytes->resize(used);
  bytes->shrink_to_fit();
  return Status();
}

}  // namespace grulo::file_read_internal

#endif  // GRULO_PLATFORM_FILE_READ_INTERNAL_H_
