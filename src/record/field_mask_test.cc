#include "record/field_mask.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

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

// The date mask's quick pass agrees with the mask on fields of up to nine
// characters drawn from digits, blanks and others.
TEST(FieldMaskTest, DateMaskAgreesWithTheMask) {
  // Mostly digits, so that rows of eight digits and near misses are common.
  const char kAlphabet[] = {'0', '1', '5', '9', '0', '3', '7', '8', ' ', 'a', '/', '\xB9'};
  std::mt19937 random(20261207);
  for (int n = 0; n < 200000; ++n) {
    std::string field(random() % 10, ' ');
    for (char& c : field) c = kAlphabet[random() % (random() % 4 == 0 ? std::size(kAlphabet) : 8)];
    ASSERT_EQ(MatchDateMask(field), MatchMask(field, "Z9Z99999", TrimLeading, 7)) << field;
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

// The matcher written out rule by rule, as the reference of the comparisons
// below.
bool ReferenceAccepts(char mask_char, char c) {
  const bool digit = c >= '0' && c <= '9';
  const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  const bool blank = c == ' ';
  switch (mask_char) {
    case '9':
      return digit;
    case 'X':
      return letter;
    case 'A':
      return letter || digit;
    case 'Y':
      return letter || digit || blank;
    case 'Z':
      return digit || blank;
    case '+':
      return digit || blank || c == '+';
    case 'F':
      return digit || c == 'A' || c == 'B' || c == 'a' || c == 'b';
    default:
      return true;
  }
}

MaskResult ReferenceMatch(const std::string& field, const std::string& mask, int16_t trim,
                          int16_t min) {
  const int n = static_cast<int>(mask.size());
  int first = -1;
  int last = -1;
  for (int p = 0; p < n; ++p) {
    if (field[p] == ' ') continue;
    if (first < 0) first = p;
    last = p;
  }
  if (first < 0) return MaskBlank;
  int start = 0;
  int length = n;
  if (trim == TrimLeading) {
    start = first;
    length = n - first;
  } else if (trim == TrimTrailing) {
    length = last + 1;
  } else if (trim == TrimBoth) {
    start = first;
    length = last - first + 1;
  }
  if (length < min) return MaskTooShort;
  for (int p = start; p < start + length; ++p) {
    if (!ReferenceAccepts(mask[p], field[p])) return MaskMismatch;
  }
  return MaskOk;
}

// Field bytes of every kind the classes tell apart: blank, digits, letters
// that are and are not 'A' or 'B' in either case, '+', other punctuation,
// the neighbours of the letter ranges, NUL and a byte above 127.
const std::string kFieldBytes("  09AbCz+-@[`{\0\xE9", 16);
// Mask characters: every class character and one that accepts anything.
const std::string kMaskChars = "9XAYZ+F?";
constexpr int16_t kTrimModes[] = {TrimNone, TrimLeading, TrimTrailing, TrimBoth, 7};

TEST(FieldMaskTest, AgreesWithTheRulesOnEveryShortFieldAndMask) {
  std::vector<std::string> masks;
  for (char a : kMaskChars) {
    masks.push_back(std::string(1, a));
    for (char b : kMaskChars) masks.push_back(std::string{a, b});
  }
  for (const std::string& mask : masks) {
    std::vector<std::string> fields = {""};
    for (size_t length = 0; length < mask.size(); ++length) {
      std::vector<std::string> longer;
      for (const std::string& f : fields) {
        for (char c : kFieldBytes) longer.push_back(f + c);
      }
      fields.swap(longer);
    }
    for (const std::string& field : fields) {
      for (int16_t trim : kTrimModes) {
        for (int16_t min = 0; min <= 3; ++min) {
          ASSERT_EQ(MatchMask(field, mask, trim, min), ReferenceMatch(field, mask, trim, min))
              << "'" << field << "' against " << mask << " mode " << trim << " min " << min;
        }
      }
    }
  }
}

TEST(FieldMaskTest, AgreesWithTheRulesOnTheMasksInUse) {
  const std::string masks[] = {"9F9999999", "9999999", "9",  "Z9Z99999",
                               "99999",     "999999",  "9999", "X99++Z", "99", "XXXX9999"};
  // Mostly digits and blanks, as real fields are, with every other kind now
  // and then.
  const std::string likely = "0123456789      AZaz+";
  std::mt19937 random(12);
  for (const std::string& mask : masks) {
    const int16_t n = static_cast<int16_t>(mask.size());
    for (int i = 0; i < 20000; ++i) {
      std::string field;
      for (int16_t p = 0; p < n; ++p) {
        const bool rare = random() % 8 == 0;
        field += rare ? kFieldBytes[random() % kFieldBytes.size()] : likely[random() % likely.size()];
      }
      for (int16_t trim : kTrimModes) {
        for (int16_t min : {int16_t{0}, int16_t(n - 2), int16_t(n - 1), n}) {
          ASSERT_EQ(MatchMask(field, mask, trim, min), ReferenceMatch(field, mask, trim, min))
              << "'" << field << "' against " << mask << " mode " << trim << " min " << min;
        }
      }
    }
  }
}

TEST(FieldMaskTest, IsOneOfComparesWholeEntriesOfEveryShortList) {
  const std::string bytes(" 5A\0", 4);
  std::vector<std::string> texts = {""};
  for (size_t length = 0; length < 4; ++length) {
    const size_t from = texts.size();
    for (size_t i = 0; i < from; ++i) {
      if (texts[i].size() != length) continue;
      for (char c : bytes) texts.push_back(texts[i] + c);
    }
  }
  for (int16_t width = 1; width <= 2; ++width) {
    for (const std::string& value : texts) {
      if (value.size() != static_cast<size_t>(width)) continue;
      for (const std::string& list : texts) {
        bool expected = false;
        for (size_t k = 0; k + width <= list.size(); k += width) {
          expected = expected || list.substr(k, width) == value;
        }
        ASSERT_EQ(IsOneOf(value, list, width), expected)
            << "'" << value << "' in '" << list << "' width " << width;
      }
    }
  }
}

}  // namespace
}  // namespace grulo
