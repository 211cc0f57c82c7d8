// The input line reader over a source that serves the bytes in small pieces,
// against a simple model: lines end at a line feed, which goes with a
// carriage return right before it; a last line without a line feed keeps
// all its characters; a line's text ends at its first NUL byte; a line
// longer than the reader's block keeps its first 512 characters and its
// length. A source may end with a read error instead of the end of input.
// The lines are read one by one, or as the parallel run reads them: out of
// the buffer, which is taken whenever the reader must move bytes to read on
// (and now and then before), every taken buffer kept, every line checked at
// the end.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "io/line_reader.h"
#include "fuzz/fuzz_support.h"

namespace {

// Serves the bytes `piece` at a time (fewer when the reader asks for
// fewer), then the end of input or, with `fail`, a read error.
class PieceSource final : public grulo::ByteSource {
 public:
  PieceSource(std::string_view bytes, size_t piece, bool fail)
      : bytes_(bytes), piece_(piece), fail_(fail) {}

  int64_t Read(char* buffer, size_t n) override {
    if (bytes_.empty()) return fail_ ? -1 : 0;
    const size_t count = std::min({n, piece_, bytes_.size()});
    std::copy_n(bytes_.data(), count, buffer);
    bytes_.remove_prefix(count);
    return static_cast<int64_t>(count);
  }

 private:
  std::string_view bytes_;
  size_t piece_;
  bool fail_;
};

struct ModelLine {
  std::string text;     // up to the first NUL byte
  size_t physical = 0;  // bytes of the line with its line end
  bool ended = false;   // a line feed ends it
};

std::vector<ModelLine> ModelLines(std::string_view bytes) {
  std::vector<ModelLine> lines;
  size_t pos = 0;
  while (pos < bytes.size()) {
    const size_t lf = bytes.find('\n', pos);
    ModelLine line;
    std::string_view content;
    if (lf == std::string_view::npos) {
      content = bytes.substr(pos);
      line.physical = content.size();
      pos = bytes.size();
    } else {
      content = bytes.substr(pos, lf - pos);
      if (!content.empty() && content.back() == '\r') content.remove_suffix(1);
      line.physical = lf + 1 - pos;
      line.ended = true;
      pos = lf + 1;
    }
    line.text = std::string(content.substr(0, content.find('\0')));
    lines.push_back(line);
  }
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace grulo;
  if (size < 2 || size > (size_t{1} << 16)) return 0;
  // Block sizes around the kept length and the smallest ones matter most.
  constexpr size_t kBlocks[] = {1, 2, 3, 5, 8, 13, 64, 511, 512, 513, 1024, 4096};
  const size_t block = kBlocks[(data[0] & 0x7F) % std::size(kBlocks)];
  const bool fail = (data[0] & 0x80) != 0;
  const size_t piece = 1 + data[1] % 32;
  const bool take_buffers = (data[1] & 0x80) != 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 2, size - 2);

  const std::vector<ModelLine> model = ModelLines(bytes);
  PieceSource source(bytes, piece, fail);
  LineReader reader(&source, block);
  const bool started = reader.Start();
  fuzz::Require(started || (fail && bytes.empty()), "the start fails only on a read error");

  std::vector<std::unique_ptr<char[]>> taken;
  std::deque<std::string> copies;  // texts that do not stay where the reader put them
  auto next = [&](InputLine* line) {
    if (!take_buffers) return reader.Next(line);
    LineReader::Status status;
    while ((status = reader.NextInBuffer(line)) == LineReader::kRefill) {
      if (reader.RefillMoves()) taken.push_back(reader.TakeBuffer(nullptr));
      reader.Refill();
    }
    return status;
  };
  std::vector<InputLine> lines;
  InputLine line;
  LineReader::Status status;
  while ((status = next(&line)) == LineReader::kLine) {
    fuzz::Require(lines.size() < model.size(), "no more lines than the model");
    if (!take_buffers || reader.IsKeptStart(line)) line.text = copies.emplace_back(line.text);
    lines.push_back(line);
    if (take_buffers && taken.size() < 64 && (lines.size() + data[1]) % 5 == 0) {
      taken.push_back(reader.TakeBuffer(nullptr));  // as a chunk that is full
    }
  }
  for (size_t n = 0; n < lines.size(); ++n) {
    const InputLine& got = lines[n];
    const ModelLine& want = model[n];
    fuzz::Require(got.length == want.text.size(), "line length");
    if (got.text.size() == got.length) {
      fuzz::Require(got.text == want.text, "line text");
    } else {
      fuzz::Require(got.length > LineReader::kKeptLength && got.text.size() ==
                        LineReader::kKeptLength && want.physical > block,
                    "only a line longer than the block is cut, to its first 512 characters");
      fuzz::Require(got.text == std::string_view(want.text).substr(0, LineReader::kKeptLength),
                    "the kept characters are the line's first ones");
    }
  }
  const size_t n = lines.size();
  if (fail) {
    fuzz::Require(status == LineReader::kError, "a read error is reported");
    // Every line that a line feed ends was read before the error; only a
    // last line without one may be lost.
    const size_t ended = static_cast<size_t>(
        std::count_if(model.begin(), model.end(), [](const ModelLine& l) { return l.ended; }));
    fuzz::Require(n >= ended, "every ended line comes before the error");
    fuzz::Require(reader.Next(&line) == LineReader::kError, "an error stays");
  } else {
    fuzz::Require(status == LineReader::kEnd, "the end of input");
    fuzz::Require(n == model.size(), "as many lines as the model");
    fuzz::Require(reader.Next(&line) == LineReader::kEnd, "the end stays");
  }
  return 0;
}
