// Reading a whole file into memory: the one reader of the configuration,
// the table files, the text sources of the table toolkit and the run's
// outputs read back.

#ifndef GRULO_PLATFORM_FILE_READ_H_
#define GRULO_PLATFORM_FILE_READ_H_

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "base/status.h"

namespace grulo {

// What a caller accepts.
struct ReadRules {
  // Only a regular file is read: a FIFO or a device is refused at once,
  // without waiting for a writer. Otherwise a pipe or a device is read to
  // its end too. A directory is always refused.
  bool regular_only = true;
  // A file of more bytes is refused.
  int64_t max_size = std::numeric_limits<int64_t>::max();
};

// Reads the file at `path`, symbolic links followed, up to its end into
// `bytes` (emptied first, and left empty on failure). The size is not taken
// from the file system but from what is read, so a file that changes
// meanwhile gives the bytes read, never more than the limit.
//
// The message of a failure is the reason alone ("No such file or
// directory", "is a directory", "is not a regular file", "is too large (N
// bytes, at most M)", "read failed: ..."), the caller naming the file; a
// missing file gives kNotFound, a file refused by the rules kInvalidArgument,
// other failures kIoError.
Status ReadWholeFile(const std::string& path, const ReadRules& rules, std::string* bytes);
Status ReadWholeFile(const std::string& path, const ReadRules& rules, std::vector<uint8_t>* bytes);

}  // namespace grulo

#endif  // GRULO_PLATFORM_FILE_READ_H_
