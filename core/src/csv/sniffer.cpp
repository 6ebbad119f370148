// core/src/csv/sniffer.cpp: csv.Sniffer().sniff(): the quote-based guess first, the
// frequency-based one for the delimiter when the first finds none.
#include "orvelle/csv/sniffer.h"

#include "orvelle/errors.h"
#include "orvelle/text/utf8.h"
#include "sniff_phases.h"

#include <string>

namespace orvelle::csv {

std::string_view sniff_sample(std::string_view text) noexcept {
  return text.substr(0, text::prefix_bytes(text, SNIFF_SAMPLE_CHARS));
}

std::optional<Dialect> sniff(std::string_view sample, std::string_view delimiters) {
  std::u32string candidates;
  for (char c : delimiters) {
    if (static_cast<unsigned char>(c) >= 0x80)
      throw ValueError("sniffer delimiters must be ASCII characters");
    candidates.push_back(static_cast<char32_t>(c));
  }
  std::u32string data;
  data.reserve(sample.size());
  for (std::size_t pos = 0; pos < sample.size();)
    data.push_back(text::next_code_point(sample, pos));

  // Every delimiter either guess returns is one of the (ASCII) candidates.
  sniffing::QuoteGuess quoted = sniffing::guess_quote_and_delimiter(data, candidates);
  Dialect dialect;
  if (quoted.delimiter) {
    dialect.delimiter = static_cast<char>(*quoted.delimiter);
    dialect.skipinitialspace = quoted.skipinitialspace;
  } else if (auto counted = sniffing::guess_delimiter(data, candidates)) {
    dialect.delimiter = static_cast<char>(counted->delimiter);
    dialect.skipinitialspace = counted->skipinitialspace;
  } else {
    return std::nullopt;
  }
  dialect.quotechar = quoted.quotechar ? static_cast<char>(*quoted.quotechar) : '"';
  dialect.doublequote = quoted.doublequote;
  return dialect;
}

} // namespace orvelle::csv
