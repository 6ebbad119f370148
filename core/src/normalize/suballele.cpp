// core/src/normalize/suballele.cpp: recognising sub-allele names ("*4.001") by hand, as the
// host's pattern with its Unicode digits would.
#include "orvelle/normalize/suballele.h"

#include "orvelle/text/host_text.h"
#include "orvelle/text/utf8.h"

namespace orvelle::normalize {
namespace {

// Advances `pos` over decimal digits (\d of a str pattern); true when there was at least one.
bool skip_digits(std::string_view text, std::size_t &pos) noexcept {
  const std::size_t start = pos;
  while (pos < text.size()) {
    auto byte = static_cast<unsigned char>(text[pos]);
    if (byte < 0x80) {
      if (byte < '0' || byte > '9')
        break;
      ++pos;
      continue;
    }
    std::size_t next = pos;
    if (!text::is_decimal(text::next_code_point(text, next)))
      break;
    pos = next;
  }
  return pos > start;
}

} // namespace

std::optional<std::string_view> suballele_base(std::string_view text) noexcept {
  if (text.empty() || text.front() != '*')
    return std::nullopt;
  std::size_t pos = 1;
  if (!skip_digits(text, pos))
    return std::nullopt;
  const std::size_t base_end = pos;
  if (pos == text.size() || text[pos] != '.')
    return std::nullopt;
  ++pos;
  if (!skip_digits(text, pos))
    return std::nullopt;
  // "$" matches at the end and before a line feed that ends the text.
  if (pos == text.size() || (pos + 1 == text.size() && text[pos] == '\n'))
    return text.substr(0, base_end);
  return std::nullopt;
}

} // namespace orvelle::normalize
