// core/src/text/host_text.cpp: the host's str methods, repr() and str() over WTF-8 texts and
// JSON values. Non-ASCII characters follow the generated tables (unicode_db.h).
#include "orvelle/text/host_text.h"

#include "orvelle/text/utf8.h"
#include "unicode_db.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace orvelle::text {
namespace {

constexpr char32_t kCapitalSigma = 0x3A3;
constexpr char32_t kSmallSigma = 0x3C3;
constexpr char32_t kFinalSigma = 0x3C2;

bool is_ascii(std::string_view s) noexcept {
  return std::all_of(s.begin(), s.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

char ascii_lower(char c) noexcept { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }
char ascii_upper(char c) noexcept { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

bool is_case_ignorable(char32_t c) noexcept {
  return unicode_db::has(c, unicode_db::case_ignorable);
}

/// Whether the capital sigma at [start, end) of `s` is word-final: a cased character comes
/// before it and none after it, case-ignorable characters skipped on both sides.
bool is_final_sigma(std::string_view s, std::size_t start, std::size_t end) noexcept {
  std::size_t pos = start;
  char32_t c = 0;
  do {
    if (pos == 0)
      return false;
    c = previous_code_point(s, pos);
  } while (is_case_ignorable(c));
  if (!unicode_db::has(c, unicode_db::cased))
    return false;
  for (pos = end; pos < s.size();) {
    c = next_code_point(s, pos);
    if (!is_case_ignorable(c))
      return !unicode_db::has(c, unicode_db::cased);
  }
  return true;
}

/// ASCII bytes go through `ascii_map`; any other code point through
/// `append_mapped(out, c, start, end)`, which sees where it sits in `s`.
template <class AsciiMap, class AppendMapped>
std::string map_case(std::string_view s, AsciiMap ascii_map, AppendMapped append_mapped) {
  std::string out;
  if (is_ascii(s)) {
    out.resize(s.size());
    std::transform(s.begin(), s.end(), out.begin(), ascii_map);
    return out;
  }
  out.reserve(s.size());
  for (std::size_t pos = 0; pos < s.size();) {
    if (static_cast<unsigned char>(s[pos]) < 0x80) {
      out.push_back(ascii_map(s[pos++]));
      continue;
    }
    std::size_t start = pos;
    char32_t c = next_code_point(s, pos);
    append_mapped(out, c, start, pos);
  }
  return out;
}

void append_hex(std::string &out, char kind, char32_t c, int digits) {
  static constexpr char hex[] = "0123456789abcdef";
  out.push_back('\\');
  out.push_back(kind);
  for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
    out.push_back(hex[(c >> shift) & 0xF]);
}

void append_quoted(std::string &out, std::string_view s) {
  // Single quotes unless the text holds a single quote and no double quote.
  const char quote =
      s.find('\'') != std::string_view::npos && s.find('"') == std::string_view::npos ? '"' : '\'';
  out.push_back(quote);
  for (std::size_t pos = 0; pos < s.size();) {
    const char b = s[pos];
    if (static_cast<unsigned char>(b) < 0x80) {
      ++pos;
      if (b == quote || b == '\\') {
        out.push_back('\\');
        out.push_back(b);
      } else if (b == '\t') {
        out.append("\\t");
      } else if (b == '\n') {
        out.append("\\n");
      } else if (b == '\r') {
        out.append("\\r");
      } else if (b < ' ' || b == 0x7F) {
        append_hex(out, 'x', static_cast<char32_t>(b), 2);
      } else {
        out.push_back(b);
      }
      continue;
    }
    const std::size_t start = pos;
    const char32_t c = next_code_point(s, pos);
    if (unicode_db::has(c, unicode_db::printable))
      out.append(s.substr(start, pos - start));
    else if (c <= 0xFF)
      append_hex(out, 'x', c, 2);
    else if (c <= 0xFFFF)
      append_hex(out, 'u', c, 4);
    else
      append_hex(out, 'U', c, 8);
  }
  out.push_back(quote);
}

void append_real(std::string &out, double d) {
  if (std::isnan(d)) {
    out.append("nan");
    return;
  }
  if (std::isinf(d)) {
    out.append(d < 0 ? "-inf" : "inf");
    return;
  }
  // The shortest round-trip digits in scientific form, e.g. "-1.2345e+02".
  char buf[32];
  const char *end = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::scientific).ptr;
  std::string_view sci(buf, static_cast<std::size_t>(end - buf));
  const std::size_t e = sci.find('e');
  int exponent = 0;
  std::from_chars(sci.data() + e + (sci[e + 1] == '+' ? 2 : 1), sci.data() + sci.size(), exponent);
  // The host switches to exponent form when the decimal point would sit more than 16 digits
  // after, or 4 or more places before, the first digit; its exponent text matches to_chars.
  if (exponent < -4 || exponent >= 16) {
    out.append(sci);
    return;
  }
  std::string_view mantissa = sci.substr(0, e);
  if (mantissa.front() == '-') {
    out.push_back('-');
    mantissa.remove_prefix(1);
  }
  std::string digits;
  digits.push_back(mantissa.front());
  if (mantissa.size() > 2)
    digits.append(mantissa.substr(2)); // skip the point
  if (exponent < 0) {
    out.append("0.");
    out.append(static_cast<std::size_t>(-exponent - 1), '0');
    out.append(digits);
    return;
  }
  const std::size_t integral = static_cast<std::size_t>(exponent) + 1;
  if (digits.size() <= integral) {
    out.append(digits);
    out.append(integral - digits.size(), '0');
    out.append(".0");
  } else {
    out.append(digits, 0, integral);
    out.push_back('.');
    out.append(digits, integral);
  }
}

void append_repr(std::string &out, const json::Value &v) {
  switch (v.kind()) {
  case json::Kind::null:
    out.append("None");
    return;
  case json::Kind::boolean:
    out.append(v.as_bool() ? "True" : "False");
    return;
  case json::Kind::integer: {
    char buf[24];
    out.append(buf, std::to_chars(buf, buf + sizeof buf, v.as_int()).ptr);
    return;
  }
  case json::Kind::big_integer:
    out.append(v.as_string());
    return;
  case json::Kind::real:
    append_real(out, v.as_real());
    return;
  case json::Kind::string:
    append_quoted(out, v.as_string());
    return;
  case json::Kind::array: {
    out.push_back('[');
    const char *separator = "";
    for (const json::Value &item : v.items()) {
      out.append(separator);
      append_repr(out, item);
      separator = ", ";
    }
    out.push_back(']');
    return;
  }
  case json::Kind::object: {
    out.push_back('{');
    const char *separator = "";
    for (const json::Member &member : v.members()) {
      out.append(separator);
      append_quoted(out, member.key);
      out.append(": ");
      append_repr(out, member.value);
      separator = ", ";
    }
    out.push_back('}');
    return;
  }
  }
}

} // namespace

namespace {
// The ASCII characters str.isspace() accepts: tab to carriage return, the four separators
// 0x1C-0x1F and the blank. Every other ASCII byte ends the run without a table look-up.
bool is_ascii_str_space(unsigned char c) noexcept {
  return c == ' ' || (c >= '\t' && c <= '\r') || (c >= 0x1C && c <= 0x1F);
}
} // namespace

std::string_view strip(std::string_view s) noexcept {
  std::size_t begin = 0;
  while (begin < s.size()) {
    auto byte = static_cast<unsigned char>(s[begin]);
    if (byte < 0x80) {
      if (!is_ascii_str_space(byte))
        break;
      ++begin;
      continue;
    }
    std::size_t next = begin;
    if (!is_space(next_code_point(s, next)))
      break;
    begin = next;
  }
  std::size_t end = s.size();
  while (end > begin) {
    auto byte = static_cast<unsigned char>(s[end - 1]);
    if (byte < 0x80) {
      if (!is_ascii_str_space(byte))
        break;
      --end;
      continue;
    }
    std::size_t previous = end;
    if (!is_space(previous_code_point(s, previous)))
      break;
    end = previous;
  }
  return s.substr(begin, end - begin);
}

std::string lower(std::string_view s) {
  return map_case(
      s, ascii_lower, [s](std::string &out, char32_t c, std::size_t start, std::size_t end) {
        if (c == kCapitalSigma)
          append_code_point(out, is_final_sigma(s, start, end) ? kFinalSigma : kSmallSigma);
        else
          unicode_db::append_lower(out, c);
      });
}

std::string upper(std::string_view s) {
  return map_case(s, ascii_upper, [](std::string &out, char32_t c, std::size_t, std::size_t) {
    unicode_db::append_upper(out, c);
  });
}

std::vector<std::string_view> split_stripped(std::string_view s, std::string_view separator) {
  std::vector<std::string_view> pieces;
  for (std::size_t at; (at = s.find(separator)) != std::string_view::npos;) {
    pieces.push_back(strip(s.substr(0, at)));
    s.remove_prefix(at + separator.size());
  }
  pieces.push_back(strip(s));
  return pieces;
}

std::string quoted(std::string_view s) {
  std::string out;
  out.reserve(s.size() + 2);
  append_quoted(out, s);
  return out;
}

std::string quoted_or_none(const std::optional<std::string> &s) {
  return s ? quoted(*s) : std::string("None");
}

bool is_decimal(char32_t c) noexcept { return unicode_db::has(c, unicode_db::decimal); }
bool is_space(char32_t c) noexcept {
  return c < 0x80 ? is_ascii_str_space(static_cast<unsigned char>(c))
                  : unicode_db::has(c, unicode_db::space);
}

std::string real_repr(double d) {
  std::string out;
  append_real(out, d);
  return out;
}

std::string to_text(const json::Value &v) {
  if (v.is_string())
    return std::string(v.as_string());
  return repr(v);
}

std::string repr(const json::Value &v) {
  std::string out;
  append_repr(out, v);
  return out;
}

std::string_view unicode_version() noexcept { return unicode_db::version(); }
std::string_view unicode_tables_python() noexcept { return unicode_db::generator_python(); }

} // namespace orvelle::text
