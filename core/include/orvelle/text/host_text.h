// orvelle/text/host_text.h: the host's string semantics, for texts held as WTF-8 (UTF-8 that
// may carry lone surrogates, as a host `str` can). ASCII takes a fast path; other characters
// follow the character database of the interpreter the package was built for.
#pragma once

#include "orvelle/json/value.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvelle::text {

/// str.strip(): removes leading and trailing Unicode white space. Returns a view into `s`.
std::string_view strip(std::string_view s) noexcept;

/// [piece.strip() for piece in s.split(separator)]: views into `s`; empty pieces are kept.
std::vector<std::string_view> split_stripped(std::string_view s, std::string_view separator);

/// str.lower() and str.upper(): full case mapping, final sigma included.
std::string lower(std::string_view s);
std::string upper(std::string_view s);

/// separator.join(texts): the texts in order, the separator between every two of them (an
/// empty text is an entry too).
template <class Texts> std::string join(std::string_view separator, const Texts &texts) {
  std::string out;
  bool first = true;
  for (std::string_view text : texts) {
    if (!first)
      out.append(separator);
    out.append(text);
    first = false;
  }
  return out;
}

/// repr(str): the quoted form used in warnings ('abc', "it's", '\t', '\x00', printable
/// non-ASCII kept).
std::string quoted(std::string_view s);
/// repr() of a str or None.
std::string quoted_or_none(const std::optional<std::string> &s);

/// Character classes as the host's `re` sees them in a str pattern.
bool is_decimal(char32_t c) noexcept; ///< \d
bool is_space(char32_t c) noexcept;   ///< the white space str.strip() removes

/// repr(float): shortest round-trip text ("1.0", "1e-05", "1e+16", "nan", "inf").
std::string real_repr(double d);

/// str(value) of the host object a JSON value reads as ("True", "None", "[1, 'a']", ...).
std::string to_text(const json::Value &v);
/// repr(value) of that host object.
std::string repr(const json::Value &v);

/// The Unicode version of the host character database the core was built with, and the
/// "major.minor" of the interpreter whose string methods its tables were read from. Another
/// interpreter may answer otherwise, so the host wiring refuses to run on one.
std::string_view unicode_version() noexcept;
std::string_view unicode_tables_python() noexcept;

} // namespace orvelle::text
