#include "io/line_reader.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace grulo {
namespace {

// The first line feed or NUL byte from `from` on, or `end`, which holds a
// NUL byte (the reader's buffer ends with one of its own).
const char* FindLineFeedOrNul(const char* from, const char* end) {
#if defined(__GLIBC__)
  (void)end;
  return strchrnul(from, '\n');
#else
  // Two searches within the line alone (not to the end of the buffer, which
  // would cost a whole buffer's length for every line): its line feed, then
  // a NUL byte before it.
  const void* lf = std::memchr(from, '\n', static_cast<size_t>(end - from));
  const char* stop = lf != nullptr ? static_cast<const char*>(lf) : end;
  const void* nul = std::memchr(from, '\0', static_cast<size_t>(stop - from));
  return nul != nullptr ? static_cast<const char*>(nul) : stop;
#endif
}

}  // namespace

Status FileSource::Open(const std::string& path, std::unique_ptr<FileSource>* source) {
  source->reset();
  std::unique_ptr<ReadableFile> file;
  Status status = ReadableFile::Open(path, &file);
  if (status.ok()) source->reset(new FileSource(std::move(file)));
  return status;
}

Status FileSource::OpenStandardInput(std::unique_ptr<FileSource>* source) {
  source->reset();
  std::unique_ptr<ReadableFile> file;
  Status status = ReadableFile::OpenStandardInput(&file);
  if (status.ok()) source->reset(new FileSource(std::move(file)));
  return status;
}

int64_t FileSource::Read(char* buffer, size_t n) {
  size_t got = 0;
  read_status_ = file_->Read(buffer, n, &got);
  if (!read_status_.ok()) return -1;
  bytes_read_.fetch_add(static_cast<int64_t>(got), std::memory_order_relaxed);
  return static_cast<int64_t>(got);
}

int64_t MemorySource::Read(char* buffer, size_t n) {
  const size_t count = n < bytes_.size() ? n : bytes_.size();
  if (count > 0) std::memcpy(buffer, bytes_.data(), count);
  bytes_.remove_prefix(count);
  return static_cast<int64_t>(count);
}

LineReader::LineReader(ByteSource* source, size_t block_size)
    : source_(source),
      capacity_(std::max<size_t>(block_size, 1)),
      buffer_(new char[std::max<size_t>(block_size, 1) + 1]) {}

bool LineReader::Start() {
  if (end_ == 0) Fill();
  return !failed_;
}

void LineReader::Fill() {
  if (at_eof_ || failed_ || end_ == capacity_) return;
  int64_t got = source_->Read(buffer_.get() + end_, capacity_ - end_);
  if (got < 0) {
    failed_ = true;
  } else if (got == 0) {
    at_eof_ = true;
  } else {
    end_ += static_cast<size_t>(got);
  }
}

LineReader::Status LineReader::Next(InputLine* line) {
  Status status;
  while ((status = NextInBuffer(line)) == kRefill) Refill();
  return status;
}

size_t LineReader::FindLineFeed() {
  char* data = buffer_.get();
  const size_t from = start_ + scanned_;
  if (nul_at_ == kNoNul) {
    // One pass finds the line feed, or first a NUL byte of the line.
    data[end_] = '\0';
    const size_t at = static_cast<size_t>(FindLineFeedOrNul(data + from, data + end_) - data);
    if (at == end_ || data[at] == '\n') return at;
    nul_at_ = at - start_;
    return FindLineFeedAfter(at + 1);
  }
  return FindLineFeedAfter(from);
}

size_t LineReader::FindLineFeedAfter(size_t from) {
  char* data = buffer_.get();
  const void* lf = std::memchr(data + from, '\n', end_ - from);
  return lf != nullptr ? static_cast<size_t>(static_cast<const char*>(lf) - data) : end_;
}

void LineReader::HandOut(size_t text_end, InputLine* line) {
  size_t size = text_end - start_;
  if (nul_at_ < size) size = nul_at_;  // the text ends at its first NUL byte
  line->text = std::string_view(buffer_.get() + start_, size);
  line->length = size;
  scanned_ = 0;
  nul_at_ = kNoNul;
}

LineReader::Status LineReader::NextInBuffer(InputLine* line) {
  if (failed_) return kError;
  char* data = buffer_.get();
  const size_t stop = FindLineFeed();
  if (stop < end_) {
    HandOut((stop > start_ && data[stop - 1] == '\r') ? stop - 1 : stop, line);
    start_ = stop + 1;
    return kLine;
  }
  scanned_ = end_ - start_;
  if (at_eof_) {
    if (start_ == end_) return kEnd;
    HandOut(end_, line);
    start_ = end_;
    return kLine;
  }
  // The buffer is one line without its end: nothing handed out lies in it.
  if (start_ == 0 && end_ == capacity_) return ReadLongLine(line);
  return kRefill;
}

void LineReader::Refill() {
  if (failed_) return;
  if (RefillMoves()) {
    char* data = buffer_.get();
    std::memmove(data, data + start_, end_ - start_);
    end_ -= start_;
    start_ = 0;
  }
  Fill();
}

std::unique_ptr<char[]> LineReader::TakeBuffer(std::unique_ptr<char[]> spare) {
  if (spare == nullptr) spare.reset(new char[capacity_ + 1]);
  std::memcpy(spare.get(), buffer_.get() + start_, end_ - start_);
  end_ -= start_;
  start_ = 0;
  std::swap(spare, buffer_);
  return spare;
}

void LineReader::Keep(const char* data, size_t n) {
  if (long_cut_) return;
  const void* nul = std::memchr(data, '\0', n);
  size_t text_size = nul == nullptr ? n : static_cast<size_t>(static_cast<const char*>(nul) - data);
  size_t room = kKeptLength - kept_size_;
  size_t copied = std::min(room, text_size);
  std::memcpy(kept_.data() + kept_size_, data, copied);
  kept_size_ += copied;
  long_length_ += text_size;
  long_cut_ = nul != nullptr;
}

// The buffer is full of one line without its line feed: keep what is needed
// and read on, block by block, to the end of the line.
LineReader::Status LineReader::ReadLongLine(InputLine* line) {
  kept_size_ = 0;
  long_length_ = 0;
  long_cut_ = false;
  // A carriage return at the end of a block is held back until the next
  // block tells whether a line feed follows it.
  bool held_cr = false;
  for (;;) {
    char* data = buffer_.get();
    size_t stop = end_;
    void* lf = std::memchr(data, '\n', end_);
    if (lf != nullptr) stop = static_cast<size_t>(static_cast<char*>(lf) - data);
    if (held_cr && stop > 0) Keep("\r", 1);
    if (stop > 0) {
      held_cr = data[stop - 1] == '\r';
      Keep(data, held_cr ? stop - 1 : stop);
    }
    if (lf != nullptr) {
      start_ = stop + 1;  // a held carriage return stood before the line feed
      break;
    }
    start_ = end_ = 0;
    Fill();
    if (failed_) return kError;
    if (at_eof_ && end_ == 0) {
      if (held_cr) Keep("\r", 1);
      break;
    }
  }
  scanned_ = 0;
  nul_at_ = kNoNul;
  line->text = std::string_view(kept_.data(), kept_size_);
  line->length = long_length_;
  return kLine;
}

}  // namespace grulo
