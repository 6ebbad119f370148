// bindings/support/path.h: paths as the host's os functions take them.
#pragma once

#include "support/nb.h"

#include <optional>
#include <string>

namespace orvelle::bind {

/// The text of a str, bytes or os.PathLike path (bytes decoded as os.fsdecode does), or
/// nullopt for anything else.
std::optional<std::string> path_text(nb::handle value);

/// A reader's file_path argument: None reads as the empty path (which the reader refuses
/// with its own message); anything that is not a path raises TypeError.
std::string file_path_argument(nb::handle value);

} // namespace orvelle::bind
