// bindings/support/errors.h: the one translation of core failures to host exceptions.
#pragma once

#include "support/nb.h"

namespace orvelle::bind {

/// Registers the translation of core failures to host exceptions (once per process).
void register_error_translator();

} // namespace orvelle::bind
