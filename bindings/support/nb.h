// bindings/support/nb.h: what every binding file includes: nanobind, the text caster, the STL
// casters used here, and the shared conversions between host objects and the core.
#pragma once

#include <nanobind/nanobind.h>

#include "support/text_caster.h" // before any caster that converts std::string

#include <nanobind/stl/optional.h>
#include <nanobind/stl/vector.h>

#include "support/raw_call_object.h" // RawCall crosses as a plain host type

#include "orvelle/json/document.h"

namespace nb = nanobind;

namespace orvelle::bind {

/// Imports the package's runtime module (error translation, logging bridge); every module's
/// initialiser calls this first.
void import_runtime();

/// The host object a JSON value reads as: dict, list, str, int, float, bool or None.
nb::object to_python(const json::Value &value);

/// A JSON tree of a host object made of dict (text keys), list, tuple, str, int, float, bool
/// and None. Raises TypeError for anything else.
json::Document from_python(nb::handle object);

} // namespace orvelle::bind
