#include "checks/error_catalogue_text.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

namespace grulo {
namespace {

const char kDocPath[] = GRULO_SOURCE_DIR "/docs/errors.md";

// docs/errors.md is the catalogue as ErrorCatalogueText renders it. With
// GRULO_WRITE_ERRORS_DOC set, the test writes the file anew instead.
TEST(ErrorsDocTest, DocsFileIsTheRenderedCatalogue) {
  const std::string rendered = ErrorCatalogueText();
  if (std::getenv("GRULO_WRITE_ERRORS_DOC") != nullptr) {
    std::ofstream out(kDocPath, std::ios::binary | std::ios::trunc);
    out << rendered;
    ASSERT_TRUE(out.good()) << "cannot write " << kDocPath;
    return;
  }
  std::ifstream in(kDocPath, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_TRUE(text.str() == rendered)
      << kDocPath << " differs from the error catalogue. Write it anew from the build "
      << "directory with\n  GRULO_WRITE_ERRORS_DOC=1 src/checks/checks_test "
      << "--gtest_filter='ErrorsDocTest.*'\nand commit it with the change of the catalogue.";
}

TEST(ErrorCatalogueTextTest, FieldsWithTheirColumnsFromOne) {
  const struct {
    int16_t number;
    const char* text;
  } rows[] = {
      {4, ""},
      {13, "birth date, columns 41-48"},
      {16, "sex, column 49"},
      {61, "second diagnosis, columns 108-113"},
      {70, "associated diagnoses, 20 fields: columns 124-129, 132-137 and so on to 276-281"},
      {77, "scores, 6 fields: columns 287, 288 and so on to 292"},
      {82, "acts, 10 fields: columns 344-351, 352-359 and so on to 416-423"},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(FieldColumnsText(FindErrorInfo(r.number)->field), r.text) << r.number;
  }
}

TEST(ErrorCatalogueTextTest, OneSectionPerNumberInShortLines) {
  const std::string text = ErrorCatalogueText();
  std::istringstream lines(text);
  std::string line;
  int sections = 0;
  bool in_comment = true;
  while (std::getline(lines, line)) {
    if (in_comment) {
      in_comment = line.find("-->") == std::string::npos;
      continue;
    }
    if (line.rfind("## Error ", 0) == 0) {
      ++sections;
      EXPECT_EQ(line.rfind("## Error " + std::to_string(sections) + ": ", 0), 0u) << line;
    }
    EXPECT_LE(line.size(), 78u) << line;
    // Markdown would read these as list items.
    EXPECT_NE(line.rfind("+ ", 0), 0u) << line;
    EXPECT_NE(line.rfind("- ", 0), 0u) << line;
  }
  EXPECT_EQ(sections, kErrorNumberCount);
  EXPECT_NE(text.find("## Error 62: never produced\n\nNever produced"), std::string::npos);
  EXPECT_NE(text.find("## Error 13: blocking\n\nBirth date, columns 41-48.\n"), std::string::npos);
  EXPECT_NE(text.find("## Error 82: non-blocking\n"), std::string::npos);
  EXPECT_EQ(text.back(), '\n');
  EXPECT_NE(text.substr(text.size() - 2), "\n\n");
}

}  // namespace
}  // namespace grulo
