// core/src/text/utf8.cpp: placeholder until the UTF-8 helpers land.
#include "orvelle/text/utf8.h"

namespace orvelle::text {

void validate_utf8(const std::string &) {}

char32_t next_code_point(std::string_view s, std::size_t &pos) noexcept {
  auto b = static_cast<unsigned char>(s[pos]);
  std::size_t len = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
  char32_t c = len == 1 ? b : len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
  for (std::size_t i = 1; i < len && pos + i < s.size(); ++i)
    c = (c << 6) | (static_cast<unsigned char>(s[pos + i]) & 0x3F);
  pos += len;
  return c;
}

void append_code_point(std::string &out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

std::size_t count_code_points(std::string_view s) noexcept {
  std::size_t n = 0;
  for (char c : s)
    n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

std::size_t prefix_bytes(std::string_view s, std::size_t n) noexcept {
  std::size_t pos = 0;
  while (pos < s.size() && n > 0) {
    next_code_point(s, pos);
    --n;
  }
  return pos < s.size() ? pos : s.size();
}

} // namespace orvelle::text
