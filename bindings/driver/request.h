// bindings/driver/request.h: the host's request object to the core's ConversionRequest.
#pragma once

#include "support/nb.h"

#include "orvelle/convert/conversion_request.h"

namespace orvelle::bind {

/// Reads a request (None, or a mapping with the request keys): truth values by the host's own
/// truthiness, lists from any iterable, paths from str or os.PathLike. A value of the wrong
/// kind raises TypeError naming its key.
ConversionRequest request_from_host(nb::handle json_request);

/// A path from str, bytes or os.PathLike; anything else raises TypeError naming `key`.
std::string path_value(std::string_view key, nb::handle value);

/// The paths of an iterable of paths (not a str or bytes), as path_value takes each.
std::vector<std::string> path_list(std::string_view key, nb::handle value);

/// The gene symbols of an iterable of str (not a str or bytes).
std::set<std::string> text_set(std::string_view key, nb::handle value);

/// A requested phenotype source, or absent when it counts as false.
std::optional<RequestedSource> requested_source(nb::handle value);

} // namespace orvelle::bind
