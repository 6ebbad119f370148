// core/src/text/utf8.cpp: strict UTF-8 validation with the host decoder's error report, and
// walking WTF-8 texts by code point.
#include "orvelle/text/utf8.h"

#include "orvelle/errors.h"

#include <simdjson.h>

#include <algorithm>

namespace orvelle::text {
namespace {

unsigned char byte_at(std::string_view s, std::size_t pos) noexcept {
  return static_cast<unsigned char>(s[pos]);
}

bool is_continuation(unsigned char b) noexcept { return (b & 0xC0) == 0x80; }

/// Bytes in the sequence a lead byte starts (1 for ASCII and for stray bytes).
std::size_t sequence_length(unsigned char lead) noexcept {
  return lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
}

struct DecodeError {
  std::size_t start, end;
  const char *reason;
};

/// Where the host's "utf-8" decoder stops on `s`, which is known to be invalid. The decoder
/// reads one sequence at a time: a byte that cannot start one is an invalid start byte; a lead
/// byte followed by a byte outside the range it allows (which is what rules out overlong
/// forms, surrogates and code points above U+10FFFF) ends the error just before that byte; a
/// sequence cut short by the end of the input, but valid so far, runs to the end.
DecodeError first_error(std::string_view s) noexcept {
  constexpr const char *invalid_start = "invalid start byte";
  constexpr const char *invalid_continuation = "invalid continuation byte";
  constexpr const char *unexpected_end = "unexpected end of data";
  const std::size_t n = s.size();
  std::size_t i = 0;
  while (i < n) {
    const unsigned char lead = byte_at(s, i);
    if (lead < 0x80) {
      ++i;
      continue;
    }
    if (lead < 0xC2 || lead > 0xF4)
      return {i, i + 1, invalid_start};
    const std::size_t length = sequence_length(lead);
    // The second byte's range depends on the lead byte; later bytes are any continuation.
    unsigned char low = 0x80, high = 0xBF;
    if (lead == 0xE0)
      low = 0xA0; // overlong below U+0800
    else if (lead == 0xED)
      high = 0x9F; // surrogates
    else if (lead == 0xF0)
      low = 0x90; // overlong below U+10000
    else if (lead == 0xF4)
      high = 0x8F; // above U+10FFFF
    for (std::size_t k = 1; k < length; ++k) {
      if (i + k == n)
        return {i, n, unexpected_end};
      const unsigned char b = byte_at(s, i + k);
      bool fits = k == 1 ? b >= low && b <= high : is_continuation(b);
      if (!fits)
        return {i, i + k, invalid_continuation};
    }
    i += length;
  }
  return {n, n, unexpected_end}; // not reached for invalid input
}

} // namespace

void validate_utf8(const std::string &bytes) {
  if (simdjson::validate_utf8(bytes.data(), bytes.size()))
    return;
  DecodeError error = first_error(bytes);
  throw UnicodeDecodeFailure(bytes, error.start, error.end, error.reason);
}

char32_t next_code_point(std::string_view s, std::size_t &pos) noexcept {
  const unsigned char lead = byte_at(s, pos);
  const std::size_t length = sequence_length(lead);
  if (length == 1) {
    ++pos;
    return lead;
  }
  char32_t c = lead & (0x7F >> length);
  const std::size_t end = std::min(pos + length, s.size());
  for (++pos; pos < end; ++pos)
    c = (c << 6) | (byte_at(s, pos) & 0x3F);
  return c;
}

char32_t previous_code_point(std::string_view s, std::size_t &pos) noexcept {
  std::size_t start = pos - 1;
  while (start > 0 && pos - start < 4 && is_continuation(byte_at(s, start)))
    --start;
  pos = start;
  return next_code_point(s, start);
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
  return static_cast<std::size_t>(std::count_if(
      s.begin(), s.end(), [](char c) { return !is_continuation(static_cast<unsigned char>(c)); }));
}

std::size_t prefix_bytes(std::string_view s, std::size_t n) noexcept {
  std::size_t pos = 0;
  for (; n > 0 && pos < s.size(); --n)
    pos += sequence_length(byte_at(s, pos));
  return std::min(pos, s.size());
}

} // namespace orvelle::text
