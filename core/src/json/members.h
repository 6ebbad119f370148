// core/src/json/members.h: the host's rule for repeated member names, shared by every tree maker.
#pragma once

#include "orvelle/json/value.h"

#include <cstddef>
#include <span>

namespace orvelle::json {

/// Keeps one member per name, in place: a repeated name keeps its first position and takes
/// the last value, as the host's dict does. Returns how many members remain at the front.
std::size_t keep_unique_members(std::span<Member> members);

} // namespace orvelle::json
