// Reading the input file line by line, in large blocks.
//
// A physical line ends at a line feed, which is removed together with a
// carriage return standing right before it; a last line without a line feed
// keeps all its characters. The text of a line ends at its first NUL byte.
// Every physical line is one line, whatever its length: of a line longer
// than the block, only its first kKeptLength characters and its length are
// kept, so memory stays bounded.

#ifndef GRULO_IO_LINE_READER_H_
#define GRULO_IO_LINE_READER_H_

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "base/status.h"
#include "platform/files.h"

namespace grulo {

// Where the bytes come from.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads up to `n` bytes into `buffer`: the count read, 0 at the end of the
  // input, -1 on a read error.
  virtual int64_t Read(char* buffer, size_t n) = 0;
};

// A file opened for reading, which counts the bytes read and keeps the
// reason of a failed read.
class FileSource final : public ByteSource {
 public:
  // Opens the file (not a directory); `*source` is null on failure.
  static Status Open(const std::string& path, std::unique_ptr<FileSource>* source);
  // The same on the process's standard input.
  static Status OpenStandardInput(std::unique_ptr<FileSource>* source);
  int64_t Read(char* buffer, size_t n) override;

  // The kind, size and id of the open file, now.
  Status Info(FileInfo* info) const { return file_->Info(info); }
  // The bytes handed out so far; may be asked from another thread.
  int64_t bytes_read() const { return bytes_read_.load(std::memory_order_relaxed); }
  // Why the last read failed; ok when none did.
  const Status& read_status() const { return read_status_; }

 private:
  explicit FileSource(std::unique_ptr<ReadableFile> file) : file_(std::move(file)) {}
  std::unique_ptr<ReadableFile> file_;
  std::atomic<int64_t> bytes_read_{0};
  Status read_status_;
};

// Bytes held in memory, handed out as they are (not copied); they must
// outlive the source.
class MemorySource final : public ByteSource {
 public:
  explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
  int64_t Read(char* buffer, size_t n) override;

 private:
  std::string_view bytes_;  // what is left to hand out
};

struct InputLine {
  // The line's characters: all `length` of them, or the first kKeptLength
  // when the line was longer than the reader's block.
  std::string_view text;
  // The length of the line's text (up to its first NUL byte).
  uint64_t length = 0;
};

class LineReader {
 public:
  static constexpr size_t kDefaultBlockSize = size_t{1} << 16;
  static constexpr size_t kKeptLength = 512;

  // kRefill comes from NextInBuffer only.
  enum Status { kLine, kEnd, kError, kRefill };

  // Reads from `source`, which must outlive the reader. `block_size` (at
  // least 1) is the size of one read; small sizes are for tests.
  explicit LineReader(ByteSource* source, size_t block_size = kDefaultBlockSize);

  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // Reads the first block ahead, so that an input that cannot be read at all
  // is known before anything else is done; false on a read error.
  bool Start();

  // The next line (valid until the next call), the end of the input, or a
  // read error; after an error every call returns kError.
  Status Next(InputLine* line);

  // Next without reading more: kRefill when the buffer holds no further
  // complete line, and Refill then reads on. The lines handed out stay where
  // they are until a Refill that moves bytes or TakeBuffer, so a caller can
  // collect many before it takes them with the buffer.
  Status NextInBuffer(InputLine* line);
  // Reads more behind the bytes read. When the buffer is full (RefillMoves),
  // the bytes not yet handed out first move to its front, over the lines
  // handed out: a caller that keeps them takes the buffer before.
  void Refill();
  bool RefillMoves() const { return end_ == capacity_; }
  // Hands over the buffer, with the lines handed out from it, and goes on in
  // `spare` (a buffer an earlier call of a reader of the same block size
  // returned, or null for a new one), into which the bytes not yet handed
  // out move. A line longer than the buffer is not in it (see InputLine):
  // its kept text is valid until the next call only.
  std::unique_ptr<char[]> TakeBuffer(std::unique_ptr<char[]> spare);
  // True when the line is the kept start of a line longer than the buffer,
  // which lies in no buffer.
  bool IsKeptStart(const InputLine& line) const { return line.text.data() == kept_.data(); }

 private:
  void Fill();
  // The position of the next line feed in the buffer, or end_; notes the
  // line's first NUL byte on the way.
  size_t FindLineFeed();
  size_t FindLineFeedAfter(size_t from);
  // Hands out the line from start_ to `text_end`, cut at its first NUL byte.
  void HandOut(size_t text_end, InputLine* line);
  Status ReadLongLine(InputLine* line);
  void Keep(const char* data, size_t n);

  ByteSource* source_;
  size_t capacity_;
  std::unique_ptr<char[]> buffer_;
  size_t start_ = 0;    // first byte not yet handed out
  size_t end_ = 0;      // end of the bytes read
  size_t scanned_ = 0;  // bytes after start_ known to hold no line feed
  static constexpr size_t kNoNul = ~size_t{0};
  size_t nul_at_ = kNoNul;  // the first NUL byte of those, from start_
  // The buffer holds capacity_ + 1 bytes: a NUL byte is put after the bytes
  // read, where one search for a line feed or a NUL byte stops.
  bool at_eof_ = false;
  bool failed_ = false;

  // A line longer than the buffer: its first characters and its length.
  std::array<char, kKeptLength> kept_{};
  size_t kept_size_ = 0;
  uint64_t long_length_ = 0;
  bool long_cut_ = false;  // a NUL byte has ended the text
};

}  // namespace grulo

#endif  // GRULO_IO_LINE_READER_H_
