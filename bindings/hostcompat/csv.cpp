// bindings/hostcompat/csv.cpp
#include "hostcompat/hostcompat.h"

namespace orvelle::bind {

void init_csv(nb::module_ &) {}

} // namespace orvelle::bind
