// core/src/json/on_demand.h: trees over simdjson's parsed document, whose containers are built
// when first looked into, so a reader that looks at a few members pays for those alone.
#pragma once

#include "arena.h"
#include "orvelle/json/value.h"

#include <simdjson.h>

#include <cstdint>

namespace orvelle::json {

/// An array or object of a parsed document, and what was built of it.
struct DeferredContainer {
  simdjson::dom::element element;
  Arena *arena;
  const void *built = nullptr; // its Value or Member array, once built
  std::uint32_t count = 0;     // for an object: the members left once repeated names are merged
  bool is_built = false;
  bool looked_up = false; // an object's first lookup read it in place
};

/// The value of `element` in the arena: scalars at once, texts pointing into the parsed
/// document's own buffer (which must live as long as the arena), containers deferred.
Value deferred_value(simdjson::dom::element element, Arena &arena);

/// The value of a number, true, false or null of a parsed document.
Value scalar_value(simdjson::dom::element element, Arena &arena);

} // namespace orvelle::json
