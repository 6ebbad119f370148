// orvelle/csv/sniffer.h: the dialect the host's csv.Sniffer picks for a sample.
#pragma once

#include "orvelle/csv/reader.h"

#include <cstddef>
#include <optional>
#include <string_view>

namespace orvelle::csv {

/// How much of a text, in characters, is handed to the sniffer.
inline constexpr std::size_t SNIFF_SAMPLE_CHARS = 4096;

/// The first SNIFF_SAMPLE_CHARS characters of a WTF-8 text (all of it when shorter).
std::string_view sniff_sample(std::string_view text) noexcept;

/// csv.Sniffer().sniff(sample, delimiters) of the running host (asked through the installed
/// host, orvelle/host.h): the delimiter, quote character, doublequote and skipinitialspace it
/// settles on, or nullopt where it raises "Could not determine delimiter". `delimiters` holds
/// the candidate delimiters, ASCII only (ValueError otherwise). Throws std::logic_error when
/// no host is installed.
std::optional<Dialect> sniff(std::string_view sample, std::string_view delimiters);

} // namespace orvelle::csv
