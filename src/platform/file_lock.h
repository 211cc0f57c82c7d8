// An exclusive lock between processes, held through a lock file and
// released by the system when the process ends, however it ends.

#ifndef GRULO_PLATFORM_FILE_LOCK_H_
#define GRULO_PLATFORM_FILE_LOCK_H_

#include <cstdint>
#include <memory>
#include <string>

#include "base/status.h"

namespace grulo {

class FileLock {
 public:
  virtual ~FileLock() = default;  // removes the lock file, then unlocks
};

// Takes the lock of the file at `path` (created when missing) without
// waiting. On success `*lock` holds it; the lock file, which holds this
// process's id as text, is removed when the lock is released. When another
// process holds it, the status is a kIoError whose message names that
// process, and `*holder` is its id, or -1 when the system cannot tell it.
// Other failures (a directory that cannot be written) give their reason and
// leave `*holder` at 0.
Status LockFile(const std::string& path, std::unique_ptr<FileLock>* lock, int64_t* holder);

}  // namespace grulo

#endif  // GRULO_PLATFORM_FILE_LOCK_H_
