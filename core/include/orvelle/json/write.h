// orvelle/json/write.h: writes JSON text byte for byte as the host's `json.dumps` does with
// ensure_ascii: indented (indent=4) or compact (", " and ": " separators).
#pragma once

#include "orvelle/json/value.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvelle::json {

enum class Layout { indented, compact };

/// Streams one JSON value into a text. Containers are opened and closed explicitly; inside an
/// object, `key` precedes each member's value. Misuse (a value where a key is due) is a bug
/// of the caller, not checked.
class Writer {
public:
  explicit Writer(Layout layout);

  Writer &begin_array();
  Writer &end_array();
  Writer &begin_object();
  Writer &end_object();
  Writer &key(std::string_view name);

  Writer &null();
  Writer &boolean(bool b);
  Writer &integer(std::int64_t i);
  Writer &big_integer(std::string_view digits);
  Writer &real(double d);                ///< the host's float text, NaN and Infinity included
  Writer &string(std::string_view text); ///< WTF-8 in, ASCII with \u escapes out
  Writer &value(const Value &v);         ///< a whole tree

  /// The text written so far (complete once every container is closed).
  const std::string &text() const noexcept { return out_; }
  std::string take() noexcept { return std::move(out_); }

private:
  void before_value();
  void close_level(char closer);
  void newline_indent(std::size_t depth);

  Layout layout_;
  std::string out_;
  struct Level {
    bool has_items = false;
  };
  std::vector<Level> levels_;
  bool after_key_ = false;
};

} // namespace orvelle::json
