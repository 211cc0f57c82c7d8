#include "io/line_reader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace grulo {
namespace {

// Hands out a text in reads of at most `chunk` bytes, then fails once
// `fail_after` bytes were given (when set).
class TextSource final : public ByteSource {
 public:
  TextSource(std::string text, size_t chunk, size_t fail_after = std::string::npos)
      : text_(std::move(text)), chunk_(chunk), fail_after_(fail_after) {}
  int64_t Read(char* buffer, size_t n) override {
    if (pos_ >= fail_after_) return -1;
    size_t count = std::min({n, chunk_, text_.size() - pos_});
    std::copy_n(text_.data() + pos_, count, buffer);
    pos_ += count;
    return static_cast<int64_t>(count);
  }

 private:
  std::string text_;
  size_t chunk_;
  size_t fail_after_;
  size_t pos_ = 0;
};

// The lines of a text by the reading rules, written out plainly.
std::vector<std::string> ExpectedLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t lf = text.find('\n', pos);
    std::string line = text.substr(pos, lf == std::string::npos ? std::string::npos : lf - pos);
    if (lf != std::string::npos && !line.empty() && line.back() == '\r') line.pop_back();
    line = line.substr(0, line.find('\0'));
    lines.push_back(line);
    if (lf == std::string::npos) break;
    pos = lf + 1;
  }
  return lines;
}

void ExpectReads(const std::string& text, size_t block, size_t chunk, const std::string& label) {
  TextSource source(text, chunk);
  LineReader reader(&source, block);
  ASSERT_TRUE(reader.Start());
  std::vector<std::string> expected = ExpectedLines(text);
  InputLine line;
  for (size_t i = 0; i < expected.size(); ++i) {
    ASSERT_EQ(reader.Next(&line), LineReader::kLine) << label << " line " << i;
    EXPECT_EQ(line.length, expected[i].size()) << label << " line " << i;
    // All characters, or the first kKeptLength of a long line.
    size_t shown = line.text.size();
    EXPECT_TRUE(shown == expected[i].size() || shown == LineReader::kKeptLength)
        << label << " line " << i;
    EXPECT_EQ(line.text, std::string_view(expected[i]).substr(0, shown)) << label << " line " << i;
  }
  EXPECT_EQ(reader.Next(&line), LineReader::kEnd) << label;
  EXPECT_EQ(reader.Next(&line), LineReader::kEnd) << label;
}

// Reads the text as the parallel run does: lines out of the buffer only,
// the buffer taken whenever the reader must move bytes to read on (and after
// every `take_every` lines), all taken buffers kept to the end, so that
// every line must still read right when all are checked at the end.
void ExpectBufferReads(const std::string& text, size_t block, size_t chunk, size_t take_every,
                       const std::string& label) {
  TextSource source(text, chunk);
  LineReader reader(&source, block);
  ASSERT_TRUE(reader.Start());
  std::vector<std::unique_ptr<char[]>> taken;
  std::vector<std::unique_ptr<char[]>> spares;
  std::vector<std::string> kept_starts;
  kept_starts.reserve(text.size() + 1);  // no reallocation: views stay valid
  std::vector<InputLine> lines;
  auto take = [&] {
    std::unique_ptr<char[]> spare;
    if (!spares.empty() && taken.size() % 3 == 0) {  // now and then a buffer used before
      spare = std::move(spares.back());
      spares.pop_back();
    }
    taken.push_back(reader.TakeBuffer(std::move(spare)));
  };
  for (;;) {
    InputLine line;
    LineReader::Status status = reader.NextInBuffer(&line);
    if (status == LineReader::kRefill) {
      // Taken when the refill moves bytes, and now and then when it need not.
      if (reader.RefillMoves() || lines.size() % 2 == 0) take();
      reader.Refill();
      continue;
    }
    if (status != LineReader::kLine) {
      ASSERT_EQ(status, LineReader::kEnd) << label;
      break;
    }
    if (reader.IsKeptStart(line)) line.text = kept_starts.emplace_back(line.text);
    lines.push_back(line);
    if (lines.size() % take_every == 0) {
      take();
      // A buffer whose lines were all written out comes back as a spare
      // (here one of another reader of the same block size).
      TextSource none("", 1);
      LineReader other(&none, block);
      spares.push_back(other.TakeBuffer(nullptr));
    }
  }
  std::vector<std::string> expected = ExpectedLines(text);
  ASSERT_EQ(lines.size(), expected.size()) << label;
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(lines[i].length, expected[i].size()) << label << " line " << i;
    size_t shown = lines[i].text.size();
    EXPECT_TRUE(shown == expected[i].size() || shown == LineReader::kKeptLength)
        << label << " line " << i;
    EXPECT_EQ(lines[i].text, std::string_view(expected[i]).substr(0, shown))
        << label << " line " << i;
  }
}

