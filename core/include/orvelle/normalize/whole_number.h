// orvelle/normalize/whole_number.h: the host's int() of a rule value, for rules given as a
// whole number ("a numeric string is converted").
#pragma once

#include "orvelle/json/value.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace orvelle::normalize {

/// int(value) as the host computes it for a truth value, a number or a text, saturated to 64
/// bits. nullopt where the host raises: NaN, the infinities, lists, objects, null, and texts
/// that are not a base-10 integer (Unicode digits, white space around and single underscores
/// between digits allowed; more than 4300 digits refused, the host's default limit).
std::optional<std::int64_t> host_int(const json::Value &value);

/// int(text) for a text alone, as above.
std::optional<std::int64_t> host_int(std::string_view text);

} // namespace orvelle::normalize
