// core/src/csv/sniffer.cpp: the sample cut, and the dialect the installed host sniffs.
#include "orvelle/csv/sniffer.h"

#include "orvelle/errors.h"
#include "orvelle/host.h"
#include "orvelle/text/utf8.h"

namespace orvelle::csv {

std::string_view sniff_sample(std::string_view text) noexcept {
  return text.substr(0, text::prefix_bytes(text, SNIFF_SAMPLE_CHARS));
}

std::optional<Dialect> sniff(std::string_view sample, std::string_view delimiters) {
  for (char c : delimiters)
    if (static_cast<unsigned char>(c) >= 0x80)
      throw ValueError("sniffer delimiters must be ASCII characters");
  return host::current().sniff_csv(sample, delimiters);
}

} // namespace orvelle::csv
