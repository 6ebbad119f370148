// core/tests/host_text_test.cpp: the host's string semantics: case mapping, stripping,
// quoting, number and text forms, UTF-8.
#include "orvelle/errors.h"
#include "orvelle/json/document.h"
#include "orvelle/text/host_text.h"
#include "orvelle/text/utf8.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace orvelle::text {
namespace {

TEST(CaseMapping, AsciiFastPathMapsLettersOnly) {
  std::string all;
  for (int c = 0; c < 128; ++c)
    all.push_back(static_cast<char>(c));
  std::string lowered = lower(all), uppered = upper(all);
  for (int c = 0; c < 128; ++c) {
    EXPECT_EQ(lowered[c], c >= 'A' && c <= 'Z' ? c + 32 : c) << c;
    EXPECT_EQ(uppered[c], c >= 'a' && c <= 'z' ? c - 32 : c) << c;
  }
  // ASCII mixed into non-ASCII text takes the general path and must map alike.
  EXPECT_EQ(lower("AbC \xC3\x89t\xC3\xA9 Z"), "abc \xC3\xA9t\xC3\xA9 z");
}

TEST(CaseMapping, FullMappingsGrowTheText) {
  EXPECT_EQ(upper("stra\xC3\x9F"
                  "e"),
            "STRASSE");                                     // sharp s
  EXPECT_EQ(upper("\xEF\xAC\x83"), "FFI");                  // ffi ligature
  EXPECT_EQ(lower("\xC4\xB0"), "i\xCC\x87");                // capital I with dot above
  EXPECT_EQ(upper("\xF0\x90\x90\xA8"), "\xF0\x90\x90\x80"); // Deseret, beyond the BMP
  EXPECT_EQ(upper("a\xED\xA0\x80"), "A\xED\xA0\x80");       // a lone surrogate stays
}

TEST(CaseMapping, CapitalSigmaIsFinalAfterACasedLetterAtAWordEnd) {
  const std::string S = "\xCE\xA3", A = "\xCE\x91", s = "\xCF\x83", final_s = "\xCF\x82",
                    a = "\xCE\xB1";
  EXPECT_EQ(lower(S), s);
  EXPECT_EQ(lower(A + S), a + final_s);
  EXPECT_EQ(lower(A + S + A), a + s + a);
  EXPECT_EQ(lower(A + S + " " + A), a + final_s + " " + a);
  EXPECT_EQ(lower(A + "." + S), a + "." + final_s); // '.' is case-ignorable
  EXPECT_EQ(lower(A + S + "'" + A), a + s + "'" + a);
  EXPECT_EQ(lower("1" + S), "1" + s); // a digit is not cased
}

TEST(Strip, RemovesUnicodeSpaceAndReturnsAView) {
  const std::string text = "\xE3\x80\x80 \t x y \xC2\x85\n"; // ideographic space, NEL
  std::string_view stripped = strip(text);
  EXPECT_EQ(stripped, "x y");
  EXPECT_EQ(stripped.data(), text.data() + 6);
  EXPECT_EQ(strip("\xE2\x80\x8Bx"), "\xE2\x80\x8Bx"); // zero-width space is not white space
  EXPECT_EQ(strip(" \x1c "), "");
}

TEST(Quoted, ChoosesQuotesAndEscapesLikeRepr) {
  EXPECT_EQ(quoted("/"), "'/'");
  EXPECT_EQ(quoted("it's"), "\"it's\"");
  EXPECT_EQ(quoted("'\""), "'\\'\"'");
  EXPECT_EQ(quoted("a\\b\t\n\r"), "'a\\\\b\\t\\n\\r'");
  EXPECT_EQ(text::quoted(std::string("\0\x1f\x7f", 3)), "'\\x00\\x1f\\x7f'");
  EXPECT_EQ(quoted("\xC3\xA9\xC2\xAD"), "'\xC3\xA9\\xad'"); // soft hyphen is not printable
  EXPECT_EQ(quoted("\xED\xA0\x80\xEE\x80\x80"), "'\\ud800\\ue000'");
  EXPECT_EQ(quoted("\xF4\x8F\xBF\xBF"), "'\\U0010ffff'");
}

TEST(RealRepr, ShortestDigitsInTheHostsLayout) {
  const std::vector<std::pair<double, std::string>> cases = {
      {0.0, "0.0"},
      {-0.0, "-0.0"},
      {1.0, "1.0"},
      {0.1, "0.1"},
      {1e-4, "0.0001"},
      {1e-5, "1e-05"},
      {-1.5e-7, "-1.5e-07"},
      {123.456, "123.456"},
      {9999999999999998.0, "9999999999999998.0"},
      {1e16, "1e+16"},
      {1.5e300, "1.5e+300"},
      {5e-324, "5e-324"},
      {std::numeric_limits<double>::max(), "1.7976931348623157e+308"},
      {std::numeric_limits<double>::infinity(), "inf"},
      {-std::numeric_limits<double>::infinity(), "-inf"},
      {-std::nan(""), "nan"},
  };
  for (const auto &[value, text] : cases)
    EXPECT_EQ(real_repr(value), text);
}

TEST(ToText, PrintsJsonValuesAsHostObjects) {
  json::DocumentBuilder builder;
  std::vector<json::Value> items = {json::Value::integer(-7),
                                    builder.string("it's"),
                                    json::Value(),
                                    json::Value::boolean(true),
                                    json::Value::real(2.0),
                                    builder.big_integer("-123456789012345678901234567890")};
  std::vector<json::Member> members = {{builder.key("k"), builder.array(items)},
                                       {builder.key("e"), builder.object({})}};
  json::Document doc = builder.finish(builder.object(members));
  const std::string expected =
      "{'k': [-7, \"it's\", None, True, 2.0, -123456789012345678901234567890], 'e': {}}";
  EXPECT_EQ(to_text(doc.root()), expected);
  EXPECT_EQ(repr(doc.root()), expected);

  json::DocumentBuilder text_builder;
  json::Document text = text_builder.finish(text_builder.string("a'b"));
  EXPECT_EQ(to_text(text.root()), "a'b");
  EXPECT_EQ(repr(text.root()), "\"a'b\"");
}

TEST(Utf8, WalksCodePointsBothWaysIncludingLoneSurrogates) {
  const std::string s = "a\xED\xA0\x80\xF0\x9F\x98\x80\xC3\xA9";
  std::vector<char32_t> forward, backward;
  for (std::size_t pos = 0; pos < s.size();)
    forward.push_back(next_code_point(s, pos));
  for (std::size_t pos = s.size(); pos > 0;)
    backward.insert(backward.begin(), previous_code_point(s, pos));
  EXPECT_EQ(forward, (std::vector<char32_t>{'a', 0xD800, 0x1F600, 0xE9}));
  EXPECT_EQ(backward, forward);

  std::string rebuilt;
  for (char32_t c : forward)
    append_code_point(rebuilt, c);
  EXPECT_EQ(rebuilt, s);
  EXPECT_EQ(count_code_points(s), 4u);
  EXPECT_EQ(prefix_bytes(s, 2), 4u);
  EXPECT_EQ(prefix_bytes(s, 9), s.size());
}

TEST(Utf8, ReportsTheFirstBadSequenceAsTheHostDecoderDoes) {
  struct Case {
    std::string bytes;
    std::size_t start, end;
    const char *reason;
  };
  const std::vector<Case> cases = {
      {"ab\x80", 2, 3, "invalid start byte"},
      {"\xC0\xAF", 0, 1, "invalid start byte"},
      {"\xE0\x80\x80", 0, 1, "invalid continuation byte"},     // overlong
      {"x\xED\xA0\x80", 1, 2, "invalid continuation byte"},    // surrogate
      {"\xF4\x90\x80\x80", 0, 1, "invalid continuation byte"}, // above U+10FFFF
      {"\xE2\x82z", 0, 2, "invalid continuation byte"},
      {"\xF0\x9F\x98", 0, 3, "unexpected end of data"},
      {"\xC3\xA9\xE2\x82", 2, 4, "unexpected end of data"},
  };
  for (const Case &c : cases) {
    try {
      validate_utf8(c.bytes);
      ADD_FAILURE() << "accepted " << c.reason;
    } catch (const UnicodeDecodeFailure &failure) {
      EXPECT_EQ(failure.data(), c.bytes);
      EXPECT_EQ(failure.start(), c.start);
      EXPECT_EQ(failure.end(), c.end);
      EXPECT_EQ(failure.reason(), c.reason);
    }
  }
  EXPECT_NO_THROW(validate_utf8("\xF4\x8F\xBF\xBF\xEF\xBF\xBF"));
}

} // namespace
} // namespace orvelle::text
