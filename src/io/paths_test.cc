#include "io/paths.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"

namespace grulo {
namespace {

TEST(PathsTest, ConfigurationBesideTheProgram) {
  struct Case {
    const char* argv0;
    const char* executable;
    const char* expected;
  } cases[] = {
      {"./grulo", "/opt/bin/grulo", "./grulo.ini"},
      {"/usr/local/bin/grulo", "/opt/bin/grulo", "/usr/local/bin/grulo.ini"},
      {"bin/other.name", "", "bin/grulo.ini"},
      {"/grulo", "", "/grulo.ini"},
      {"dir.d/", "", "dir.d/grulo.ini"},
      // Found through PATH: the running executable's directory.
      {"grulo", "/opt/bin/grulo", "/opt/bin/grulo.ini"},
      {"", "/opt/bin/grulo", "/opt/bin/grulo.ini"},
      // Nothing known: the current directory.
      {"grulo", "", "grulo.ini"},
      // A backslash separates directories where the system says so
      // (Windows), and is an ordinary character of a file name elsewhere.
      {"c:\\bin\\grulo.exe", "/x/grulo",
       IsPathSeparator('\\') ? "c:\\bin\\grulo.ini" : "/x/grulo.ini"},
      {"c:\\bin/grulo.exe", "", "c:\\bin/grulo.ini"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ConfigPathFor(c.argv0, c.executable), c.expected) << c.argv0;
  }
}

TEST(PathsTest, InputBaseName) {
  struct Case {
    const char* fic_ent;
    const char* expected;
  } cases[] = {
      {"/data/week12.txt", "week12"},
      {"week12.txt", "week12"},
      {"week12", "week12"},
      {"/data.d/week12", "week12"},
      {"archive.tar.gz", "archive.tar"},
      {"C:\\data\\in.rss", "in"},
      {"/data\\mixed/in.rss", "in"},
      {"mixed\\dir/in", "in"},
      {"/data/.hidden", ""},
      {"/data/", ""},
      {"", ""},
      {"name.", "name"},
  };
  for (const Case& c : cases) EXPECT_EQ(InputBaseName(c.fic_ent), c.expected) << c.fic_ent;
}

TEST(PathsTest, OutputStemUsesTheSlash) {
  EXPECT_EQ(OutputStem("/out", "week12"), "/out/week12");
  EXPECT_EQ(OutputStem("", "week12"), "/week12");  // the root directory
  EXPECT_EQ(OutputStem("rel", ""), "rel/");
}

}  // namespace
}  // namespace grulo
