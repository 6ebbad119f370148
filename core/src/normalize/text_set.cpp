// core/src/normalize/text_set.cpp: the texts of a list rule, for membership tests.
#include "orvelle/normalize/text_set.h"

namespace orvelle::normalize {

TextSet::TextSet(std::span<const json::Value> items) {
  for (const json::Value &item : items)
    if (item.is_string())
      texts_.insert(item.as_string());
}

} // namespace orvelle::normalize
