// bindings/hostcompat/text.cpp
#include "hostcompat/hostcompat.h"

namespace orvelle::bind {

void init_text(nb::module_ &) {}

} // namespace orvelle::bind
