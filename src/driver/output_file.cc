#include "driver/output_file.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace grulo {
namespace {

constexpr size_t kBufferSize = 1 << 16;

}  // namespace

std::unique_ptr<OutputFile> OutputFile::Create(const std::string& path) {
  if (path.find('\0') != std::string::npos) return nullptr;
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  std::unique_ptr<OutputFile> file(new OutputFile());
  file->fd_ = fd;
  file->buffer_.reserve(kBufferSize + 1024);
  return file;
}

std::unique_ptr<OutputFile> OutputFile::InMemory() {
  std::unique_ptr<OutputFile> file(new OutputFile());
  file->in_memory_ = true;
  return file;
}

OutputFile::~OutputFile() { Close(); }

void OutputFile::Append(const char* data, size_t n) {
  buffer_.append(data, n);
  if (buffer_.size() >= kBufferSize) Flush();
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
  if (in_memory_) {
    memory_ += buffer_;
    buffer_.clear();
    return ok_;
  }
  size_t done = 0;
  while (fd_ >= 0 && ok_ && done < buffer_.size()) {
    ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok_ = false;
      break;
    }
    done += static_cast<size_t>(n);
  }
  buffer_.clear();
  return ok_;
}

bool OutputFile::Close() {
  Flush();
  if (fd_ >= 0) {
    if (::close(fd_) != 0) ok_ = false;
    fd_ = -1;
  }
  return ok_;
}

}  // namespace grulo
