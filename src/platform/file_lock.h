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
//
// The lock file is never opened through a symbolic link (on Windows any
// reparse point) and must be a regular file of one name (no hard link): a
// name that is anything else is refused with kInvalidArgument and a reason
// that says what to do, before anything is written. A lock file that no
// process holds is reused, whoever made it; one of another user that this
// user may not write is replaced, or, where the system refuses that too,
// refused with kInvalidArgument and a reason that says no run holds it and
// how to remove it. Other failures (a directory that cannot be written) give
// the system's reason as a kIoError, and leave `*holder` at 0.
Status LockFile(const std::string& path, std::unique_ptr<FileLock>* lock, int64_t* holder);

}  // namespace grulo

#endif  // GRULO_PLATFORM_FILE_LOCK_H_
