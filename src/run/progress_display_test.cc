#include "run/progress_display.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "run/run_console.h"

namespace grulo {
namespace {

constexpr int64_t kSecond = 1000000000;

TEST(ProgressDisplayTest, FirstAfterASecondThenAFewTimesASecond) {
  const int64_t start = 5 * kSecond;
  ProgressDisplay display(start, 1000);
  EXPECT_EQ(display.Update(start + kSecond / 2, 10, 100), "");
  EXPECT_EQ(display.Update(start + kSecond - 1, 10, 100), "");
  EXPECT_EQ(display.Update(start + kSecond, 2000, 250), "25% read, 2000 summaries/s, about 3.0 s left");
  EXPECT_EQ(display.Update(start + kSecond + kSecond / 10, 2100, 300), "");
  EXPECT_EQ(display.Update(start + 2 * kSecond, 3000, 1000), "100% read, 1500 summaries/s, about 0.0 s left");
}

TEST(ProgressDisplayTest, Texts) {
  EXPECT_EQ(ProgressText(2, 4000, 0, -1), "4000 lines read, 2000 summaries/s");
  EXPECT_EQ(ProgressText(2, 0, 0, 100), "0% read, 0 summaries/s, time left unknown");
  EXPECT_EQ(ProgressText(1, 10, 200, 100), "100% read, 10 summaries/s, about 0.0 s left");
  EXPECT_EQ(ProgressText(10, 990, 999, 1000), "99% read, 99 summaries/s, about 0.0 s left");
  struct Case {
    double seconds;
    const char* text;
  } durations[] = {{0.04, "0.0 s"}, {2.06, "2.1 s"}, {9.94, "9.9 s"}, {12.4, "12 s"},
                   {59.4, "59 s"},  {125, "2 min 05 s"}, {3599, "59 min 59 s"},
                   {3725, "1 h 02 min"}};
  for (const auto& d : durations) EXPECT_EQ(DurationText(d.seconds), d.text) << d.seconds;
  EXPECT_EQ(RunSummaryText({.NbLus = 1000, .NbErrBloq = 40, .NbErrNonBloq = 14, .NbErrForm = 10,
                            .NbGrp = 950, .NbErrTab = 1, .NbErrArbre = 3,
                            .NbErrArbreNonBloq = 2}),
            "946 grouped (12 non-blocking), 40 blocked, 10 format errors, 4 table problems");
  EXPECT_EQ(RunSummaryText({.NbLus = 3, .NbErrForm = 1, .NbGrp = 2, .NbErrTab = 1}),
            "1 grouped (0 non-blocking), 0 blocked, 1 format error, 1 table problem");
  EXPECT_EQ(RunWrittenText(1000, "/out/week 12.grp", "week 12.err", 2.1),
            "1000 lines in 2.1 s; wrote '/out/week 12.grp' and 'week 12.err'");
}

std::string Shown(std::FILE* stream) {
  std::rewind(stream);
  std::string text;
  int c;
  while ((c = std::fgetc(stream)) != EOF) text += static_cast<char>(c);
  return text;
}

// On a terminal the progress line is drawn over itself and wiped before a
// message; elsewhere only messages are written.
TEST(RunConsoleTest, ProgressOnlyOnATerminal) {
  for (bool terminal : {true, false}) {
    std::FILE* stream = std::tmpfile();
    {
      RunConsole console(stream, terminal);
      console.ShowProgress("50% read");
      console.ShowProgress("9% read");
      console.Warning("w");
      console.Error("e");
      console.Summary("done");
    }
    EXPECT_EQ(Shown(stream), terminal ? "\rgrulo: 50% read\rgrulo: 9% read \r               \r"
                                        "grulo: warning: w\ngrulo: e\ngrulo: done\n"
                                      : "grulo: warning: w\ngrulo: e\n");
    std::fclose(stream);
  }
}

}  // namespace
}  // namespace grulo
