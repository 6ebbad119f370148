// core/tests/json_parse_test.cpp: the JSON parser: which path reads what, values the host
// makes, repeated names, the host's errors and character positions, and the nesting limit.
#include "orvelle/errors.h"
#include "orvelle/io/file.h"
#include "orvelle/json/parse.h"
#include "orvelle/testing/json_same.h"
#include "orvelle/testing/stand_in_host.h"

#include "../src/json/fast_parser.h"
#include "../src/json/host_parser.h"
#include "../src/json/syntax_error.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace orvelle::json {
namespace {

std::string nested(std::size_t depth, const std::string &inner) {
  return std::string(depth, '[') + inner + std::string(depth, ']');
}

struct Fault {
  std::string text;
  std::string msg;
  std::size_t pos, line, column;
};

void expect_fault(const Fault &fault) {
  SCOPED_TRACE(fault.text);
  try {
    parse(fault.text);
    ADD_FAILURE() << "parsed";
  } catch (const SyntaxError &error) {
    EXPECT_EQ(error.msg(), fault.msg);
    EXPECT_EQ(error.pos(), fault.pos);
    EXPECT_EQ(error.line(), fault.line);
    EXPECT_EQ(error.column(), fault.column);
  }
}

// A text with a byte-order mark never reaches simdjson (parse() sees to that): from version 4
// on, simdjson skips the mark.
TEST(JsonParse, SimdjsonTakesStrictJsonAndLeavesTheRestToTheHostParser) {
  for (const char *text : {R"({"a": [1, 2.5, "x", true, null, {}]})", "18446744073709551615", "-0",
                           " 7 ", R"("\ud83d\ude00")"})
    EXPECT_TRUE(parse_fast(text).has_value()) << text;
  for (const char *text :
       {"NaN", "[Infinity]", "-Infinity", "1e400", "18446744073709551616", "-9223372036854775809",
        R"("\ud800")", R"("\udc00x")", "[1,]", "", "\f1"})
    EXPECT_FALSE(parse_fast(text).has_value()) << text;
  EXPECT_TRUE(parse_fast(nested(max_depth, "0")).has_value());
  EXPECT_FALSE(parse_fast(nested(max_depth + 1, "0")).has_value());
}

TEST(JsonParse, BothPathsReadStrictJsonAlike) {
  std::string wide = "{";
  for (int i = 0; i < 40; ++i)
    wide += (i ? ", \"k" : "\"k") + std::to_string(i % 20) + "\": " + std::to_string(i);
  wide += "}";
  for (const std::string &text :
       {std::string("-0"), std::string("-0.0"), std::string("1E5"), std::string("-1e-400"),
        std::string("18446744073709551615"), std::string("-9223372036854775808"),
        std::string("0.1000000000000000055511151231257827021181583404541015625"),
        std::string(R"({"a": 1, "b": [true, false, null], "a": {"c": "\u00e9\n"}})"),
        std::string(R"(["\ud83d\ude00", "\u0000", "\/", "plain"])"), wide}) {
    std::optional<Document> fast = parse_fast(text);
    ASSERT_TRUE(fast.has_value()) << text;
    EXPECT_TRUE(same_tree(fast->root(), parse_as_host(text).root())) << text;
  }
}

TEST(JsonParse, ValuesOnlyTheHostReads) {
  EXPECT_TRUE(std::isnan(parse("NaN").root().as_real()));
  EXPECT_EQ(parse("-Infinity").root().as_real(), -INFINITY);
  EXPECT_EQ(parse("1e400").root().as_real(), INFINITY);
  EXPECT_EQ(parse("-1e99999999999999999999").root().as_real(), -INFINITY);
  EXPECT_TRUE(std::signbit(parse("-1e-400").root().as_real()));
  EXPECT_EQ(parse("-1e-400").root().as_real(), 0.0);

  Document big = parse("[-123456789012345678901234567890, 18446744073709551616]");
  EXPECT_EQ(big.root().items()[0].kind(), Kind::big_integer);
  EXPECT_EQ(big.root().items()[0].as_string(), "-123456789012345678901234567890");
  EXPECT_EQ(big.root().items()[1].as_string(), "18446744073709551616");

  // Lone surrogates stay lone, in their 3-byte form; a proper pair joins.
  EXPECT_EQ(parse(R"("\ud800")").root().as_string(), "\xED\xA0\x80");
  EXPECT_EQ(parse(R"("\ud800\u0041")").root().as_string(), "\xED\xA0\x80"
                                                           "A");
  EXPECT_EQ(parse(R"("\udc00\ud83d\ude00")").root().as_string(), "\xED\xB0\x80\xF0\x9F\x98\x80");
  // Text that is already WTF-8 (a host str with a lone surrogate) passes through.
  EXPECT_EQ(parse("[\"\xED\xA0\x80\", NaN]").root().items()[0].as_string(), "\xED\xA0\x80");
}

TEST(JsonParse, RepeatedNamesKeepTheFirstPositionAndTheLastValue) {
  std::string wide = "{";
  for (int i = 0; i < 30; ++i)
    wide += (i ? ", \"k" : "\"k") + std::to_string(i % 20) + "\": " + std::to_string(i);
  for (const std::string &tail : {std::string("}"), std::string(", \"x\": NaN}")}) {
    Document small = parse(R"({"b": 1, "a": 2, "b": 3)" + tail);
    ASSERT_GE(small.root().size(), 2u);
    EXPECT_EQ(small.root().members()[0].key, "b");
    EXPECT_EQ(small.root().members()[0].value.as_int(), 3);
    EXPECT_EQ(small.root().members()[1].key, "a");

    Document large = parse(wide + tail);
    EXPECT_EQ(large.root().members()[3].key, "k3");
    EXPECT_EQ(large.root().members()[3].value.as_int(), 23);
    EXPECT_EQ(large.root().find("k19")->as_int(), 19);
  }
}

// Without a host the core describes faults itself, as Python 3.10 words and places them.
TEST(JsonParse, FaultsCarryTheHostsMessageAndCharacterPosition) {
  const std::vector<Fault> faults = {
      {"", "Expecting value", 0, 1, 1},
      {" \t\n", "Expecting value", 3, 2, 1},
      {"\xEF\xBB\xBF{}", "Unexpected UTF-8 BOM (decode using utf-8-sig)", 0, 1, 1},
      {"[1, ]", "Expecting value", 4, 1, 5},
      {R"({"a" 1})", "Expecting ':' delimiter", 5, 1, 6},
      {R"({"a": 1 "b": 2})", "Expecting ',' delimiter", 8, 1, 9},
      {"{'a': 1}", "Expecting property name enclosed in double quotes", 1, 1, 2},
      {R"(["abc)", "Unterminated string starting at", 1, 1, 2},
      {R"(["a\)", "Unterminated string starting at", 1, 1, 2},
      {"[\"a\tb\"]", "Invalid control character at", 3, 1, 4},
      {R"("\x")", "Invalid \\escape", 1, 1, 2},
      {R"("\u12")", "Invalid \\uXXXX escape", 2, 1, 3},
      {R"("\ud800\uzzzz")", "Invalid \\uXXXX escape", 8, 1, 9},
      {R"("\ud800\udc00)", "Invalid \\uXXXX escape", 8, 1, 9},
      {"1.", "Extra data", 1, 1, 2},
      {"-Infinityx", "Extra data", 9, 1, 10},
      {"-NaN", "Expecting value", 0, 1, 1},
      {"\f1", "Expecting value", 0, 1, 1},
      // Positions count code points, not bytes.
      {"[\"\xC3\xA9\xF0\x9F\x98\x80\", x]", "Expecting value", 7, 1, 8},
      {"[\n1,\n\n  x]", "Expecting value", 8, 4, 3},
      {"[\n\"\xC3\xA9\", 1 2]", "Expecting ',' delimiter", 9, 2, 8},
  };
  for (const Fault &fault : faults)
    expect_fault(fault);
}

// Describes every fault its own way and keeps the texts it was asked about.
class DescribingHost final : public testing::StandInHost {
public:
  std::optional<host::JsonFault> describe_json_fault(std::string_view text) override {
    asked.emplace_back(text);
    if (text.starts_with("[\"accepted"))
      return std::nullopt;
    return host::JsonFault{"The host's words", 6};
  }
  std::vector<std::string> asked;
};

TEST(JsonParse, TheHostDescribesFaultsButTheNestingLimitIsTheCores) {
  DescribingHost host;
  testing::HostInstalled installed(host);
  // The host's position counts characters: line and column follow from it.
  expect_fault({"[\"\xC3\xA9\",\n x y]", "The host's words", 6, 2, 1});
  // Where the host gives no description, the core's own stands.
  expect_fault({"[\"accepted\", x]", "Expecting value", 13, 1, 14});
  expect_fault(
      {nested(max_depth + 1, "1"), std::string(message::too_deep), max_depth, 1, max_depth + 1});
  EXPECT_EQ(host.asked, (std::vector<std::string>{"[\"\xC3\xA9\",\n x y]", "[\"accepted\", x]"}));
}

TEST(JsonParse, PositionsCountLikeTextModeOnceNewlinesAreTranslated) {
  std::string text = "{\r\n\"a\": 1,\r\n\"b\" 2\r}";
  text.reserve(text.size() + 64);
  const std::size_t capacity = text.capacity();
  io::translate_newlines(text);
  EXPECT_EQ(text, "{\n\"a\": 1,\n\"b\" 2\n}");
  EXPECT_EQ(text.capacity(), capacity);
  expect_fault({text, "Expecting ':' delimiter", 14, 3, 5});

  std::string lone = "\r\r\n\n\rx";
  io::translate_newlines(lone);
  EXPECT_EQ(lone, "\n\n\n\nx");
}

TEST(JsonParse, NestingIsLimitedOnBothPaths) {
  for (const char *inner : {"1", "NaN"}) {
    EXPECT_EQ(parse(nested(max_depth, inner)).root().kind(), Kind::array) << inner;
    expect_fault({nested(max_depth + 1, inner), std::string(message::too_deep), max_depth, 1,
                  max_depth + 1});
  }
  // Far deeper input fails at the same place without exhausting the stack.
  expect_fault(
      {std::string(1000000, '['), std::string(message::too_deep), max_depth, 1, max_depth + 1});
}

} // namespace
} // namespace orvelle::json
