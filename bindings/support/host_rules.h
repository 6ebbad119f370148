// bindings/support/host_rules.h: the core's host rules, and the check that it suits this host.
#pragma once

namespace orvelle::bind {

/// Installs the core's host rules, answered by the running interpreter's own csv.Sniffer and
/// json.loads (once per process).
void install_host_rules();

/// Raises ImportError unless the running interpreter is the one the core's Unicode tables
/// were read from.
void require_unicode_tables_of_this_host();

} // namespace orvelle::bind
