#include "options/help_text.h"

#include <gtest/gtest.h>

#include <string>

namespace grulo {
namespace {

constexpr OptionDefinition kRunOptions[] = {
    {"config", 'c', "FILE",
     "the configuration FILE instead of grulo.ini beside the program; the counters are "
     "written back into it"},
    {"strict", 0, "", "exit with status 4 after table problems"},
    {"a-very-long-option-name", 0, "VALUE", "short"},
};
constexpr CommandDefinition kExplain = {.name = "tool explain",
                                        .summary = "explains one summary line of the input"};
constexpr CommandDefinition kReport = {.name = "tool report", .summary = "writes the report"};
constexpr const CommandDefinition* kCommands[] = {&kExplain, &kReport};
constexpr CommandDefinition kTool = {.name = "tool",
                                     .description = "Checks the summaries.\n",
                                     .options = kRunOptions,
                                     .epilogue = "See docs/running.md.\n",
                                     .version = "1.1",
                                     .commands = kCommands};
constexpr CommandDefinition kToolWithoutOptions = {.name = "tool", .commands = kCommands};

constexpr OptionDefinition kBuildOptions[] = {
    {"tree", 0, "FILE", "the tree source"},
    {"out", 0, "DIR", "the directory", nullptr, true},
};
constexpr OptionDefinition kManyOptions[] = {
    {"tree", 0, "FILE", "the tree source"},
    {"acts", 0, "FILE", "the act source"},
    {"diag", 0, "FILE", "the diagnosis source"},
    {"out", 0, "DIR", "the directory", nullptr, true},
    {"force", 0, "", "write anyway"},
    {"kind", 0, "KIND", "the kind"},
};
constexpr CommandDefinition kBuildMany = {.name = "tool build", .options = kManyOptions};
constexpr CommandDefinition kBuild = {.name = "tool build", .options = kBuildOptions};
constexpr CommandDefinition kLong = {
    .name = "tool long", .operands = "[SUMMARY | -]", .max_operands = 1, .options = kRunOptions};

TEST(HelpTextTest, UsageLines) {
  EXPECT_EQ(UsageLine(kBuild), "tool build [--tree FILE] --out DIR");
  EXPECT_EQ(UsageLine(kLong), "tool long [OPTIONS] [SUMMARY | -]");
  EXPECT_EQ(UsageLine(kBuildMany), "tool build [OPTIONS] --out DIR");
  EXPECT_EQ(UsageLine(kToolWithoutOptions), "tool explain|report ...");
  EXPECT_EQ(UsageErrorLine(kBuild, "unknown option '--x'"),
            "tool build: unknown option '--x' (usage: tool build [--tree FILE] --out DIR; see "
            "tool build --help)\n");
  EXPECT_EQ(VersionLine(kTool), "tool 1.1\n");
}

// The help of a program: its usage with the subcommands, the options in one
// column, a long help wrapped under it, an option too long for the column
// with its help on the next line, the subcommands, and no line longer than
// 79 columns.
TEST(HelpTextTest, HelpOfAProgram) {
  EXPECT_EQ(HelpText(kTool),
            "Usage: tool [--config FILE] [--strict] [--a-very-long-option-name VALUE]\n"
            "       tool explain|report ...   (each with --help)\n"
            "\n"
            "Checks the summaries.\n"
            "\n"
            "Options:\n"
            "  -c, --config FILE  the configuration FILE instead of grulo.ini beside the\n"
            "                     program; the counters are written back into it\n"
            "      --strict       exit with status 4 after table problems\n"
            "      --a-very-long-option-name VALUE\n"
            "                     short\n"
            "  -h, --help         print this help and exit\n"
            "  -V, --version      print the version and exit\n"
            "\n"
            "Commands:\n"
            "  explain  explains one summary line of the input\n"
            "  report   writes the report\n"
            "\n"
            "See docs/running.md.\n");
}

}  // namespace
}  // namespace grulo
