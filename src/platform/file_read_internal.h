// The part of ReadRegularFile that is the same on every system: reading an
// open regular file of a known size to its end within the size limit.

#ifndef GRULO_PLATFORM_FILE_READ_INTERNAL_H_
#define GRULO_PLATFORM_FILE_READ_INTERNAL_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/status.h"

namespace grulo::file_read_internal {

// Refuses a file of more than `max_size` bytes, then reads it with
// `read_some(to, room, &got)`, which reads at most `room` bytes (`got` 0 at
// the end of the file) or returns why it failed. The buffer is one byte
// larger than `size` and grows when it fills, so that a file that grew
// meanwhile is seen, and refused once beyond the limit. On failure `bytes`
// is left empty.
template <typename ReadSome>
Status ReadToEnd(const std::string& path, int64_t size, int64_t max_size, ReadSome read_some,
                 std::vector<uint8_t>* bytes) {
  if (size > max_size) {
    return Status::InvalidArgument(path, "is too large (" + std::to_string(size) +
                                             " bytes, at most " + std::to_string(max_size) + ")");
  }
  bytes->resize(static_cast<size_t>(size) + 1);
  size_t used = 0;
  for (;;) {
    if (used == bytes->size()) {
      if (static_cast<int64_t>(used) > max_size) {
        bytes->clear();
        return Status::InvalidArgument(path, "grew beyond " + std::to_string(max_size) +
                                                 " bytes while it was read");
      }
      bytes->resize(used * 2 + 4096);
    }
    size_t got = 0;
    Status status = read_some(bytes->data() + used, bytes->size() - used, &got);
    if (!status.ok()) {
      bytes->clear();
      return status;
    }
    if (got == 0) break;
    used += got;
  }
  bytes->resize(used);
  bytes->shrink_to_fit();
  return Status();
}

}  // namespace grulo::file_read_internal

#endif  // GRULO_PLATFORM_FILE_READ_INTERNAL_H_
