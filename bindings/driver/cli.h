// bindings/driver/cli.h: the command line's entry point, called by the package's main().
#pragma once

namespace orvelle::bind {

/// The command line: parses the process's arguments with the host's argparse, sets up the
/// host's logging (unless the host did already) and runs one conversion.
void from_cli();

} // namespace orvelle::bind
