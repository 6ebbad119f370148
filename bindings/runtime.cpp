// bindings/runtime.cpp: OrvellePgxParser._runtime: process-wide host wiring that every module
// imports first: the check that the core was built for this interpreter, the translation of
// core failures, the bridges to the host's logging and to its own rules, the host-version
// rules of the core, and the folder of the packaged mapping tables.
#include "support/errors.h"
#include "support/host_rules.h"
#include "support/log_bridge.h"
#include "support/path.h"

#include "orvelle/csv/reader.h"
#include "orvelle/io/file.h"
#include "orvelle/mappings/mapping_tables.h"

#include <filesystem>

namespace {

// The tables lie in the Mappings folder beside the package's initialiser: in the package for
// an installed one, in the source tree for an editable one.
std::string mapping_directory() {
  nb::object package = nb::module_::import_("OrvellePgxParser");
  std::optional<std::string> initialiser = orvelle::bind::path_text(package.attr("__file__"));
  if (!initialiser)
    throw nb::import_error("OrvellePgxParser has no file to find its mapping tables beside");
  return orvelle::io::join(std::filesystem::path(*initialiser).parent_path().string(), "Mappings");
}

} // namespace

NB_MODULE(_runtime, m) {
  m.doc() = "Process-wide wiring between the C++ core and the host.";
  orvelle::bind::require_unicode_tables_of_this_host();
  orvelle::bind::register_error_translator();
  orvelle::bind::install_log_bridge();
  orvelle::bind::install_host_rules();
  orvelle::csv::set_nul_refused(PY_VERSION_HEX < 0x030B0000); // csv took NUL from 3.11 on
  orvelle::mappings::set_directory(mapping_directory());
}
