// orvelle/normalize/resolved.h: a mapping-table member resolved once, when the table is taken
// in. A member of the wrong shape does not stop construction: like a table read member by
// member, it fails the first operation that needs it, with a message naming table and key.
#pragma once

#include "orvelle/errors.h"

#include <string>
#include <utility>

namespace orvelle::normalize {

template <typename T> class Resolved {
public:
  Resolved() = default;
  explicit Resolved(T value) : value_(std::move(value)) {}

  static Resolved failure(std::string message) {
    Resolved resolved;
    resolved.error_ = std::move(message);
    return resolved;
  }

  /// The resolved value; throws ValueError when the member had the wrong shape.
  const T &get() const {
    if (!error_.empty()) [[unlikely]]
      throw ValueError(error_);
    return value_;
  }

private:
  T value_{};
  std::string error_;
};

} // namespace orvelle::normalize