TEST(LineReaderTest, SplitsLinesByTheReadingRules) {
  const std::string cases[] = {
      "",
      "\n",
      "\n\n",
      "abc",
      "abc\n",
      "abc\r\n",
      "abc\r",               // no line feed: the carriage return stays
      "abc\r\r\n",           // only the one right before the line feed goes
      "a\rb\n",              // a carriage return inside the line stays
      std::string("ab\0cd\nef\n", 9),   // the text ends at a NUL byte
      std::string("\0\n", 2),
      std::string("ab\0\r\n", 5),
      "last line without feed\nx",
      std::string(499, 'x') + "\n" + "next\n",
      std::string(5000, 'y') + "\r\n" + std::string(3, 'z'),
      // A long line ended early by a NUL byte keeps its start and that length.
      "123456789M04" + std::string(588, 'x') + std::string("\0", 1) + std::string(99999, 'y') +
          "\r\nshort\n",
  };
  for (const std::string& text : cases) {
    for (size_t block : {1, 2, 3, 5, 64, 600, 65536}) {
      ExpectReads(text, block, 1 << 20, "block " + std::to_string(block));
      ExpectBufferReads(text, block, 1 << 20, 1, "taken, block " + std::to_string(block));
    }
  }
}

TEST(LineReaderTest, AgreesWithThePlainRulesOnRandomText) {
  std::mt19937 random(20240601);
  const char alphabet[] = {'a', 'b', '\r', '\n', '\0', 'M'};
  for (int round = 0; round < 300; ++round) {
    std::string text;
    size_t size = random() % 3000;
    for (size_t i = 0; i < size; ++i) {
      // Mostly ordinary characters, so that long lines occur.
      int pick = random() % 100;
      text.push_back(pick < 90 ? 'a' : alphabet[pick % sizeof alphabet]);
    }
    size_t block = 1 + random() % 700;
    size_t chunk = 1 + random() % 900;
    ExpectReads(text, block, chunk,
                "round " + std::to_string(round) + " block " + std::to_string(block));
    ExpectBufferReads(text, block, chunk, 1 + random() % 5,
                      "taken, round " + std::to_string(round) + " block " + std::to_string(block));
  }
}

TEST(LineReaderTest, ReadErrorEndsTheInputWithAnError) {
  TextSource source("line one\nline two\nline three\n", 4, 12);
  LineReader reader(&source, 8);
  ASSERT_TRUE(reader.Start());
  InputLine line;
  ASSERT_EQ(reader.Next(&line), LineReader::kLine);
  EXPECT_EQ(line.text, "line one");
  EXPECT_EQ(reader.Next(&line), LineReader::kError);
  EXPECT_EQ(reader.Next(&line), LineReader::kError);

  TextSource broken("", 1, 0);
  LineReader broken_reader(&broken);
  EXPECT_FALSE(broken_reader.Start());
  EXPECT_EQ(broken_reader.Next(&line), LineReader::kError);
}

}  // namespace
}  // namespace grulo
