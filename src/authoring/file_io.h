// Whole-file reads and writes of the table toolkit: text sources in, table
// files and dumps out.

#ifndef GRULO_AUTHORING_FILE_IO_H_
#define GRULO_AUTHORING_FILE_IO_H_

#include <cstdint>
#include <string>
#include <vector>

namespace grulo {

// Writes bytes to a file, replacing what it held; false with a message in
// *error when it cannot.
bool WriteBytesToFile(const std::string& path, const std::vector<uint8_t>& bytes,
                      std::string* error);

// Reads a whole file as bytes; false when it cannot be read.
bool ReadFileToString(const std::string& path, std::string* text);

}  // namespace grulo

#endif  // GRULO_AUTHORING_FILE_IO_H_
