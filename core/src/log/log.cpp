// core/src/log/log.cpp: records handed to the installed host.
#include "orvelle/log.h"

#include "orvelle/host.h"

#include <span>

namespace orvelle::log {

bool enabled(Level level) { return host::current().log_enabled(level); }

void write(Level level, const char *format, std::initializer_list<Arg> args) {
  host::current().log(level, format, std::span<const Arg>(args.begin(), args.size()));
}

} // namespace orvelle::log
