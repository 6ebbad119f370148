// orvelle/json/parse.h: JSON text to a Document, accepting exactly what the host's `json`
// module accepts and yielding the same values.
#pragma once

#include "orvelle/json/document.h"

#include <cstddef>
#include <string>

namespace orvelle::json {

/// The deepest nesting of arrays and objects accepted. The host gives up near here too (its
/// recursion limit), and code that walks a tree recursively may rely on it.
inline constexpr std::size_t max_depth = 1000;

/// Parses one JSON document as the host's json.loads parses a str. `text` is that str in
/// WTF-8 (valid UTF-8 when it comes from a file); its spare capacity, when there is enough,
/// spares the fast path a padded copy. The Document does not refer to `text` afterwards.
/// Positions in errors count characters of `text`; to report them as the host does for a
/// file read in text mode, translate its newlines first (io::translate_newlines).
/// Throws SyntaxError (orvelle/errors.h) with the host's message, line, column and position.
Document parse(const std::string &text);

/// parse, for a tree that one thread reads a part of: the containers of a strict JSON text
/// are built when first looked into, so what is never looked at costs little more than its
/// parse. Looking into the tree writes to it: it must not be shared between threads, even
/// when const (parse's trees may be).
Document parse_on_demand(const std::string &text);

/// parse_on_demand of a file's bytes as the host reads a JSON file: decoded as strict UTF-8
/// (UnicodeDecodeFailure, orvelle/errors.h, before any JSON fault) in text mode (newlines
/// translated, io::translate_newlines). A text simdjson accepts is valid UTF-8 whose carriage
/// returns are white space, which read alike translated or not: only a text it refuses is
/// checked and translated before the host's rules read it. When this throws SyntaxError,
/// `bytes` holds the translated text that the error's positions count in.
Document parse_file_text(std::string &bytes);

} // namespace orvelle::json
