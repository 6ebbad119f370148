// orvelle/csv/sniffer.h: the dialect the host's csv.Sniffer picks for a sample.
#pragma once

#include "orvelle/csv/reader.h"

#include <optional>
#include <string_view>

namespace orvelle::csv {

/// csv.Sniffer().sniff(sample, delimiters): the delimiter, quote character, doublequote and
/// skipinitialspace it settles on, or nullopt where it raises "Could not determine delimiter".
std::optional<Dialect> sniff(std::string_view sample, std::string_view delimiters);

} // namespace orvelle::csv
