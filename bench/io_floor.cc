// The I/O floor of the batch: reads an input file line by line in 64 KiB
// blocks and writes, for every line, a line shaped like a .grp line (a fixed
// prefix, the line, CR LF) into an output file through a 64 KiB buffer, as
// the batch reads and writes. No checks, no grouping: what no grouping
// program can go below on the same machine.
//   io_floor INPUT OUTPUT

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr size_t kBlock = size_t{1} << 16;

bool WriteAll(int fd, const char* data, size_t n) {
  while (n > 0) {
    ssize_t w = ::write(fd, data, n);
    if (w <= 0) return false;
    data += w;
    n -= static_cast<size_t>(w);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: io_floor INPUT OUTPUT\n");
    return 2;
  }
  int in = ::open(argv[1], O_RDONLY);
  int out = ::open(argv[2], O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (in < 0 || out < 0) {
    std::perror("io_floor");
    return 1;
  }
  std::vector<char> block(kBlock);
  std::string line;  // a line that crosses blocks
  std::string output;
  output.reserve(kBlock + 1024);
  long long lines = 0;
  auto emit = [&](const char* text, size_t n) {
    output.append("D10102000M14", 12);
    output.append(text, n);
    output.append("\r\n", 2);
    ++lines;
    if (output.size() >= kBlock) {
      if (!WriteAll(out, output.data(), output.size())) std::exit(1);
      output.clear();
    }
  };
  ssize_t got;
  while ((got = ::read(in, block.data(), block.size())) > 0) {
    const char* p = block.data();
    const char* end = p + got;
    while (p < end) {
      const char* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
      if (lf == nullptr) {
        line.append(p, static_cast<size_t>(end - p));
        break;
      }
      if (line.empty()) {
        emit(p, static_cast<size_t>(lf - p));
      } else {
        line.append(p, static_cast<size_t>(lf - p));
        emit(line.data(), line.size());
        line.clear();
      }
      p = lf + 1;
    }
  }
  if (!line.empty()) emit(line.data(), line.size());
  if (!WriteAll(out, output.data(), output.size()) || ::close(out) != 0) return 1;
  ::close(in);
  std::fprintf(stderr, "%lld lines\n", lines);
  return 0;
}
