// bindings/hostcompat/json.cpp
#include "hostcompat/hostcompat.h"

namespace orvelle::bind {

void init_json(nb::module_ &) {}

} // namespace orvelle::bind
