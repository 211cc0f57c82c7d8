#include "config/ini_file.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/process_testutil.h"

namespace grulo {
namespace {

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
      {"dos end of file after a value", "[S]\r\nK=/o\x1A\r\n", "S", "K", "/o"},
      {"dos end of file on a line of its own", "[S]\r\nK=v\r\n\x1A", "S", "K", "v"},
      {"dos end of file before a blank", "[S]\nK=a \x1A \n", "S", "K", "a"},
      {"dos end of file inside a value kept", "[S]\nK=a\x1A""b\n", "S", "K", "a\x1A""b"},
      {"lone carriage returns end lines", "[S]\rA=1\rK=v\r", "S", "K", "v"},
      {"lone carriage return before a section", "[T]\rK=t\r[S]\rK=s", "S", "K", "s"},
      {"carriage return pairs", "[S]\r\r\nK=v\r\r\n", "S", "K", "v"},
      {"long value not cut", "[S]\nK=" + std::string(700, 'x') + "\n", "S", "K",
       std::string(700, 'x')},
  };
  for (const ReadCase& c : cases) {
    IniFile ini(c.text);
    EXPECT_EQ(ini.GetValue(c.section, c.key, "missing"), c.expected) << c.name;
  }
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
      {"new section before a dos end of file line", "[G]\r\nK=v\r\n\x1A",
       "[G]\r\nK=v\r\n\r\n[R\xE9sultats]\r\nNbLus=42\r\n\x1A"},
      {"new section before a dos end of file after a value", "[G]\r\nK=/o\x1A\r\n",
       "[G]\r\nK=/o\r\n\r\n[R\xE9sultats]\r\nNbLus=42\r\n\x1A\r\n"},
      {"new key before a dos end of file", "[R\xE9sultats]\nA=1\x1A",
       "[R\xE9sultats]\nA=1\nNbLus=42\n\x1A"},
      {"replaced value keeps the dos end of file", "[R\xE9sultats]\nNbLus=1\x1A\x1A\n",
       "[R\xE9sultats]\nNbLus=42\x1A\x1A\n"},
      {"lone carriage returns kept", "[G]\rK=v\r", "[G]\rK=v\r\r[R\xE9sultats]\rNbLus=42\r"},
      {"key added in a file of lone carriage returns", "[R\xE9sultats]\rA=1",
       "[R\xE9sultats]\rA=1\rNbLus=42\r"},
  };
  for (const WriteCase& c : cases) {
    IniFile ini(c.before);
    ini.SetValue("R\xE9sultats", "NbLus", "42");
    EXPECT_EQ(ini.text(), c.after) << c.name;
    EXPECT_EQ(ini.GetValue("R\xE9sultats", "NbLus", ""), "42") << c.name;
  }
}

// The bytes of a Windows-1252 text (ASCII and Latin-1 characters only) in
// UTF-16 with its byte order mark.
std::string Utf16(std::string_view text, bool big_endian) {
  std::string bytes = big_endian ? "\xFE\xFF" : "\xFF\xFE";
  for (char c : text) {
    const char zero = '\0';
    bytes += big_endian ? zero : c;
    bytes += big_endian ? c : zero;
  }
  return bytes;
}

// Notepad's "Unicode" files: read as their characters, written back in
// their encoding with the mark.
TEST(IniFileTest, ReadsAndWritesUtf16Files) {
  for (bool big_endian : {false, true}) {
    SCOPED_TRACE(big_endian ? "big-endian" : "little-endian");
    const std::string before = "[G\xE9n\xE9ral]\r\nRepSor=C:\\sortie-\xE9\r\n";
    IniFile ini(Utf16(before, big_endian));
    EXPECT_EQ(ini.text(), before);
    EXPECT_EQ(ini.GetValue("G\xE9n\xE9ral", "RepSor", ""), "C:\\sortie-\xE9");
    EXPECT_EQ(ini.FileBytes(), Utf16(before, big_endian));
    ini.SetValue("R\xE9sultats", "NbLus", "42");
    const std::string after = before + "\r\n[R\xE9sultats]\r\nNbLus=42\r\n";
    EXPECT_EQ(ini.text(), after);
    EXPECT_EQ(ini.FileBytes(), Utf16(after, big_endian));
  }
  // Characters beyond Latin-1: the euro sign is a Windows-1252 byte, the
  // rest is '?'; an odd last byte is dropped.
  IniFile wide(std::string("\xFF\xFE[\0S\0]\0\n\0K\0=\0\xAC\x20\x00\x01!", 19));
  EXPECT_EQ(wide.GetValue("S", "K", ""), "\x80?");
  EXPECT_EQ(wide.FileBytes(), std::string("\xFF\xFE[\0S\0]\0\n\0K\0=\0\xAC\x20?\0", 18));
  // Single-byte files are written as they were read.
  const std::string plain = "\xEF\xBB\xBF[S]\nK=\xE9\n";
  EXPECT_EQ(IniFile(plain).FileBytes(), plain);
}

TEST(IniFileTest, LoadTellsMissingFromUnreadable) {
  TempDir dir;
  IniFile ini;
  EXPECT_EQ(ini.Load(dir.File("none.ini")).code(), Status::kNotFound);
  EXPECT_EQ(ini.Load(dir.File("none/deeper.ini")).code(), Status::kNotFound);
  EXPECT_EQ(ini.Load(dir.path()).code(), Status::kInvalidArgument);  // a directory
  WriteFileBytes(dir.File("a.ini"), "[S]\nK=v\n");
  EXPECT_TRUE(ini.Load(dir.File("a.ini")).ok());
  EXPECT_EQ(ini.GetValue("S", "K", ""), "v");
}

TEST(IniFileTest, TellsMissingKeysAndSectionsFromEmptyOnes) {
  IniFile ini("K0=x\n[A]\nK1=\nK2\n[ b ]\n[A]\nK3=y\n");
  EXPECT_EQ(ini.FindValue("A", "K1"), std::optional<std::string>(""));
  EXPECT_EQ(ini.FindValue("A", "K2"), std::optional<std::string>(""));
  EXPECT_EQ(ini.FindValue("A", "K3"), std::nullopt);  // in the second occurrence
  EXPECT_EQ(ini.FindValue("A", "K0"), std::nullopt);
  EXPECT_TRUE(ini.HasSection("a"));
  EXPECT_TRUE(ini.HasSection("B"));
  EXPECT_FALSE(ini.HasSection("K0"));
  EXPECT_EQ(ini.SectionNames(), (std::vector<std::string>{"A", "b", "A"}));
}

}  // namespace
}  // namespace grulo
