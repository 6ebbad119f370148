// core/src/text/host_text.cpp: placeholder (ASCII only) until the Unicode tables land.
#include "orvelle/text/host_text.h"

#include <cctype>

namespace orvelle::text {

std::string_view strip(std::string_view s) noexcept {
  auto space = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r') || (c >= '\x1c' && c <= '\x1f'); };
  while (!s.empty() && space(s.front()))
    s.remove_prefix(1);
  while (!s.empty() && space(s.back()))
    s.remove_suffix(1);
  return s;
}
std::string lower(std::string_view s) {
  std::string out(s);
  for (char &c : out)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}
std::string upper(std::string_view s) {
  std::string out(s);
  for (char &c : out)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}
std::string quoted(std::string_view s) { return "'" + std::string(s) + "'"; }
bool is_decimal(char32_t c) noexcept { return c >= '0' && c <= '9'; }
bool is_word(char32_t c) noexcept { return c < 128 && (std::isalnum(static_cast<int>(c)) || c == '_'); }
bool is_space(char32_t c) noexcept { return c == ' ' || (c >= '\t' && c <= '\r'); }
std::string real_repr(double d) { return std::to_string(d); }
std::string to_text(const json::Value &v) {
  if (v.is_string())
    return std::string(v.as_string());
  return repr(v);
}
std::string repr(const json::Value &v) {
  switch (v.kind()) {
  case json::Kind::null:
    return "None";
  case json::Kind::boolean:
    return v.as_bool() ? "True" : "False";
  case json::Kind::integer:
    return std::to_string(v.as_int());
  case json::Kind::big_integer:
    return std::string(v.as_string());
  case json::Kind::real:
    return real_repr(v.as_real());
  case json::Kind::string:
    return quoted(v.as_string());
  default:
    return "[...]";
  }
}

} // namespace orvelle::text
