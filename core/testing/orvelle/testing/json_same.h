// orvelle/testing/json_same.h: structural equality of JSON trees, for the core's tests and
// fuzzers (the library itself never compares trees).
#pragma once

#include "orvelle/json/value.h"

#include <bit>
#include <cmath>
#include <cstdint>

namespace orvelle::json {

/// Reals bit for bit (-0.0 apart from 0.0), but NaN equal to NaN.
inline bool same_real(double a, double b) {
  if (std::isnan(a) || std::isnan(b))
    return std::isnan(a) && std::isnan(b);
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

/// Two trees alike: kinds, values, and items and members in order.
inline bool same_tree(const Value &a, const Value &b) {
  if (a.kind() != b.kind())
    return false;
  switch (a.kind()) {
  case Kind::null:
    return true;
  case Kind::boolean:
    return a.as_bool() == b.as_bool();
  case Kind::integer:
    return a.as_int() == b.as_int();
  case Kind::real:
    return same_real(a.as_real(), b.as_real());
  case Kind::big_integer:
  case Kind::string:
    return a.as_string() == b.as_string();
  case Kind::array:
    for (std::size_t i = 0; i < a.size(); ++i)
      if (i >= b.size() || !same_tree(a.items()[i], b.items()[i]))
        return false;
    return a.size() == b.size();
  case Kind::object:
    for (std::size_t i = 0; i < a.size(); ++i)
      if (i >= b.size() || a.members()[i].key != b.members()[i].key ||
          !same_tree(a.members()[i].value, b.members()[i].value))
        return false;
    return a.size() == b.size();
  }
  return false;
}

} // namespace orvelle::json
