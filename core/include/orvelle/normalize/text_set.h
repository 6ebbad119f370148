// orvelle/normalize/text_set.h: the texts of a list rule (callers, tokens, gene symbols), for
// exact, case-sensitive membership tests.
#pragma once

#include "orvelle/json/value.h"

#include <span>
#include <string_view>
#include <unordered_set>

namespace orvelle::normalize {

class TextSet {
public:
  TextSet() = default;
  /// The texts among `items`; other values can never equal a text, so they are left out.
  explicit TextSet(std::span<const json::Value> items);

  bool contains(std::string_view text) const { return texts_.contains(text); }

private:
  std::unordered_set<std::string_view> texts_; // views into the table's document
};

} // namespace orvelle::normalize
