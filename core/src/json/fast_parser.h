// core/src/json/fast_parser.h: the common case, strict JSON, parsed by simdjson.
#pragma once

#include "orvelle/json/document.h"

#include <optional>
#include <string>

namespace orvelle::json {

/// The tree of `text` when simdjson accepts it, or nothing. Everything simdjson accepts the
/// host accepts with the same values; what it refuses (the host's extra literals, integers
/// beyond 64 bits, lone surrogates, nesting beyond max_depth, and every fault) is left to
/// parse_as_host.
std::optional<Document> parse_fast(const std::string &text);

/// parse_fast, its containers built on demand (see parse_on_demand).
std::optional<Document> parse_fast_on_demand(const std::string &text);

} // namespace orvelle::json
