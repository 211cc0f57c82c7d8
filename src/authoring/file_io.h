// Whole-file reads and writes of the table toolkit: text sources in, table
// files and dumps out, table files opened for the dump and the check.

#ifndef GRULO_AUTHORING_FILE_IO_H_
#define GRULO_AUTHORING_FILE_IO_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"
#include "tables/table_file.h"

namespace grulo {

// The largest text source the toolkit reads: far above any real source (one
// of 65535 codes with 12-byte records has some 4 MB).
inline constexpr int64_t kMaxSourceBytes = int64_t{16} << 20;

// Reads a whole regular file of at most `max_bytes` bytes into *bytes. Not ok
// when there is no such file (kNotFound), when it is not a regular file or
// is larger (kInvalidArgument, nothing read) or when it cannot be read
// (kIoError); every message names the path.
Status ReadWholeFile(const std::string& path, int64_t max_bytes, std::string* bytes);

// Writes bytes to a file, replacing what it held. Not ok (kIoError, naming
// the path and the system's reason) when it cannot.
Status WriteWholeFile(const std::string& path, std::string_view bytes);
Status WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes);

// Opens a table file for reading (TableFile::Open). Not ok when there is no
// such file (kNotFound), when it is not a regular file (kInvalidArgument) or
// when it cannot be opened or mapped (kIoError); the message names the path.
Status OpenTableFile(const std::string& path, std::unique_ptr<TableFile>* file);

// The same reading and writing for callers that keep a bool: false, with the
// message in *error for the writing.
bool WriteBytesToFile(const std::string& path, const std::vector<uint8_t>& bytes,
                      std::string* error);
bool ReadFileToString(const std::string& path, std::string* text);

}  // namespace grulo

#endif  // GRULO_AUTHORING_FILE_IO_H_
