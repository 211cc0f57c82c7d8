#include "io/output_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace grulo {
namespace {

// A file that keeps what it is given, and fails from its `fail_from`-th
// write on.
class MemoryFile final : public WritableFile {
 public:
  Status Append(std::string_view data) override {
    if (++writes_ >= fail_from) return Status::IoError("test file", "disk full");
    bytes += data;
    return Status();
  }
  Status Sync() override { return Status(); }
  Status Close() override { return Status(); }

  std::string bytes;
  int fail_from = 1 << 30;

 private:
  int writes_ = 0;
};

// One way to write a piece of text, with what it must add.
struct Piece {
  enum Kind { kWrite, kText, kEndLine, kRaw, kPrintf } kind;
  std::string text;
};

std::string Expected(const std::vector<Piece>& pieces) {
  std::string want;
  for (const Piece& p : pieces) {
    if (p.kind == Piece::kEndLine) {
      want += "\r\n";
    } else if (p.kind == Piece::kRaw) {
      want += p.text;
    } else {
      for (char c : p.text) want += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
  }
  return want;
}

void WriteAll(const std::vector<Piece>& pieces, OutputFile* out) {
  for (const Piece& p : pieces) {
    switch (p.kind) {
      case Piece::kWrite: out->Write(p.text); break;
      case Piece::kText: out->WriteText(p.text); break;
      case Piece::kEndLine: out->EndLine(); break;
      case Piece::kRaw: out->WriteRaw(p.text); break;
      case Piece::kPrintf: out->Printf("%s", p.text.c_str()); break;
    }
  }
}

// Every way of writing gives the same bytes into a file and into memory,
// with pieces of every size around the file buffer's 64 KiB and an
// in-memory output that grows many times and is emptied and filled again.
TEST(OutputFileTest, FileAndMemoryHoldTheSameBytes) {
  const std::string line(343, 'x');
  const std::vector<std::vector<Piece>> kRuns = {
      {},
      {{Piece::kWrite, ""}, {Piece::kText, ""}, {Piece::kRaw, ""}},
      {{Piece::kWrite, "a\nb\n\nc"}, {Piece::kEndLine, ""}, {Piece::kText, "\r\tz\xE9"}},
      {{Piece::kPrintf, "n\xB0 7\n"}, {Piece::kRaw, "raw\r\n\n"}},
      {{Piece::kText, std::string(65535, 'a')}, {Piece::kText, "bc"}, {Piece::kEndLine, ""}},
      {{Piece::kWrite, std::string(65536, '\n')}, {Piece::kRaw, std::string(70000, 'r')}},
      {{Piece::kText, "head"}, {Piece::kRaw, std::string(65536, 'R')}, {Piece::kText, "tail"}},
      {{Piece::kPrintf, std::string(1000, 'p') + "\n"}},
  };
  std::vector<Piece> many;  // the lines of a batch: 20,000 of them
  for (int i = 0; i < 20000; ++i) {
    many.push_back({Piece::kWrite, "prefix " + std::to_string(i)});
    many.push_back({Piece::kText, line});
    many.push_back({Piece::kEndLine, ""});
  }
  std::vector<std::vector<Piece>> runs = kRuns;
  runs.push_back(many);

  std::unique_ptr<OutputFile> memory = OutputFile::InMemory();
  for (size_t r = 0; r < runs.size(); ++r) {
    MemoryFile file;
    std::unique_ptr<OutputFile> out = OutputFile::Into(&file);
    WriteAll(runs[r], out.get());
    ASSERT_TRUE(out->Flush());
    const std::string want = Expected(runs[r]);
    EXPECT_EQ(file.bytes, want) << "run " << r;

    memory->ClearContents();
    WriteAll(runs[r], memory.get());
    EXPECT_TRUE(memory->Flush());
    EXPECT_EQ(memory->contents(), want) << "run " << r;
  }
}

// After a failed write nothing more is written, and the output says why.
TEST(OutputFileTest, WritesAfterAFailureAreDropped) {
  MemoryFile file;
  file.fail_from = 2;
  std::unique_ptr<OutputFile> out = OutputFile::Into(&file);
  out->WriteText(std::string(70000, 'a'));  // the first write: kept
  out->WriteText(std::string(70000, 'b'));  // fails
  out->WriteText("c");
  EXPECT_FALSE(out->Flush());
  EXPECT_FALSE(out->ok());
  EXPECT_EQ(file.bytes, std::string(70000, 'a'));
}

}  // namespace
}  // namespace grulo
