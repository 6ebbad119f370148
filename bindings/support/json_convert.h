// bindings/support/json_convert.h: the core's JSON values as host objects, and back.
#pragma once

#include "support/nb.h"

#include "orvelle/json/document.h"

namespace orvelle::bind {

/// The host object a JSON value reads as: dict, list, str, int, float, bool or None.
nb::object to_python(const json::Value &value);

/// A JSON tree of a host object made of dict (text keys), list, tuple, str, int, float, bool
/// and None. Raises TypeError for anything else.
json::Document from_python(nb::handle object);

} // namespace orvelle::bind
