// bindings/hostcompat/text.cpp: the core's host string semantics (orvelle/text/*.h).
#include "hostcompat/hostcompat.h"
#include "support/json_convert.h"

#include "orvelle/errors.h"
#include "orvelle/text/host_text.h"
#include "orvelle/text/utf8.h"

#include <nanobind/stl/tuple.h>

#include <optional>
#include <string>
#include <tuple>

namespace orvelle::bind {
namespace {

/// The one code point of a one-character str.
char32_t single_code_point(const std::string &ch) {
  std::size_t pos = 0;
  const char32_t c = ch.empty() ? 0 : text::next_code_point(ch, pos);
  if (ch.empty() || pos != ch.size())
    throw nb::value_error("expected a single character");
  return c;
}

std::string bytes_of(const nb::bytes &data) { return {data.c_str(), data.size()}; }

} // namespace

void init_text(nb::module_ &m) {
  m.def("strip", [](const std::string &s) { return std::string(text::strip(s)); });
  m.def("lower", [](const std::string &s) { return text::lower(s); });
  m.def("upper", [](const std::string &s) { return text::upper(s); });
  m.def("quoted", [](const std::string &s) { return text::quoted(s); });
  m.def("real_repr", &text::real_repr);
  m.def("is_decimal",
        [](const std::string &ch) { return text::is_decimal(single_code_point(ch)); });
  m.def("is_space", [](const std::string &ch) { return text::is_space(single_code_point(ch)); });
  // None is a JSON value (null) too.
  m.def(
      "to_text", [](nb::handle value) { return text::to_text(from_python(value).root()); },
      nb::arg("value").none());
  m.def(
      "repr", [](nb::handle value) { return text::repr(from_python(value).root()); },
      nb::arg("value").none());
  m.def("unicode_version", [] { return std::string(text::unicode_version()); });
  m.def("validate_utf8", [](const nb::bytes &data) { text::validate_utf8(bytes_of(data)); });
  // The core's own report of the first undecodable sequence, before the binding hands the
  // bytes to the host's decoder: (start, end, reason), or None for valid UTF-8.
  m.def("utf8_error",
        [](const nb::bytes &data)
            -> std::optional<std::tuple<std::size_t, std::size_t, std::string>> {
          try {
            text::validate_utf8(bytes_of(data));
          } catch (const UnicodeDecodeFailure &failure) {
            return std::tuple{failure.start(), failure.end(), failure.reason()};
          }
          return std::nullopt;
        });
}

} // namespace orvelle::bind
