// Reading a whole regular file into memory.

#ifndef GRULO_PLATFORM_FILE_READ_H_
#define GRULO_PLATFORM_FILE_READ_H_

#include <cstdint>
#include <string>
#include <vector>

#include "base/status.h"

namespace grulo {

// Reads the regular file at `path` up to its end into `bytes`. Refuses, with
// a status that names the path and the reason, a file that cannot be opened
// or read, anything but a regular file (a FIFO or a device is refused at
// once, without waiting for a writer) and a file of more than `max_size`
// bytes. The size is not taken from the file system but from what is read,
// so a file that changes meanwhile gives the bytes read, never more.
Status ReadRegularFile(const std::string& path, int64_t max_size, std::vector<uint8_t>* bytes);

}  // namespace grulo

#endif  // GRULO_PLATFORM_FILE_READ_H_
