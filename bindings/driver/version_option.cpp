// bindings/driver/version_option.cpp: the package version and the commands' --version.
#include "driver/version_option.h"

#include "orvelle/convert/orvelle_pgx_parser.h"

namespace orvelle::bind {

using namespace nb::literals;

std::string installed_version() {
  return nb::cast<std::string>(
      nb::module_::import_("OrvellePgxParser._version").attr("installed_version")());
}

void add_version_option(nb::handle parser) {
  std::string shown = "%(prog)s ";
  for (char c : package_version())
    shown += c == '%' ? std::string("%%") : std::string(1, c); // argparse fills in %(prog)s
  parser.attr("add_argument")("--version", "action"_a = "version", "version"_a = shown);
}

} // namespace orvelle::bind
