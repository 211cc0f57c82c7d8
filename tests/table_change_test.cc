// Table files that change while a run reads its input: rewritten with other
// bytes, truncated, replaced by another file, removed. The run keeps the
// tables it opened (they are read whole when opened), so it completes with
// the results those tables give, exactly as a run on unchanged tables does:
// never a signal, never results from a mix of old and new bytes.

#include <gtest/gtest.h>
#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "process_testutil.h"

namespace grulo::test {
namespace {

#ifdef _WIN32
TEST(TableChangeTest, RunKeepsTheTablesItOpened) {
  GTEST_SKIP() << "the run is held midway through a FIFO input, which Windows does not have";
}
#else
constexpr char kToday[] = "07122026";

// The writing end of a FIFO once a reader has opened it; -1 after five
// seconds without one.
int OpenFifoWriter(const std::string& path) {
  for (int i = 0; i < 500; ++i) {
    int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
    if (fd >= 0) {
      ::fcntl(fd, F_SETFL, 0);
      return fd;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return -1;
}

bool WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

struct Outputs {
  int status = -1;
  std::string grp, err, counters, stderr_text;
};

class TableChangeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(BuildDemoTables(box_.TableDir()), 0);
    input_ = ReadFileBytes(SourcePath("data/demo/input.txt"));
  }

  // Runs grulo with the input fed through a FIFO: the first part, then
  // `change` applied to the table directory while the run waits for more,
  // then the rest.
  Outputs RunWithChange(const std::string& threads, void (*change)(const std::string& dir)) {
    const std::string fifo = box_.dir().File("data/week.rss");
    std::filesystem::remove(fifo);
    EXPECT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    WriteFileBytes(box_.dir().File("bin/grulo.ini"), box_.StandardConfig());
    ProcessOptions options;
    options.args = {"--threads", threads};
    options.env = {{"GRULO_TODAY", kToday}, {"GRULO_CHUNK_LINES", "16"}};
    options.cwd = box_.dir().path();
    Outputs out;
    {
      ChildProcess run(box_.program(), box_.program(), options);
      int fd = OpenFifoWriter(fifo);
      EXPECT_GE(fd, 0);
      const size_t half = input_.find('\n', input_.size() / 2) + 1;
      EXPECT_TRUE(WriteAll(fd, input_.substr(0, half)));
      // The run has opened its tables with the first summary by now.
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      change(box_.TableDir());
      EXPECT_TRUE(WriteAll(fd, input_.substr(half)));
      ::close(fd);
      ProcessResult r = run.Wait();
      out.status = r.exit_status;
      out.stderr_text = r.err;
    }
    out.grp = box_.Grp();
    out.err = box_.Err();
    out.counters = box_.Counters();
    std::filesystem::remove(fifo);
    return out;
  }

  GruloSandbox box_;
  std::string input_;
};

void NoChange(const std::string&) {}

// Each table file overwritten in its middle with other bytes, its size kept.
void OverwriteMiddles(const std::string& dir) {
  for (const char* name : {"arbressr.tab", "ccamcssr.tab", "diag10sr.tab"}) {
    std::string bytes = ReadFileBytes(dir + name);
    for (size_t i = bytes.size() / 4; i < bytes.size(); i += 3) bytes[i] = '\x5A';
    WriteFileBytes(dir + name, bytes);  // in place: truncated, then written
  }
}

void Truncate(const std::string& dir) {
  for (const char* name : {"arbressr.tab", "ccamcssr.tab", "diag10sr.tab"}) {
    ::truncate((dir + name).c_str(), 10);
  }
}

// Other tables renamed over the old ones, as grulo-tables build does.
void Replace(const std::string& dir) {
  for (const char* name : {"arbressr.tab", "ccamcssr.tab", "diag10sr.tab"}) {
    const std::string other = dir + name + ".new";
    WriteFileBytes(other, std::string(4000, '\x01'));
    std::filesystem::rename(other, dir + name);
  }
}

void Remove(const std::string& dir) { std::filesystem::remove_all(dir); }

TEST_F(TableChangeTest, RunKeepsTheTablesItOpened) {
  const Outputs unchanged = RunWithChange("1", NoChange);
  ASSERT_EQ(unchanged.status, 0) << unchanged.stderr_text;
  const struct {
    const char* name;
    void (*change)(const std::string&);
  } changes[] = {
      {"overwritten", OverwriteMiddles},
      {"truncated", Truncate},
      {"replaced", Replace},
      {"removed", Remove},
  };
  for (const auto& c : changes) {
    for (const char* threads : {"1", "2"}) {
      SCOPED_TRACE(std::string(c.name) + ", threads " + threads);
      SetUp();  // the tables as they were
      const Outputs changed = RunWithChange(threads, c.change);
      EXPECT_EQ(changed.status, 0) << changed.stderr_text;
      EXPECT_EQ(changed.grp, unchanged.grp);
      EXPECT_EQ(changed.err, unchanged.err);
      EXPECT_EQ(changed.counters, unchanged.counters);
    }
  }
}

#endif

}  // namespace
}  // namespace grulo::test
