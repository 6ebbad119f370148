// core/src/json/syntax_error.h: the core's own texts for JSON syntax errors, and the error as
// the host describes it.
#pragma once

#include "orvelle/json/parse.h"

#include <cstddef>
#include <string_view>

namespace orvelle::json {

// The host's wording as of Python 3.10, which the core falls back on without a host; each
// host release may word and place a fault its own way.
namespace message {
inline constexpr std::string_view bom = "Unexpected UTF-8 BOM (decode using utf-8-sig)";
inline constexpr std::string_view expecting_value = "Expecting value";
inline constexpr std::string_view expecting_name =
    "Expecting property name enclosed in double quotes";
inline constexpr std::string_view expecting_colon = "Expecting ':' delimiter";
inline constexpr std::string_view expecting_comma = "Expecting ',' delimiter";
inline constexpr std::string_view unterminated_string = "Unterminated string starting at";
inline constexpr std::string_view control_character = "Invalid control character at";
inline constexpr std::string_view invalid_escape = "Invalid \\escape";
inline constexpr std::string_view invalid_unicode_escape = "Invalid \\uXXXX escape";
inline constexpr std::string_view extra_data = "Extra data";
inline constexpr std::string_view too_deep = "Nesting deeper than 1000 levels";
static_assert(max_depth == 1000, "message::too_deep names the limit");
} // namespace message

/// Throws SyntaxError for the fault the parser found at byte `offset` of the WTF-8 `text`: as
/// the installed host rules describe the text, else (no host, or no description from it) as
/// `msg` at `offset`. A nesting too deep is the core's own limit and always its own. The
/// position, line and column count code points, as the host counts characters of a str.
[[noreturn]] void throw_syntax_error(std::string_view text, std::size_t offset,
                                     std::string_view msg);

} // namespace orvelle::json
