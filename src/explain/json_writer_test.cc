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

TEST(JsonWriterTest, Utf8PassesUnchanged) {
  EXPECT_EQ(JsonQuoted("n\xC2\xB0"), "\"n\xC2\xB0\"");
}

}  // namespace
}  // namespace grulo
