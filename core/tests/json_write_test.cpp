// core/tests/json_write_test.cpp: the JSON writer's layouts, escapes and numbers, as the host's
// json.dumps writes them.
#include "orvelle/json/parse.h"
#include "orvelle/json/write.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace orvelle::json {
namespace {

std::string written(Layout layout, const std::string &json) {
  return Writer(layout).value(parse(json).root()).take();
}

TEST(JsonWrite, IndentedAndCompactLayouts) {
  const std::string doc = R"({"a": [1, {}, [], {"b": null}], "c": {"d": [true]}, "e": "x"})";
  EXPECT_EQ(written(Layout::compact, doc), doc);
  EXPECT_EQ(written(Layout::indented, doc), "{\n"
                                            "    \"a\": [\n"
                                            "        1,\n"
                                            "        {},\n"
                                            "        [],\n"
                                            "        {\n"
                                            "            \"b\": null\n"
                                            "        }\n"
                                            "    ],\n"
                                            "    \"c\": {\n"
                                            "        \"d\": [\n"
                                            "            true\n"
                                            "        ]\n"
                                            "    },\n"
                                            "    \"e\": \"x\"\n"
                                            "}");
  EXPECT_EQ(written(Layout::indented, "[]"), "[]");
  EXPECT_EQ(written(Layout::indented, "false"), "false");
}

TEST(JsonWrite, StreamedContainersMatchWrittenTrees) {
  Writer writer(Layout::indented);
  writer.begin_object().key("gene").string("CYP2D6").key("calls").begin_array();
  writer.begin_object().key("n").integer(1).end_object().end_array().end_object();
  EXPECT_EQ(writer.text(), written(Layout::indented, R"({"gene": "CYP2D6", "calls": [{"n": 1}]})"));
}

TEST(JsonWrite, TextsAreAsciiWithTheHostsEscapes) {
  Writer writer(Layout::compact);
  writer.begin_array()
      .string("\"\\/\b\f\n\r\t\x01\x1f\x7f")
      .string("\xC3\xA9\xEF\xBF\xBF\xF0\x9F\x98\x80")
      .string("\xED\xA0\x80x\xED\xB0\x80") // lone surrogates, as WTF-8
      .end_array();
  EXPECT_EQ(writer.text(), R"(["\"\\/\b\f\n\r\t\u0001\u001f\u007f", "\u00e9\uffff\ud83d\ude00", )"
                           R"("\ud800x\udc00"])");
  EXPECT_EQ(Writer(Layout::compact).key("\xC3\xA9").text(), "\"\\u00e9\": ");
}

TEST(JsonWrite, NumbersAsTheHostWritesThem) {
  Writer writer(Layout::compact);
  writer.begin_array()
      .integer(std::numeric_limits<std::int64_t>::min())
      .big_integer("-123456789012345678901234567890")
      .real(std::nan(""))
      .real(INFINITY)
      .real(-INFINITY)
      .real(1.0)
      .real(1e-05)
      .real(1e16)
      .real(-0.0)
      .end_array();
  EXPECT_EQ(writer.text(), "[-9223372036854775808, -123456789012345678901234567890, NaN, "
                           "Infinity, -Infinity, 1.0, 1e-05, 1e+16, -0.0]");
}

} // namespace
} // namespace orvelle::json
