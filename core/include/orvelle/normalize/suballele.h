// orvelle/normalize/suballele.h: recognising sub-allele names such as "*4.001".
#pragma once

#include <optional>
#include <string_view>

namespace orvelle::normalize {

/// The pattern's text, for reference: the host module compiles it as its `_SUBALLELE`.
inline constexpr std::string_view SUBALLELE_PATTERN = R"(^(\*\d+)\.\d+$)";

/// What the host's re.match(SUBALLELE_PATTERN, text) captures: the star and the first digits
/// ("*4" for "*4.001"), with \d any Unicode decimal digit and "$" also matching before a final
/// line feed; nullopt when the text does not match. The result is a view into `text`.
std::optional<std::string_view> suballele_base(std::string_view text) noexcept;

} // namespace orvelle::normalize
