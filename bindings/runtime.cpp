// bindings/runtime.cpp: OrvellePgxParser._runtime: process-wide host wiring that every module
// imports first: the check that the core was built for this interpreter, the translation of
// core failures, and the interpreter installed as the core's host.
#include "support/errors.h"
#include "support/interpreter_host.h"
#include "support/nb.h"

#include "orvelle/text/host_text.h"

#include <string>

namespace {

// The tables decide strip, lower, upper and the quoted form per character; reading them
// afresh from a host takes seconds, so a package built for another interpreter refuses.
void require_unicode_tables_of_this_host() {
  nb::object version_info = nb::module_::import_("sys").attr("version_info");
  const std::string running = std::to_string(nb::cast<int>(version_info[0])) + "." +
                              std::to_string(nb::cast<int>(version_info[1]));
  const std::string running_unicode =
      nb::cast<std::string>(nb::module_::import_("unicodedata").attr("unidata_version"));
  namespace text = orvelle::text;
  if (running == text::unicode_tables_python() && running_unicode == text::unicode_version())
    return;
  const std::string message = "OrvellePgxParser was built for Python " +
                              std::string(text::unicode_tables_python()) + " (Unicode " +
                              std::string(text::unicode_version()) + ") and cannot run on Python " +
                              running + " (Unicode " + running_unicode +
                              "), whose string rules may differ: install it for this interpreter";
  throw nb::import_error(message.c_str());
}

} // namespace

NB_MODULE(_runtime, m) {
  m.doc() = "Process-wide wiring between the C++ core and the host.";
  require_unicode_tables_of_this_host();
  orvelle::bind::register_error_translator();
  orvelle::bind::install_interpreter_host();
}
