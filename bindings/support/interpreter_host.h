// bindings/support/interpreter_host.h: the running interpreter as the core's host.
#pragma once

namespace orvelle::bind {

/// Installs the interpreter as the core's host (orvelle/host.h), once per process: the logger
/// "OrvellePgxParser", the interpreter's own csv.Sniffer and json.loads, its csv module's NUL
/// rule, the package's Mappings folder and its installed version.
void install_interpreter_host();

} // namespace orvelle::bind
