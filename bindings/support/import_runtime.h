// bindings/support/import_runtime.h: what every module's initialiser does first.
#pragma once

#include "support/nb.h"

namespace orvelle::bind {

/// Imports the package's runtime module (bindings/runtime.cpp: error translation, the
/// interpreter as the core's host), so this module's code runs only where it is installed.
inline void import_runtime() { nb::module_::import_("OrvellePgxParser._runtime"); }

} // namespace orvelle::bind
