// orvelle/json/parse.h: JSON text to a Document, accepting exactly what the host's `json`
// module accepts and yielding the same values.
#pragma once

#include "orvelle/json/document.h"

#include <string>

namespace orvelle::json {

/// Parses one JSON document. `text` must be valid UTF-8 (the caller decoded the file); its
/// spare capacity, when there is enough, spares the fast path a padded copy. The Document
/// does not refer to `text` afterwards.
/// Positions in errors count characters of the text as the host reads a file in text mode
/// (universal newlines: "\r\n" and "\r" read as one "\n").
/// Throws SyntaxError (orvelle/errors.h) with the host's message, line, column and position.
Document parse(const std::string &text);

} // namespace orvelle::json
