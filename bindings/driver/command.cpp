// bindings/driver/command.cpp: what the package's commands share.
#include "driver/command.h"

#include "orvelle/convert/orvelle_pgx_parser.h"

namespace orvelle::bind {

using namespace nb::literals;

std::string installed_version() {
  return nb::cast<std::string>(
      nb::module_::import_("OrvellePgxParser._version").attr("installed_version")());
}

nb::object argument_parser(const char *prog, const char *description) {
  nb::object formatter =
      nb::module_::import_("OrvellePgxParser._help_formatter").attr("help_formatter");
  return nb::module_::import_("argparse")
      .attr("ArgumentParser")("prog"_a = nb::str(prog), "description"_a = nb::str(description),
                              "formatter_class"_a = formatter);
}

void add_version_option(nb::handle parser) {
  std::string shown = "%(prog)s ";
  for (char c : package_version())
    shown += c == '%' ? std::string("%%") : std::string(1, c); // argparse fills in %(prog)s
  parser.attr("add_argument")("--version", "action"_a = "version", "version"_a = shown);
}

} // namespace orvelle::bind
