#include "gen_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace grulo {
namespace gen {
namespace {

Status Parse(std::vector<const char*> args, CommandLine* cl) {
  args.insert(args.begin(), "grulo-gen");
  return ParseCommandLine(static_cast<int>(args.size()), args.data(), cl);
}

TEST(GenOptionsTest, ReadsEveryOption) {
  CommandLine cl;
  ASSERT_TRUE(Parse({"--count", "12", "--seed", "18446744073709551615", "--week", "532020",
                     "--diag", "d.txt", "--acts", "a.txt", "--faulty-share", ".25",
                     "--malformed-share", "1", "--crlf", "--out", "o.txt"},
                    &cl)
                  .ok());
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
  EXPECT_FALSE(cl.help);
}

// Each refusal is a usage error whose message names the option and value.
TEST(GenOptionsTest, RefusalsNameTheOptionAndWhatIsWrong) {
  const struct {
    std::vector<const char*> args;
    const char* message;
  } cases[] = {
      {{"--colour"}, "--colour: unknown option"},
      {{"--count"}, "--count: needs a value"},
      {{"--count", "-1"}, "--count -1: takes a number of lines"},
      {{"--count", "1099511627777"}, "--count 1099511627777: takes a number of lines"},
      {{"--seed", "18446744073709551616"},
       "--seed 18446744073709551616: takes a number from 0 to 18446744073709551615"},
      {{"--week", "15202"}, "--week 15202: a week is six digits WWYYYY"},
      {{"--week", "151991"}, "--week 151991: the year of the week must lie between 1992 and 2089"},
      {{"--week", "532021"}, "--week 532021: week 53 does not exist in 2021"},
      {{"--week", "002020"}, "--week 002020: week 0 does not exist in 2020"},
      {{"--faulty-share", "1.5"}, "--faulty-share 1.5: takes a share from 0 to 1, such as 0.05"},
      {{"--malformed-share", "0.1234567891"},
       "--malformed-share 0.1234567891: takes a share from 0 to 1, such as 0.05"},
  };
  for (const auto& c : cases) {
    CommandLine cl;
    Status status = Parse(c.args, &cl);
    EXPECT_EQ(status.code(), Status::kInvalidArgument) << c.message;
    EXPECT_EQ(status.message(), c.message);
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
