// bindings/runtime.cpp: OrvellePgxParser._runtime: process-wide host wiring that every module
// imports first: the translation of core failures and the bridge to the host's logging.
#include "support/errors.h"
#include "support/log_bridge.h"

NB_MODULE(_runtime, m) {
  m.doc() = "Process-wide wiring between the C++ core and the host.";
  orvelle::bind::register_error_translator();
  orvelle::bind::install_log_bridge();
}
