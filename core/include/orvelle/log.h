// orvelle/log.h: the one process-wide logger of the core, whose records go to the installed
// host (orvelle/host.h). Records carry a printf-style format and its arguments separately, so
// the host formats a message only when it keeps the record, and a silent run pays one
// `enabled` check.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <variant>

namespace orvelle::log {

enum class Level : int { debug = 10, info = 20, warning = 30 };

/// One argument of a record: None, a truth value, a whole number, a real or a text.
using Arg = std::variant<std::monostate, bool, std::int64_t, double, std::string>;

/// True when a record at `level` would be kept.
bool enabled(Level level);

/// Sends one record. Callers that build costly arguments test `enabled` first.
void write(Level level, const char *format, std::initializer_list<Arg> args);

inline void debug(const char *format, std::initializer_list<Arg> args = {}) {
  if (enabled(Level::debug))
    write(Level::debug, format, args);
}
inline void info(const char *format, std::initializer_list<Arg> args = {}) {
  if (enabled(Level::info))
    write(Level::info, format, args);
}
inline void warning(const char *format, std::initializer_list<Arg> args = {}) {
  if (enabled(Level::warning))
    write(Level::warning, format, args);
}

} // namespace orvelle::log
