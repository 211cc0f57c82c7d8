// A buffered text output file in the manner of a text-mode file: every line
// feed written becomes a carriage return and a line feed.

#ifndef GRULO_DRIVER_OUTPUT_FILE_H_
#define GRULO_DRIVER_OUTPUT_FILE_H_

#include <memory>
#include <string>
#include <string_view>

namespace grulo {

class OutputFile {
 public:
  // Creates or truncates the file; nullptr when it cannot be created.
  static std::unique_ptr<OutputFile> Create(const std::string& path);
  // An output kept in memory, for tests: see contents().
  static std::unique_ptr<OutputFile> InMemory();

  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile();  // closes the file, flushing what is left

  // Writes the text, each '\n' as "\r\n".
  void Write(std::string_view text);
  // printf-style formatting of one piece of text, then Write.
  void Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));

  // Writes out the buffer; false once any write has failed.
  bool Flush();
  // Flushes and closes; false when any write or the closing failed.
  bool Close();
  // False once a write has failed.
  bool ok() const { return ok_; }

  // What an in-memory output holds (with its CR LF pairs).
  const std::string& contents() const { return memory_; }

 private:
  OutputFile() = default;
  void Append(const char* data, size_t n);

  int fd_ = -1;  // -1 for an in-memory output or after closing
  bool in_memory_ = false;
  bool ok_ = true;
  std::string buffer_;
  std::string memory_;
};

}  // namespace grulo

#endif  // GRULO_DRIVER_OUTPUT_FILE_H_
