// orvelle/text/utf8.h: decoding and validation of UTF-8 / WTF-8 texts.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orvelle::text {

/// Throws UnicodeDecodeFailure (orvelle/errors.h) unless `bytes` is strict UTF-8, as the host's
/// "utf-8" codec requires (no surrogates, no overlong forms). The failure carries `bytes` and
/// the host's start, end and reason for the first undecodable sequence.
void validate_utf8(const std::string &bytes);

/// Decodes the code point starting at `pos` of a WTF-8 text and advances `pos` past it.
char32_t next_code_point(std::string_view s, std::size_t &pos) noexcept;

/// Decodes the code point ending just before `pos` (> 0) of a WTF-8 text and moves `pos` back
/// to its first byte.
char32_t previous_code_point(std::string_view s, std::size_t &pos) noexcept;

/// Appends `c` (a lone surrogate included) in its WTF-8 form.
void append_code_point(std::string &out, char32_t c);

/// The number of code points in a WTF-8 text.
std::size_t count_code_points(std::string_view s) noexcept;

/// The byte length of the first `n` code points of `s` (all of it when it is shorter).
std::size_t prefix_bytes(std::string_view s, std::size_t n) noexcept;

} // namespace orvelle::text
