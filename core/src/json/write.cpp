// core/src/json/write.cpp: the host's json.dumps text, ensure_ascii, indent=4 or compact.
#include "orvelle/json/write.h"

#include "orvelle/text/host_text.h"
#include "orvelle/text/utf8.h"

#include <array>
#include <charconv>
#include <cmath>

namespace orvelle::json {
namespace {

// Bytes written as they are: printable ASCII other than the quote and the backslash.
constexpr std::array<bool, 256> kPlain = [] {
  std::array<bool, 256> plain{};
  for (int c = 0x20; c < 0x7F; ++c)
    plain[c] = c != '"' && c != '\\';
  return plain;
}();

void append_escape(std::string &out, char32_t unit) {
  static constexpr char kHex[] = "0123456789abcdef";
  const char escape[] = {'\\',
                         'u',
                         kHex[(unit >> 12) & 0xF],
                         kHex[(unit >> 8) & 0xF],
                         kHex[(unit >> 4) & 0xF],
                         kHex[unit & 0xF]};
  out.append(escape, sizeof escape);
}

// A WTF-8 text quoted as the host quotes a str with ensure_ascii: the short escapes where
// there are some, every other control or non-ASCII code point as \uXXXX (beyond the BMP as a
// surrogate pair, a lone surrogate as itself).
void append_quoted(std::string &out, std::string_view text) {
  out.push_back('"');
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t plain_end = i;
    while (plain_end < text.size() && kPlain[static_cast<unsigned char>(text[plain_end])])
      ++plain_end;
    out.append(text, i, plain_end - i);
    i = plain_end;
    if (i == text.size())
      break;
    switch (text[i]) {
    case '"':
      out += "\\\"";
      break;
    case '\\':
      out += "\\\\";
      break;
    case '\n':
      out += "\\n";
      break;
    case '\r':
      out += "\\r";
      break;
    case '\t':
      out += "\\t";
      break;
    case '\b':
      out += "\\b";
      break;
    case '\f':
      out += "\\f";
      break;
    default: {
      char32_t code = text::next_code_point(text, i);
      if (code >= 0x10000) {
        code -= 0x10000;
        append_escape(out, 0xD800 + (code >> 10));
        append_escape(out, 0xDC00 + (code & 0x3FF));
      } else {
        append_escape(out, code);
      }
      continue; // next_code_point moved past it
    }
    }
    ++i;
  }
  out.push_back('"');
}

} // namespace

Writer::Writer(Layout layout) : layout_(layout) {}

void Writer::newline_indent(std::size_t depth) {
  out_.push_back('\n');
  out_.append(4 * depth, ' ');
}

void Writer::before_value() {
  if (after_key_) {
    after_key_ = false;
    return;
  }
  if (levels_.empty())
    return;
  Level &level = levels_.back();
  if (level.has_items)
    out_ += layout_ == Layout::compact ? ", " : ",";
  level.has_items = true;
  if (layout_ == Layout::indented)
    newline_indent(levels_.size());
}

void Writer::close_level(char closer) {
  const bool has_items = levels_.back().has_items;
  levels_.pop_back();
  if (has_items && layout_ == Layout::indented)
    newline_indent(levels_.size());
  out_.push_back(closer);
}

Writer &Writer::begin_array() {
  before_value();
  out_.push_back('[');
  levels_.emplace_back();
  return *this;
}

Writer &Writer::end_array() {
  close_level(']');
  return *this;
}

Writer &Writer::begin_object() {
  before_value();
  out_.push_back('{');
  levels_.emplace_back();
  return *this;
}

Writer &Writer::end_object() {
  close_level('}');
  return *this;
}

Writer &Writer::key(std::string_view name) {
  before_value();
  append_quoted(out_, name);
  out_ += ": ";
  after_key_ = true;
  return *this;
}

Writer &Writer::null() {
  before_value();
  out_ += "null";
  return *this;
}

Writer &Writer::boolean(bool b) {
  before_value();
  out_ += b ? "true" : "false";
  return *this;
}

Writer &Writer::integer(std::int64_t i) {
  before_value();
  char digits[24];
  auto [end, error] = std::to_chars(digits, digits + sizeof digits, i);
  out_.append(digits, end);
  return *this;
}

Writer &Writer::big_integer(std::string_view digits) {
  before_value();
  out_ += digits;
  return *this;
}

Writer &Writer::real(double d) {
  before_value();
  if (std::isnan(d))
    out_ += "NaN";
  else if (std::isinf(d))
    out_ += d > 0 ? "Infinity" : "-Infinity";
  else
    out_ += text::real_repr(d);
  return *this;
}

Writer &Writer::string(std::string_view text) {
  before_value();
  append_quoted(out_, text);
  return *this;
}

Writer &Writer::value(const Value &v) {
  switch (v.kind()) {
  case Kind::null:
    return null();
  case Kind::boolean:
    return boolean(v.as_bool());
  case Kind::integer:
    return integer(v.as_int());
  case Kind::big_integer:
    return big_integer(v.as_string());
  case Kind::real:
    return real(v.as_real());
  case Kind::string:
    return string(v.as_string());
  case Kind::array:
    begin_array();
    for (const Value &item : v.items())
      value(item);
    return end_array();
  case Kind::object:
    begin_object();
    for (const Member &member : v.members())
      key(member.key).value(member.value);
    return end_object();
  }
  return *this;
}

} // namespace orvelle::json
