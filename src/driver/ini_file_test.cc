#include "driver/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <iterator>
#include <string>

#include "tests/process_testutil.h"

namespace grulo {
namespace {

using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

struct ReadCase {
  const char* name;
  std::string text;
  const char* section;
  const char* key;
  std::string expected;
};

TEST(IniFileTest, ReadsValuesLikeThePrivateProfileFunctions) {
  const ReadCase cases[] = {
      {"plain", "[S]\nK=v\n", "S", "K", "v"},
      {"crlf", "[S]\r\nK=v\r\n", "S", "K", "v"},
      {"no final line feed", "[S]\nK=v", "S", "K", "v"},
      {"blanks trimmed", "  [ S ]  \n\t K \t=  a b \t\n", "S", "K", "a b"},
      {"double quotes removed", "[S]\nK=\"/data/in put\"\n", "S", "K", "/data/in put"},
      {"single quotes removed", "[S]\nK=' x '\n", "S", "K", " x "},
      {"one pair only", "[S]\nK=\"\"x\"\"\n", "S", "K", "\"x\""},
      {"unmatched quote kept", "[S]\nK=\"x\n", "S", "K", "\"x"},
      {"value split at first equals only", "[S]\nK=a=b\n", "S", "K", "a=b"},
      {"key without equals is empty", "[S]\nK\n", "S", "K", ""},
      {"key case", "[S]\nrEpTaB=v\n", "S", "RepTab", "v"},
      {"section in utf-8", "[G\xC3\xA9n\xC3\xA9ral]\nK=v\n", "G\xE9n\xE9ral", "K", "v"},
      {"section in utf-8 upper case", "[G\xC3\x89N\xC3\x89RAL]\nK=v\n", "G\xE9n\xE9ral", "K", "v"},
      {"y diaeresis folds", "[\xFF]\nK=v\n", "\x9F", "K", "v"},
      {"division sign is no letter", "[\xF7]\nK=v\n", "\xD7", "K", "missing"},
      {"y diaeresis is no sharp s", "[\xDF]\nK=v\n", "\xFF", "K", "missing"},
      {"first section occurrence wins", "[S]\nA=1\n[S]\nK=2\n", "S", "K", "missing"},
      {"first key occurrence wins", "[S]\nK=1\nK=2\n", "S", "K", "1"},
      {"key before any section", "K=v\n[S]\n", "S", "K", "missing"},
      {"missing section", "[T]\nK=v\n", "S", "K", "missing"},
      {"comment ignored", "[S]\n;K=v\n", "S", "K", "missing"},
      {"indented comment ignored", "[S]\n  ; K=v\nK=w\n", "S", "K", "w"},
      {"name ends at last bracket", "[a]b]\nK=v\n", "a]b", "K", "v"},
      {"bracket without close is no section", "[S]\n[T\nK=v\n", "S", "K", "v"},
      {"value ends at nul", std::string("[S]\nK=ab\0cd\n", 12), "S", "K", "ab"},
      {"quotes removed before nul cut", std::string("[S]\nK=\"ab\0c\"\n", 13), "S", "K", "ab"},
      {"utf-8 byte order mark skipped", "\xEF\xBB\xBF[S]\nK=v\n", "S", "K", "v"},
      {"long value not cut", "[S]\nK=" + std::string(700, 'x') + "\n", "S", "K",
       std::string(700, 'x')},
  };
  for (const ReadCase& c : cases) {
    IniFile ini(c.text);
    EXPECT_EQ(ini.GetValue(c.section, c.key, "missing"), c.expected) << c.name;
  }
}

TEST(IniFileTest, NameComparisonFoldsWindows1252Letters) {
  EXPECT_TRUE(IniNamesEqual("R\xE9sultats", "R\xC9SULTATS"));
  EXPECT_TRUE(IniNamesEqual("R\xE9sultats", "r\xC3\xA9sultats"));
  EXPECT_TRUE(IniNamesEqual("\x9A\x9E", "\x8A\x8E"));
  EXPECT_FALSE(IniNamesEqual("R\xE9sultats", "Resultats"));
  EXPECT_FALSE(IniNamesEqual("\xF7", "\xD7"));
  // A name that is no valid UTF-8 compares by its bytes.
  EXPECT_TRUE(IniNamesEqual("\xC3", "\xE3"));
  EXPECT_FALSE(IniNamesEqual("\xC3\xA9", "\xC3"));
}

struct WriteCase {
  const char* name;
  std::string before;
  std::string after;
};

TEST(IniFileTest, WritingKeepsEveryOtherLine) {
  const WriteCase cases[] = {
      {"replaces the value, keeps the key's spelling",
       "; top\r\n[R\xE9sultats]\r\n  nblus = 5 \r\nNbErrForm=1\r\n",
       "; top\r\n[R\xE9sultats]\r\nnblus=42\r\nNbErrForm=1\r\n"},
      {"adds a missing key after the section's last line",
       "[R\xE9sultats]\nA=1\n\n[Other]\nB=2\n",
       "[R\xE9sultats]\nA=1\nNbLus=42\n\n[Other]\nB=2\n"},
      {"adds a key to a section at the end without line feed", "[R\xE9sultats]\r\nA=1",
       "[R\xE9sultats]\r\nA=1\r\nNbLus=42\r\n"},
      {"adds a key after an empty section header", "[R\xE9sultats]\n[X]\n",
       "[R\xE9sultats]\nNbLus=42\n[X]\n"},
      {"creates the section with the file's line feeds", "[G\xE9n\xE9ral]\nFicEnt=a\n",
       "[G\xE9n\xE9ral]\nFicEnt=a\n\n[R\xE9sultats]\nNbLus=42\n"},
      {"creates the section after a last line without line feed", "[G]\r\nK=v",
       "[G]\r\nK=v\r\n\r\n[R\xE9sultats]\r\nNbLus=42\r\n"},
      {"no second blank line before a new section", "[G]\nK=v\n\n",
       "[G]\nK=v\n\n[R\xE9sultats]\nNbLus=42\n"},
      {"new file in CR LF", "", "[R\xE9sultats]\r\nNbLus=42\r\n"},
      {"updates the utf-8 spelling in place", "[R\xC3\xA9sultats]\nNbLus=1\n",
       "[R\xC3\xA9sultats]\nNbLus=42\n"},
      {"updates the first of two sections", "[R\xE9sultats]\nNbLus=1\n[R\xE9sultats]\nNbLus=2\n",
       "[R\xE9sultats]\nNbLus=42\n[R\xE9sultats]\nNbLus=2\n"},
      {"a commented key is no key", "[R\xE9sultats]\n;NbLus=1\n",
       "[R\xE9sultats]\n;NbLus=1\nNbLus=42\n"},
      {"keeps a byte order mark", "\xEF\xBB\xBF[R\xE9sultats]\nNbLus=1\n",
       "\xEF\xBB\xBF[R\xE9sultats]\nNbLus=42\n"},
  };
  for (const WriteCase& c : cases) {
    IniFile ini(c.before);
    ini.SetValue("R\xE9sultats", "NbLus", "42");
    EXPECT_EQ(ini.text(), c.after) << c.name;
    EXPECT_EQ(ini.GetValue("R\xE9sultats", "NbLus", ""), "42") << c.name;
  }
}

TEST(IniFileTest, LoadTellsMissingFromUnreadable) {
  TempDir dir;
  IniFile ini;
  EXPECT_EQ(ini.Load(dir.File("none.ini")), IniFile::kMissing);
  EXPECT_EQ(ini.Load(dir.File("none/deeper.ini")), IniFile::kMissing);
  EXPECT_EQ(ini.Load(dir.path()), IniFile::kUnreadable);
  WriteFileBytes(dir.File("a.ini"), "[S]\nK=v\n");
  EXPECT_EQ(ini.Load(dir.File("a.ini")), IniFile::kLoaded);
  EXPECT_EQ(ini.GetValue("S", "K", ""), "v");
}

// The replacement keeps the permissions, follows a symbolic link, leaves no
// temporary file, and fails without touching what stands in the way.
TEST(IniFileTest, AtomicReplace) {
  TempDir dir;
  ASSERT_EQ(::mkdir(dir.File("real").c_str(), 0755), 0);
  const std::string real = dir.File("real/grulo.ini");
  WriteFileBytes(real, "old");
  ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
  std::filesystem::create_symlink("real/grulo.ini", dir.File("grulo.ini"));
  ASSERT_TRUE(ReplaceFileAtomically(dir.File("grulo.ini"), "new"));
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("grulo.ini")));
  EXPECT_EQ(ReadFileBytes(real), "new");
  struct stat st;
  ASSERT_EQ(::stat(real.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.File("real")),
                          std::filesystem::directory_iterator()),
            1);

  EXPECT_FALSE(ReplaceFileAtomically(dir.File("no/such/dir/grulo.ini"), "x"));
  ASSERT_EQ(::mkdir(dir.File("sub.ini").c_str(), 0755), 0);
  EXPECT_FALSE(ReplaceFileAtomically(dir.File("sub.ini"), "x"));
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("sub.ini")));
}

}  // namespace
}  // namespace grulo
