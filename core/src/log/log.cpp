// core/src/log/log.cpp: the installed sink; without one, records are dropped.
#include "orvelle/log.h"

namespace orvelle::log {
namespace {
Sink *installed = nullptr;
}

Sink::~Sink() = default;

Sink *set_sink(Sink *sink) noexcept {
  Sink *previous = installed;
  installed = sink;
  return previous;
}

bool enabled(Level level) { return installed != nullptr && installed->enabled(level); }

void write(Level level, const char *format, std::initializer_list<Arg> args) {
  if (installed != nullptr)
    installed->write(level, format, std::span<const Arg>(args.begin(), args.size()));
}

} // namespace orvelle::log
