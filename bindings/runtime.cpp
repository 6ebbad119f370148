// bindings/runtime.cpp: OrvellePgxParser._runtime: process-wide host wiring that every module
// imports first: the translation of core failures, the bridge to the host's logging, and the
// host-version rules of the core.
#include "support/errors.h"
#include "support/log_bridge.h"

#include "orvelle/csv/reader.h"

NB_MODULE(_runtime, m) {
  m.doc() = "Process-wide wiring between the C++ core and the host.";
  orvelle::bind::register_error_translator();
  orvelle::bind::install_log_bridge();
  orvelle::csv::set_nul_refused(PY_VERSION_HEX < 0x030B0000); // csv took NUL from 3.11 on
}
