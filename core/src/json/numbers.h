// core/src/json/numbers.h: number tokens to the values the host makes of them.
#pragma once

#include "arena.h"
#include "orvelle/json/value.h"

#include <string_view>

namespace orvelle::json {

/// An integer token (-?digits) as int() reads it: 64-bit when it fits, else its digits.
Value integer_value(std::string_view token, Arena &arena);

/// A real token as float() reads it: correctly rounded, beyond the range infinite or zero.
double real_value(std::string_view token);

} // namespace orvelle::json
