#include "record/field_mask.h"

#include <gtest/gtest.h>

#include <string>

namespace grulo {
namespace {

struct MaskCase {
  std::string field;
  const char* mask;
  int16_t trim;
  int16_t min;
  MaskResult expected;
};

TEST(FieldMaskTest, MasksInUse) {
  const MaskCase cases[] = {
      // Dates: blankness wins over the minimum length; 'Z' takes a blank.
      {"        ", "Z9Z99999", TrimLeading, 7, MaskBlank},
      {" 1012008", "Z9Z99999", TrimLeading, 7, MaskOk},
      {"  012008", "Z9Z99999", TrimLeading, 7, MaskTooShort},
      {"0101 008", "Z9Z99999", TrimLeading, 7, MaskMismatch},
      {"01 12008", "Z9Z99999", TrimLeading, 7, MaskOk},
      {"0 012008", "Z9Z99999", TrimLeading, 7, MaskMismatch},
      {"0101200 ", "Z9Z99999", TrimLeading, 7, MaskMismatch},
      // Establishment number: no trimming.
      {" 21234567", "9F9999999", TrimNone, 9, MaskMismatch},
      // Stay number: leading blanks only.
      {"   1234", "9999999", TrimLeading, 0, MaskOk},
      {"1234   ", "9999999", TrimLeading, 0, MaskMismatch},
      {"12 34  ", "9999999", TrimLeading, 0, MaskMismatch},
      {"       ", "9999999", TrimLeading, 0, MaskBlank},
      {" ", "9", TrimBoth, 1, MaskBlank},
      // Post code: no trimming, a blank is a mismatch.
      {"7500 ", "99999", TrimNone, 5, MaskMismatch},
      // Week number.
      {" 12008", "999999", TrimLeading, 5, MaskOk},
      {"  2008", "999999", TrimLeading, 5, MaskTooShort},
      {"1 2008", "999999", TrimLeading, 5, MaskMismatch},
      // Diagnosis codes: '+' then 'Z' after the third character.
      {"A09+  ", "X99++Z", TrimNone, 3, MaskOk},
      {"A0   9", "X99++Z", TrimNone, 3, MaskMismatch},
      {"A09++9", "X99++Z", TrimNone, 3, MaskOk},
      {"A09+++", "X99++Z", TrimNone, 3, MaskMismatch},
      // Acts.
      {"ABCD123 ", "XXXX9999", TrimNone, 8, MaskMismatch},
  };
  for (const MaskCase& c : cases) {
    EXPECT_EQ(MatchMask(c.field, c.mask, c.trim, c.min), c.expected)
        << "'" << c.field << "' against " << c.mask << " mode " << c.trim;
  }
}

TEST(FieldMaskTest, TrimModesSelectTheSignificantPart) {
  // ' 12 ' against "9999": only the mode decides which blanks count.
  EXPECT_EQ(MatchMask(" 12 ", "9999", TrimNone, 0), MaskMismatch);
  EXPECT_EQ(MatchMask(" 12 ", "9999", TrimLeading, 0), MaskMismatch);
  EXPECT_EQ(MatchMask(" 12 ", "9999", TrimBoth, 0), MaskOk);
  // The minimum length applies to the significant part.
  EXPECT_EQ(MatchMask(" 12 ", "9999", TrimBoth, 3), MaskTooShort);
  EXPECT_EQ(MatchMask(" 12 ", "9999", TrimNone, 4), MaskMismatch);
}

TEST(FieldMaskTest, ClassCharacters) {
  struct Case {
    char mask;
    const char* accepted;
    const char* refused;
  } cases[] = {
      {'9', "0123456789", "A a+\xE9"},
      {'X', "AZaz", "09 +[`{@\xE9"},
      {'Z', "09 ", "Aa+\xE9"},
      {'+', "09 +", "Aa-\xE9"},
      {'F', "09AaBb", "Cc \xE9"},
  };
  for (const Case& c : cases) {
    const std::string mask = std::string("1") + c.mask;
    for (const char* p = c.accepted; *p != '\0'; ++p) {
      std::string field = std::string("1") + *p;
      EXPECT_EQ(MatchMask(field, mask, TrimNone, 0), MaskOk) << c.mask << " '" << *p << "'";
    }
    for (const char* p = c.refused; *p != '\0'; ++p) {
      std::string field = std::string("1") + *p;
      EXPECT_EQ(MatchMask(field, mask, TrimNone, 0), MaskMismatch)
          << c.mask << " '" << *p << "'";
    }
  }
}

TEST(FieldMaskTest, ReadsOnlyTheMaskWidthAndComparesEntriesWhole) {
  EXPECT_EQ(MatchMask("12XYZ", "99", TrimNone, 2), MaskOk);
  EXPECT_EQ(MatchMask("  XYZ", "99", TrimNone, 2), MaskBlank);
  EXPECT_TRUE(IsOneOf(" ", " 567", 1));
  EXPECT_FALSE(IsOneOf("9", "0678", 1));
  EXPECT_FALSE(IsOneOf("1", "", 1));
  EXPECT_FALSE(IsOneOf(" ", "", 1));
  EXPECT_TRUE(IsOneOf("BC", "ABBCCD", 2));
  EXPECT_FALSE(IsOneOf("BB", "ABBCCD", 2));  // entries are compared whole
}

}  // namespace
}  // namespace grulo
