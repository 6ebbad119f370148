// bindings/hostcompat/module.cpp: the _hostcompat module: the core's host-compatible helpers,
// exposed for the differential tests.
#include "hostcompat/hostcompat.h"
#include "support/import_runtime.h"

NB_MODULE(_hostcompat, m) {
  m.doc() = "The core's host-compatible helpers, for differential tests against the host.";
  orvelle::bind::import_runtime();
  orvelle::bind::init_json(m);
  orvelle::bind::init_text(m);
  orvelle::bind::init_csv(m);
}
