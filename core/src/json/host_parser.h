// core/src/json/host_parser.h: the exact reading of the host's json.loads.
#pragma once

#include "orvelle/json/document.h"

#include <string_view>

namespace orvelle::json {

/// Parses `text` (the WTF-8 form of a str) exactly as the host's json.loads parses that str:
/// the same documents accepted with the same values, and for the rest the host's error at the
/// host's position. Slower than simdjson; it decides wherever the two could differ.
Document parse_as_host(std::string_view text);

} // namespace orvelle::json
