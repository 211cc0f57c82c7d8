// A buffered text output in the manner of a text-mode file: every line feed
// written becomes a carriage return and a line feed. It writes into a file
// opened elsewhere, or keeps the text in memory.

#ifndef GRULO_IO_OUTPUT_FILE_H_
#define GRULO_IO_OUTPUT_FILE_H_

#include <cassert>
#include <cstddef>
#include <cstring>
#include <functional>
#include <memory>
#include <string_view>

#include "base/status.h"
#include "platform/files.h"

namespace grulo {

class OutputFile {
 public:
  // An output into `file`, which must outlive it.
  static std::unique_ptr<OutputFile> Into(WritableFile* file);
  // An output kept in memory: see contents().
  static std::unique_ptr<OutputFile> InMemory();
  // An output handed to `write` in blocks of up to 64 KiB (and whatever is
  // left at Flush); a status that is not ok makes the output fail.
  static std::unique_ptr<OutputFile> ToFunction(std::function<Status(std::string_view)> write);

  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile() = default;  // what is still buffered is dropped: see Flush

  // Writes the text, each '\n' as "\r\n".
  void Write(std::string_view text);
  // Writes text known to hold no line feed (a line of the input, a fixed
  // text) as it is, without searching it for one.
  void WriteText(std::string_view text) {
    assert(text.find('\n') == std::string_view::npos);
    Append(text.data(), text.size());
  }
  // Ends the line: "\r\n", as Write("\n") would.
  void EndLine() { Append("\r\n", 2); }
  // Writes bytes as they are, line ends included: text that another output
  // has already written (see contents()).
  void WriteRaw(std::string_view bytes);
  // printf-style formatting of one piece of text, then Write.
  void Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));

  // Writes out the buffer; false once any write has failed.
  bool Flush();
  // False once a write has failed; status() tells why. Writes after a
  // failure are dropped.
  bool ok() const { return status_.ok(); }
  const Status& status() const { return status_; }

  // What an in-memory output holds (with its CR LF pairs).
  std::string_view contents() const { return std::string_view(buffer_.get(), size_); }
  // Empties an in-memory output, keeping its storage for the next text.
  void ClearContents() { size_ = 0; }

 private:
  OutputFile() = default;
  // Appends the bytes: a copy into the room left when they fit (every line
  // of the batch, as a rule), else AppendSlow.
  void Append(const char* data, size_t n) {
    if (n == 0) return;  // nothing to copy, and perhaps no bytes to copy from
    if (n <= capacity_ - size_) {
      std::memcpy(buffer_.get() + size_, data, n);
      size_ += n;
      return;
    }
    AppendSlow(data, n);
  }
  // A file's output writes out its buffer first; an in-memory output grows.
  void AppendSlow(const char* data, size_t n);

  std::unique_ptr<WritableFile> owned_file_;  // the adapter of ToFunction
  WritableFile* file_ = nullptr;  // null for an in-memory output
  Status status_;
  // A file's buffer, or all the text of an in-memory output.
  std::unique_ptr<char[]> buffer_;
  size_t size_ = 0;
  size_t capacity_ = 0;
};

}  // namespace grulo

#endif  // GRULO_IO_OUTPUT_FILE_H_
