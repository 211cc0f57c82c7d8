#include "io/output_file.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <utility>
#include <vector>

namespace grulo {
namespace {

constexpr size_t kBufferSize = 1 << 16;

}  // namespace

std::unique_ptr<OutputFile> OutputFile::Into(WritableFile* file) {
  std::unique_ptr<OutputFile> output(new OutputFile());
  output->file_ = file;
  output->buffer_.reset(new char[kBufferSize]);
  output->capacity_ = kBufferSize;
  return output;
}

std::unique_ptr<OutputFile> OutputFile::InMemory() {
  return std::unique_ptr<OutputFile>(new OutputFile());
}

namespace {

// A function in the place of a file.
class FunctionFile final : public WritableFile {
 public:
  explicit FunctionFile(std::function<Status(std::string_view)> write) : write_(std::move(write)) {}
  Status Append(std::string_view data) override { return write_(data); }
  Status Sync() override { return Status(); }
  Status Close() override { return Status(); }

 private:
  std::function<Status(std::string_view)> write_;
};

}  // namespace

std::unique_ptr<OutputFile> OutputFile::ToFunction(std::function<Status(std::string_view)> write) {
  auto file = std::make_unique<FunctionFile>(std::move(write));
  std::unique_ptr<OutputFile> output = Into(file.get());
  output->owned_file_ = std::move(file);
  return output;
}

void OutputFile::AppendSlow(const char* data, size_t n) {
  if (file_ != nullptr) {
    Flush();
    if (n >= capacity_) {  // more than the buffer holds: out as it is
      if (status_.ok()) status_ = file_->Append(std::string_view(data, n));
      return;
    }
  } else {
    size_t capacity = std::max({capacity_ * 2, size_ + n, size_t{4096}});
    std::unique_ptr<char[]> grown(new char[capacity]);
    if (size_ > 0) std::memcpy(grown.get(), buffer_.get(), size_);
    buffer_ = std::move(grown);
    capacity_ = capacity;
  }
  std::memcpy(buffer_.get() + size_, data, n);
  size_ += n;
}

void OutputFile::Write(std::string_view text) {
  size_t start = 0;
  while (start < text.size()) {
    size_t lf = text.find('\n', start);
    if (lf == std::string_view::npos) {
      Append(text.data() + start, text.size() - start);
      return;
    }
    Append(text.data() + start, lf - start);
    Append("\r\n", 2);
    start = lf + 1;
  }
}

void OutputFile::WriteRaw(std::string_view bytes) {
  if (file_ == nullptr || bytes.size() < kBufferSize) {
    Append(bytes.data(), bytes.size());
    return;
  }
  // A large block goes out as it is, after what is buffered.
  Flush();
  if (status_.ok()) status_ = file_->Append(bytes);
}

void OutputFile::Printf(const char* format, ...) {
  char small[512];
  va_list args;
  va_start(args, format);
  int n = std::vsnprintf(small, sizeof small, format, args);
  va_end(args);
  if (n < 0) return;
  if (static_cast<size_t>(n) < sizeof small) {
    Write(std::string_view(small, static_cast<size_t>(n)));
    return;
  }
  std::vector<char> large(static_cast<size_t>(n) + 1);
  va_start(args, format);
  std::vsnprintf(large.data(), large.size(), format, args);
  va_end(args);
  Write(std::string_view(large.data(), static_cast<size_t>(n)));
}

bool OutputFile::Flush() {
  if (file_ != nullptr && status_.ok() && size_ > 0) {
    status_ = file_->Append(std::string_view(buffer_.get(), size_));
  }
  if (file_ != nullptr) size_ = 0;  // an in-memory output keeps its text
  return status_.ok();
}

}  // namespace grulo
