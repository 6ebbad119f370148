// core/src/normalize/whole_number.cpp: int() as the host does it: every Unicode decimal digit
// reads as its value and Unicode white space as a space; then a base-10 literal with optional
// sign, single underscores between digits and ASCII white space around it.
#include "orvelle/normalize/whole_number.h"

#include "orvelle/text/host_text.h"
#include "orvelle/text/utf8.h"

#include <cmath>
#include <limits>
#include <string>

namespace orvelle::normalize {
namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
constexpr std::size_t kMaxDigits = 4300; // the host's default int_max_str_digits

// Unicode encodes decimal digits only in contiguous runs of ten, 0 to 9, so a digit's value is
// its distance from the start of its run of consecutive digits, modulo ten (runs may abut).
int digit_value(char32_t c) {
  char32_t start = c;
  while (start > 0 && text::is_decimal(start - 1))
    --start;
  return static_cast<int>((c - start) % 10);
}

// The text with non-ASCII digits and white space replaced by their ASCII forms, or nullopt when
// it holds another non-ASCII character (which no literal accepts).
std::optional<std::string> ascii_form(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    auto byte = static_cast<unsigned char>(text[pos]);
    if (byte < 0x7F) {
      out.push_back(static_cast<char>(byte));
      ++pos;
      continue;
    }
    char32_t c = text::next_code_point(text, pos);
    if (text::is_space(c))
      out.push_back(' ');
    else if (text::is_decimal(c))
      out.push_back(static_cast<char>('0' + digit_value(c)));
    else
      return std::nullopt;
  }
  return out;
}

// The white space int() skips around a literal: blank and tab to carriage return, not the
// separators 0x1C-0x1F that str.isspace() also takes.
bool is_int_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

std::optional<std::int64_t> parse_literal(std::string_view s) {
  std::size_t pos = 0;
  while (pos < s.size() && is_int_space(s[pos]))
    ++pos;
  bool negative = false;
  if (pos < s.size() && (s[pos] == '+' || s[pos] == '-'))
    negative = s[pos++] == '-';
  if (pos == s.size() || !is_digit(s[pos]))
    return std::nullopt;
  // Accumulate the magnitude as a negative number, which has room for the minimum.
  std::int64_t value = 0;
  std::size_t digits = 0;
  bool saturated = false;
  while (pos < s.size()) {
    if (s[pos] == '_') {
      if (pos + 1 == s.size() || !is_digit(s[pos + 1]))
        return std::nullopt;
      ++pos;
    } else if (!is_digit(s[pos])) {
      break;
    }
    int digit = s[pos++] - '0';
    ++digits;
    if (!saturated && value < (kMin + digit) / 10)
      saturated = true;
    if (!saturated)
      value = value * 10 - digit;
  }
  while (pos < s.size() && is_int_space(s[pos]))
    ++pos;
  if (pos != s.size() || digits > kMaxDigits)
    return std::nullopt;
  if (saturated)
    return negative ? kMin : kMax;
  if (negative)
    return value;
  return value == kMin ? kMax : -value;
}

} // namespace

std::optional<std::int64_t> host_int(std::string_view text) {
  std::optional<std::string> ascii = ascii_form(text);
  if (!ascii)
    return std::nullopt;
  return parse_literal(*ascii);
}

std::optional<std::int64_t> host_int(const json::Value &value) {
  switch (value.kind()) {
  case json::Kind::boolean:
    return value.as_bool() ? 1 : 0;
  case json::Kind::integer:
    return value.as_int();
  case json::Kind::big_integer:
    return value.as_string().starts_with('-') ? kMin : kMax;
  case json::Kind::real: {
    double d = value.as_real();
    if (!std::isfinite(d))
      return std::nullopt;
    d = std::trunc(d);
    if (d >= 0x1p63)
      return kMax;
    if (d < -0x1p63)
      return kMin;
    return static_cast<std::int64_t>(d);
  }
  case json::Kind::string:
    return host_int(value.as_string());
  default:
    return std::nullopt;
  }
}

} // namespace orvelle::normalize
