// core/src/csv/sniff_phases.h: the sniffer's two guesses, over the sample's code points.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orvelle::csv::sniffing {

/// What the look at quoted text gives: a quote character when any quoted text was found, and
/// a delimiter when such text sat next to one of the candidates.
struct QuoteGuess {
  std::optional<char32_t> quotechar;
  bool doublequote = false;
  std::optional<char32_t> delimiter;
  bool skipinitialspace = false;
};

/// Sniffer._guess_quote_and_delimiter.
QuoteGuess guess_quote_and_delimiter(std::u32string_view data, std::u32string_view delimiters);

struct DelimiterGuess {
  char32_t delimiter;
  bool skipinitialspace;
};

/// Sniffer._guess_delimiter: the character whose count per line is the most consistent.
std::optional<DelimiterGuess> guess_delimiter(std::u32string_view data,
                                              std::u32string_view delimiters);

} // namespace orvelle::csv::sniffing
