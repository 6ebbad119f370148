// bindings/driver/version_option.h: the package version and the --version option the commands
// share.
#pragma once

#include "support/nb.h"

#include <string>

namespace orvelle::bind {

/// The installed distribution's version, as importlib.metadata gives it, or "0.0.0+unknown"
/// when it is not installed (read by the package's _version module, which spares the command
/// the cost of importing the general metadata machinery).
std::string installed_version();

/// Adds --version to an argparse parser: it prints "<prog> <package version>" to standard
/// output and ends the process with status 0. A command adds it after its own arguments, so
/// that its help lists it last.
void add_version_option(nb::handle parser);

} // namespace orvelle::bind
