#include "explain/json_writer.h"

#include <gtest/gtest.h>

namespace grulo {
namespace {

TEST(JsonWriterTest, NestedValuesIndented) {
  JsonWriter w;
  w.BeginObject();
  w.Key("a");
  w.Int(-3);
  w.Key("b");
  w.BeginArray();
  w.String("x\"y\\z\n\t\x01");
  w.Bool(true);
  w.Null();
  w.EndArray();
  w.Key("c");
  w.BeginObject();
  w.EndObject();
  w.Key("d");
  w.BeginArray();
  w.EndArray();
  w.EndObject();
  EXPECT_EQ(w.Take(),
            "{\n  \"a\": -3,\n  \"b\": [\n    \"x\\\"y\\\\z\\n\\t\\u0001\",\n    true,\n"
            "    null\n  ],\n  \"c\": {},\n  \"d\": []\n}\n");
}

// Every string is valid UTF-8: UTF-8 passes unchanged, the Windows-1252
// bytes of a path become their characters.
TEST(JsonWriterTest, StringsAreAlwaysUtf8) {
  EXPECT_EQ(JsonQuoted("n\xC2\xB0"), "\"n\xC2\xB0\"");
  EXPECT_EQ(JsonQuoted("C:\\donn\xE9" "es"), "\"C:\\\\donn\xC3\xA9" "es\"");
}

}  // namespace
}  // namespace grulo
