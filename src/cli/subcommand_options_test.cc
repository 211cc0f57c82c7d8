#include "cli/subcommand_options.h"

#include <gtest/gtest.h>

namespace grulo {
namespace {

constexpr OptionDefinition kSpecs[] = {
    {"input", 'i', true}, {"line", 'n', true}, {"json", 0, false}, {"help", 'h', false}};

TEST(SubcommandOptionsTest, ReadsTheUsualForms) {
  ParsedOptions p = ParseSubcommandOptions(
      {"--input", "week.rss", "-n12", "--json", "-", "--", "--line"}, kSpecs);
  EXPECT_EQ(p.error, "");
  EXPECT_EQ(p.Value("input"), "week.rss");
  EXPECT_EQ(p.Value("line"), "12");
  EXPECT_TRUE(p.Has("json"));
  EXPECT_FALSE(p.Has("help"));
  EXPECT_EQ(p.operands, (std::vector<std::string>{"-", "--line"}));

  p = ParseSubcommandOptions({"--line=7", "-i", "a b"}, kSpecs);
  EXPECT_EQ(p.Value("line"), "7");
  EXPECT_EQ(p.Value("input"), "a b");
  EXPECT_EQ(p.Value("missing", "x"), "x");
}

TEST(SubcommandOptionsTest, UsageErrorsNameTheOption) {
  const struct {
    std::vector<std::string> args;
    const char* error;
  } rows[] = {
      {{"--foo"}, "unknown option '--foo'"},
      {{"-x"}, "unknown option '-x'"},
      {{"--line"}, "option '--line' needs a value"},
      {{"--json=yes"}, "option '--json' takes no value"},
      {{"-n", "1", "--line", "2"}, "option '--line' given twice"},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(ParseSubcommandOptions(r.args, kSpecs).error, r.error) << r.args[0];
  }
}

}  // namespace
}  // namespace grulo
