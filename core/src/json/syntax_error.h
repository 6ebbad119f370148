// core/src/json/syntax_error.h: the host's texts for JSON syntax errors, and the error itself
// at the host's position.
#pragma once

#include "orvelle/json/parse.h"

#include <cstddef>
#include <string_view>

namespace orvelle::json {

// The host's own wording; the set changes with the host (see trailing_comma below).
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
inline constexpr std::string_view trailing_comma_in_object =
    "Illegal trailing comma before end of object";
inline constexpr std::string_view trailing_comma_in_array =
    "Illegal trailing comma before end of array";
inline constexpr std::string_view too_deep = "Nesting deeper than 1000 levels";
static_assert(max_depth == 1000, "message::too_deep names the limit");
} // namespace message

/// Whether the host names a comma before a closing bracket as such (Python 3.13 on) rather
/// than as a missing value or member name. The build sets it for the host it targets.
#ifdef ORVELLE_JSON_TRAILING_COMMA_ERRORS
inline constexpr bool host_names_trailing_comma = true;
#else
inline constexpr bool host_names_trailing_comma = false;
#endif

/// Throws SyntaxError for a fault found at byte `offset` of the WTF-8 `text`; the position,
/// line and column count code points, as the host counts characters of a str.
[[noreturn]] void throw_syntax_error(std::string_view text, std::size_t offset,
                                     std::string_view msg);

} // namespace orvelle::json
