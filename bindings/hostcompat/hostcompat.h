// bindings/hostcompat/hostcompat.h: OrvellePgxParser._hostcompat exposes the core's
// host-compatible helpers (JSON, text, CSV) so tests can hold them against the host's own.
#pragma once

#include "support/nb.h"

namespace orvelle::bind {

void init_json(nb::module_ &m);
void init_text(nb::module_ &m);
void init_csv(nb::module_ &m);

} // namespace orvelle::bind
