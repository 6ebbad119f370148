// core/src/readers/deferred_warnings.h: warnings held back until a table has been read to its
// end.
//
// The table readers build their calls as the rows arrive, in one pass. The host reads every
// row of a table before it looks at any, so a table found malformed further down logs nothing
// about its earlier rows; holding their warnings back until the end keeps it that way.
#pragma once

#include "orvelle/log.h"

#include <functional>
#include <vector>

namespace orvelle {

class DeferredWarnings {
public:
  /// Keeps `warn` (which logs one warning) for later, unless warnings are not wanted at all.
  template <typename Warn> void add(Warn &&warn) {
    if (log::enabled(log::Level::warning))
      pending_.emplace_back(std::forward<Warn>(warn));
  }

  /// Logs the kept warnings in the order they were added.
  void flush() {
    for (const auto &warn : pending_)
      warn();
    pending_.clear();
  }

private:
  std::vector<std::function<void()>> pending_;
};

} // namespace orvelle
