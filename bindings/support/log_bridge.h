// bindings/support/log_bridge.h: the core's log records handed to the host's logging.
#pragma once

namespace orvelle::bind {

/// Routes the core's records to the host logger "OrvellePgxParser" (once per process).
void install_log_bridge();

} // namespace orvelle::bind
