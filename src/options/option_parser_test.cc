#include "options/option_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace grulo {
namespace {

std::string_view NeedsDigits(std::string_view value) {
  return value.find_first_not_of("0123456789") == std::string_view::npos ? "" : "digits";
}

constexpr OptionDefinition kOptions[] = {
    {"input", 'i', "FILE", "the input"},
    {"line", 'n', "N", "line N", NeedsDigits},
    {"json", 0, "", "JSON"},
    {"out", 0, "DIR", "where", nullptr, true},
};
constexpr CommandDefinition kCommand = {
    .name = "tool run", .operands = "[SUMMARY]", .max_operands = 1, .options = kOptions};

TEST(OptionParserTest, SameRulesForEveryOption) {
  const struct {
    std::vector<std::string> args;
    std::vector<std::pair<std::string, std::string>> values;
    std::vector<std::string> operands;
  } rows[] = {
      {{"--input", "a", "-n12", "--json", "-", "--out=o"},
       {{"input", "a"}, {"json", ""}, {"line", "12"}, {"out", "o"}},
       {"-"}},
      {{"--out", "o", "--input=x=y"}, {{"input", "x=y"}, {"out", "o"}}, {}},
      {{"--out", "o", "-i", "-weird"}, {{"input", "-weird"}, {"out", "o"}}, {}},
      {{"--out", "o", "-ia b", "--", "--json"}, {{"input", "a b"}, {"out", "o"}}, {"--json"}},
      // --help and --version are read like any flag; with --help nothing is missing.
      {{"--help"}, {{"help", ""}}, {}},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.args[0] + " " + (r.args.size() > 1 ? r.args[1] : ""));
    const ParsedOptions parsed = ParseOptions(kCommand, r.args);
    EXPECT_EQ(parsed.error, "");
    EXPECT_EQ(
        std::vector(parsed.values.begin(), parsed.values.end()),
        (std::vector<std::pair<const std::string, std::string>>(r.values.begin(), r.values.end())));
    EXPECT_EQ(parsed.operands, r.operands);
  }
}

TEST(OptionParserTest, UsageErrorsNameTheWord) {
  const struct {
    std::vector<std::string> args;
    const char* error;
  } rows[] = {
      {{"--foo"}, "unknown option '--foo'"},
      {{"--inp", "a"}, "unknown option '--inp'"},  // no abbreviations
      {{"-x"}, "unknown option '-x'"},
      {{"-V"}, "unknown option '-V'"},  // no version named
      {{"--line"}, "option '--line' needs a value"},
      {{"--json=yes"}, "option '--json' takes no value"},
      {{"-hV"}, "option '-h' takes no value"},
      {{"-n", "1", "--line", "2"}, "option '--line' given twice"},
      {{"--input="}, "option '--input' needs a value, not an empty text"},
      {{"-n", "x2"}, "option '-n' needs digits, not 'x2'"},
      {{"--out", "o", "a", "b"}, "unexpected argument 'b'"},
      {{"a"}, "option '--out' is needed"},
      // A usage error in the words wins over --help.
      {{"--help", "--foo"}, "unknown option '--foo'"},
      {{"--help", "a", "b"}, "unexpected argument 'b'"},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(ParseOptions(kCommand, r.args).error, r.error) << r.args[0];
  }
}

constexpr CommandDefinition kRun = {.name = "tool run"};
constexpr const CommandDefinition* kCommands[] = {&kRun};
constexpr CommandDefinition kTool = {.name = "tool", .commands = kCommands};

TEST(OptionParserTest, SubcommandsByTheirLastWord) {
  EXPECT_EQ(FindCommand(kTool, "run"), &kRun);
  EXPECT_EQ(FindCommand(kTool, "tool"), nullptr);
  EXPECT_EQ(FindCommand(kTool, ""), nullptr);
}

}  // namespace
}  // namespace grulo
