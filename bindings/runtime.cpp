// bindings/runtime.cpp: OrvellePgxParser._runtime: process-wide host wiring that every module
// imports first: the check that the core was built for this interpreter, the translation of
// core failures, the bridges to the host's logging and to its own rules, and the host-version
// rules of the core.
#include "support/errors.h"
#include "support/host_rules.h"
#include "support/log_bridge.h"

#include "orvelle/csv/reader.h"

NB_MODULE(_runtime, m) {
  m.doc() = "Process-wide wiring between the C++ core and the host.";
  orvelle::bind::require_unicode_tables_of_this_host();
  orvelle::bind::register_error_translator();
  orvelle::bind::install_log_bridge();
  orvelle::bind::install_host_rules();
  orvelle::csv::set_nul_refused(PY_VERSION_HEX < 0x030B0000); // csv took NUL from 3.11 on
}
