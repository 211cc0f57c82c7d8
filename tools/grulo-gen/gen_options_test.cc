#include "gen_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace grulo {
namespace gen {
namespace {

ParsedOptions Parse(const std::vector<std::string>& args) { return ParseOptions(kGenCommand, args); }

TEST(GenOptionsTest, ReadsEveryOption) {
  const ParsedOptions parsed =
      Parse({"--count", "12", "--seed", "18446744073709551615", "--week", "532020", "--diag",
             "d.txt", "--acts", "a.txt", "--faulty-share", ".25", "--malformed-share=1", "--crlf",
             "--out", "o.txt"});
  ASSERT_EQ(parsed.error, "");
  const CommandLine cl = GenCommandLine(parsed);
  EXPECT_EQ(cl.count, 12u);
  EXPECT_EQ(cl.options.seed, ~uint64_t{0});
  EXPECT_EQ(cl.options.week, 53);
  EXPECT_EQ(cl.options.year, 2020);
  EXPECT_EQ(cl.diag_path, "d.txt");
  EXPECT_EQ(cl.acts_path, "a.txt");
  EXPECT_EQ(cl.options.faulty_ppb, kBillion / 4);
  EXPECT_EQ(cl.options.malformed_ppb, kBillion);
  EXPECT_TRUE(cl.options.crlf);
  EXPECT_EQ(cl.out_path, "o.txt");
  EXPECT_EQ(GenCommandLine(Parse({})).count, 1000u);
}

// Each refusal is a usage error that names the option, what it needs and
// the value.
TEST(GenOptionsTest, RefusalsNameTheOptionAndWhatIsWrong) {
  const struct {
    std::vector<std::string> args;
    const char* message;
  } cases[] = {
      {{"--colour"}, "unknown option '--colour'"},
      {{"--count"}, "option '--count' needs a value"},
      {{"--count", "-1"}, "option '--count' needs a number of lines up to 2^40, not '-1'"},
      {{"--count", "1099511627777"},
       "option '--count' needs a number of lines up to 2^40, not '1099511627777'"},
      {{"--seed", "18446744073709551616"},
       "option '--seed' needs a number from 0 to 2^64-1, not '18446744073709551616'"},
      {{"--week", "15202"},
       "option '--week' needs a week WWYYYY that exists, in a year from 1992 to 2089, not "
       "'15202'"},
      {{"--week", "532021"},
       "option '--week' needs a week WWYYYY that exists, in a year from 1992 to 2089, not "
       "'532021'"},
      {{"--faulty-share", "1.5"},
       "option '--faulty-share' needs a share from 0 to 1, such as 0.05, not '1.5'"},
  };
  for (const auto& c : cases) EXPECT_EQ(Parse(c.args).error, c.message);
}

// Each week that is refused says why.
TEST(GenOptionsTest, WeeksAreReadExactly) {
  const struct {
    const char* text;
    const char* message;
  } cases[] = {
      {"152024", ""},
      {"15202", "w: a week is six digits WWYYYY"},
      {"151991", "w: the year of the week must lie between 1992 and 2089"},
      {"532021", "w: week 53 does not exist in 2021"},
      {"002020", "w: week 0 does not exist in 2020"},
  };
  for (const auto& c : cases) {
    int week = 0, year = 0;
    EXPECT_EQ(ParseWeek(c.text, "w", &week, &year).message(), c.message) << c.text;
  }
}

TEST(GenOptionsTest, SharesAreReadExactly) {
  const struct {
    const char* text;
    bool ok;
    uint32_t ppb;
  } cases[] = {{"0", true, 0},           {"1", true, kBillion},      {"1.0", true, kBillion},
               {".5", true, kBillion / 2}, {"0.000000001", true, 1}, {"1.000000001", false, 0},
               {"2", false, 0},          {".", false, 0},            {"", false, 0},
               {"0.5x", false, 0},       {"-0", false, 0}};
  for (const auto& c : cases) {
    uint32_t ppb = 7;
    Status status = ParseShare(c.text, "share", &ppb);
    EXPECT_EQ(status.ok(), c.ok) << c.text;
    EXPECT_EQ(ppb, c.ok ? c.ppb : 7u) << c.text;
  }
}

}  // namespace
}  // namespace gen
}  // namespace grulo
