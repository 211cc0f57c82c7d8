// grulo errors prints the catalogue: the whole of it is docs/errors.md as a
// terminal shows it; numbers select their sections; --list gives one line
// each.

#include <gtest/gtest.h>

#include <string>

#include "command_testutil.h"
#include "process_testutil.h"

namespace grulo::test {
namespace {

ProcessResult Errors(std::vector<std::string> args) {
  args.insert(args.begin(), {BuiltProgram("grulo"), "errors"});
  return RunCommand(args);
}

// docs/errors.md as a terminal shows it: without the comment that says how
// the file is made, without heading marks, examples between double quotes.
std::string DocumentForATerminal(std::string doc) {
  doc.erase(0, doc.find("-->\n\n") + 5);
  std::string out;
  size_t start = 0;
  while (start < doc.size()) {
    size_t end = doc.find('\n', start);
    std::string line = doc.substr(start, end - start + 1);
    if (line.rfind("## ", 0) == 0) line.erase(0, 3);
    if (line.rfind("# ", 0) == 0) line.erase(0, 2);
    for (char& c : line) c = c == '`' ? '"' : c;
    out += line;
    start = end + 1;
  }
  return out;
}

TEST(ErrorsCommandTest, PrintsTheDocumentOfTheCatalogueForATerminal) {
  const ProcessResult r = Errors({});
  EXPECT_EQ(r.exit_status, 0) << r.err;
  EXPECT_TRUE(r.out == DocumentForATerminal(
                           ReadFileBytes(std::string(GRULO_SOURCE_DIR) + "/docs/errors.md")))
      << "grulo errors differs from docs/errors.md";
  EXPECT_EQ(r.out.rfind("grulo error numbers\n\n", 0), 0u) << r.out.substr(0, 200);
  EXPECT_EQ(r.out.find('`'), std::string::npos);
}

TEST(ErrorsCommandTest, SectionsOfTheNumbersGiven) {
  const ProcessResult r = Errors({"13", "4"});
  EXPECT_EQ(r.exit_status, 0) << r.err;
  EXPECT_EQ(r.out.rfind("Error 13: blocking\n\nBirth date, columns 41-48.\n", 0), 0u) << r.out;
  EXPECT_NE(r.out.find("such as \"1 2009\""), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\n\nError 4: never produced\n\nNever produced"), std::string::npos);
  EXPECT_EQ(r.out.find("Error 14"), std::string::npos);
  EXPECT_NE(r.out.substr(r.out.size() - 2), "\n\n");
}

TEST(ErrorsCommandTest, OneLinePerNumber) {
  const ProcessResult r = Errors({"--list"});
  EXPECT_EQ(r.exit_status, 0);
  size_t lines = 0;
  for (char c : r.out) lines += c == '\n' ? 1 : 0;
  EXPECT_EQ(lines, 82u);
  EXPECT_NE(r.out.find("47  blocking        presence days, columns 81-87: "), std::string::npos)
      << r.out;
  EXPECT_EQ(Errors({"-l", "82"}).out.rfind("82  non-blocking    acts, 10 fields", 0), 0u);
  EXPECT_EQ(r.out.find('`'), std::string::npos);
}

TEST(ErrorsCommandTest, UsageErrors) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"83"}, {"0"}, {"x"}, {"--all"}}) {
    const ProcessResult r = Errors(args);
    EXPECT_EQ(r.exit_status, 2) << args[0];
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("grulo errors: ", 0), 0u) << r.err;
  }
}

}  // namespace
}  // namespace grulo::test
