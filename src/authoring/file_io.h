// Whole-file reads and writes of the table toolkit, through the platform's
// one reader and one replacement, with messages that name the path: text
// sources in, table files and dumps out, table files opened for the dump and
// the check.

#ifndef GRULO_AUTHORING_FILE_IO_H_
#define GRULO_AUTHORING_FILE_IO_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"
#include "platform/file_replacement.h"
#include "tables/table_file.h"

namespace grulo {

// The largest text source the toolkit reads: far above any real source (one
// of 65535 codes with 12-byte records has some 4 MB).
inline constexpr int64_t kMaxSourceBytes = int64_t{16} << 20;

// Reads a text source: a regular file of at most kMaxSourceBytes. Not ok
// when there is no such file (kNotFound), when it is not a regular file or
// is larger (kInvalidArgument, nothing read) or when it cannot be read
// (kIoError); the message is "<path>: <reason>".
Status ReadTextSource(const std::string& path, std::string* text);

// A table or a dump being written: its temporary file beside it
// ("<path>.tmp.<process>.<n>", with the mode of the file it replaces),
// written and flushed, ready to be renamed into place by CommitFile. A name
// that is a symbolic link or anything but a regular file is refused before
// anything is written. Every message names the path.
Status WritePendingFile(const std::string& path, std::string_view bytes,
                        std::unique_ptr<FileReplacement>* file);
Status CommitFile(FileReplacement& file);

// Writes one file that way: written, flushed and renamed into place.
Status WriteFileAtomically(const std::string& path, std::string_view bytes);
Status WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes);

// Opens a table file for reading (TableFile::Open). Not ok when there is no
// such file (kNotFound), when it is not a regular file (kInvalidArgument) or
// when it cannot be read (kIoError); the message names the path.
Status OpenTableFile(const std::string& path, std::unique_ptr<TableFile>* file);

// The same writing for callers that keep a bool: false, with the message in
// *error.
bool WriteBytesToFile(const std::string& path, const std::vector<uint8_t>& bytes,
                      std::string* error);

}  // namespace grulo

#endif  // GRULO_AUTHORING_FILE_IO_H_
