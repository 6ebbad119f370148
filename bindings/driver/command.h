// bindings/driver/command.h: what the package's commands share: an argparse parser made alike,
// the package version and the --version option.
#pragma once

#include "support/nb.h"

#include <string>

namespace orvelle::bind {

/// The installed distribution's version, as importlib.metadata gives it, or "0.0.0+unknown"
/// when it is not installed (read by the package's _version module, which spares the command
/// the cost of importing the general metadata machinery).
std::string installed_version();

/// argparse.ArgumentParser(prog=..., description=...), its help laid out exactly as by
/// default, only sized without importing shutil (see the _help_formatter module).
nb::object argument_parser(const char *prog, const char *description);

/// Adds --version to an argparse parser: it prints "<prog> <package version>" to standard
/// output and ends the process with status 0. A command adds it after its own arguments, so
/// that its help lists it last.
void add_version_option(nb::handle parser);

} // namespace orvelle::bind
