// bindings/support/nb.h: what every binding file includes: nanobind, and the casters of this
// package (the text caster, the STL casters used here, RawCall as a plain host type).
#pragma once

#include <nanobind/nanobind.h>

#include "support/text_caster.h" // before any caster that converts std::string

#include <nanobind/stl/optional.h>
#include <nanobind/stl/vector.h>

#include "support/raw_call_object.h" // RawCall crosses as a plain host type

namespace nb = nanobind;
